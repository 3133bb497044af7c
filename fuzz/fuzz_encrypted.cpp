// Feeds arbitrary bytes to the encrypted-container reader, both as they come and
// enciphered under the archive key so that the text reader behind the cipher is reached.
#include "archive/containers.h"
#include "markup/terror.h"
#include "markup/tsml.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const QStringList raw = Read_Encrypted_Bytes(bytes);
        TSML first;
        (void)first.Read_From_List(raw);

        // Arbitrary text through the writer and back, so the decoder and the SML reader
        // behind a successful decryption see fuzzed input too.
        const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
        const QByteArray cipher = Encrypt_Container_Lines(lines);
        if (cipher.size() % 8 != 0)
            __builtin_trap();
        const QStringList back = Read_Encrypted_Bytes(cipher);
        TSML second;
        const TNode fromLines = second.Read_From_List(back);
        // The loader reads the decrypted content in place; it must give the same tree.
        if (Read_Encrypted_Node(cipher).AsText() != fromLines.AsText())
            __builtin_trap();
    } catch (const TError &) {
    }
    return 0;
}
