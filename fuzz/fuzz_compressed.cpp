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
        const QByteArray content = Decompress_Bytes(bytes, 64 * 1024 * 1024);
        (void)Decode_Container_Text(content);
        (void)Read_Compressed_Bytes(bytes);
    } catch (const TError &) {
    }
    return 0;
}
