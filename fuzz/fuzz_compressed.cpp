// Feeds arbitrary bytes to the compressed-container reader: they must give a node or a
// TError, never a crash, a hang or unbounded memory.
#include "archive/containers.h"
#include "markup/terror.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        // A tighter bound than the file reader's keeps each run quick.
        (void)Decode_Container_Text(Decompress_Bytes(bytes, 64 * 1024 * 1024));
    } catch (const TError &) {
    }
    try {
        (void)Read_Compressed_Bytes(bytes);
    } catch (const TError &) {
    }
    // Random bytes rarely form a valid zlib stream, so the same bytes are also read back
    // as the content of one: the decoder and the SML reader behind it see them directly.
    try {
        const QByteArray packed = Compress_Bytes(bytes);
        if (Decompress_Bytes(packed) != bytes)
            __builtin_trap();
        (void)Read_Compressed_Bytes(packed);
    } catch (const TError &) {
        __builtin_trap(); // a stream we wrote ourselves must always read
    }
    return 0;
}
