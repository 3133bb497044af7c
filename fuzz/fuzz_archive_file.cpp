// Feeds arbitrary bytes to the archive loader in each container, and checks that an archive
// read from them, once saved, reads back to the same text.
#include "archive/archive_file.h"
#include "archive/containers.h"
#include "markup/terror.h"
#include "markup/tsml.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

void Check_Stable(TArchive &loaded)
{
    // The first save gives Ids (and thereby person unit ids) that the file did not have, so
    // the text is stable from the second round on.
    auto first = Load_Archive_From_Text(Archive_To_Node(loaded).AsText());
    const QString second = Archive_To_Node(*first).AsText();
    auto again = Load_Archive_From_Text(second);
    const QString third = Archive_To_Node(*again).AsText();
    if (second != third) {
        std::fprintf(stderr, "not stable:\n%s\n----\n%s\n", second.toUtf8().constData(), third.toUtf8().constData());
        __builtin_trap();
    }
}

void Load_Through_File(const QByteArray &bytes, bool compressed, bool encripted)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.arc"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(bytes);
    f.close();
    try {
        (void)Load_Archive_File(path, compressed, encripted);
    } catch (const TError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_archive_file";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // the bytes as each container's content
    for (int c = 0; c < 3; ++c) {
        try {
            const auto a = Load_Archive_From_Bytes(bytes, c == 1, c == 2);
            if (c == 0)
                Check_Stable(*a);
        } catch (const TError &) {
        }
    }
    // the bytes as the text inside a valid compressed and encrypted container
    try {
        (void)Load_Archive_From_Bytes(Compress_Bytes(bytes), true, false);
        (void)Load_Archive_From_Bytes(Encrypt_Container_Lines(TSML::Split_Lines(QString::fromUtf8(bytes))), false, true);
    } catch (const TError &) {
    }
    // and once in a while the whole path through a file
    if (size % 16 == 0)
        Load_Through_File(bytes, size % 32 == 0, size % 64 == 0);
    return 0;
}
