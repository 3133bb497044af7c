// Bytes through decoding and the SML reader; the tree is written back and read again,
// and the second reading must give the same text as the first writing.

#include "markup/terror.h"
#include "markup/tsml.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        TSML sml;
        sml.Read_From_Bytes(bytes);
        const QString text = sml.Node.AsText();

        TSML again;
        again.Parse(text);
        // A top node with an empty name is not carried (the reader takes its first child).
        if (!sml.Node.Name.trimmed().isEmpty() && again.Node.AsText() != text) {
            std::fprintf(stderr, "written text did not read back unchanged\n");
            std::abort();
        }

        QStringList lines;
        sml.Get_StringList(lines);
        TSML list;
        list.Read_From_List(TSML::Split_Lines(TSML::Decode_Text(bytes)));
    } catch (const TError &) {
    }
    return 0;
}
