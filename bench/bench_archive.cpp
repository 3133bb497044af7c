// Archive load and save in each container, Fill_Lists and document search on an archive of
// 100,000 documents, with grep's pass over the plain file as the yardstick for search.

#include "bench_archive_data.h"

#include "archive/archive_file.h"
#include "archive/containers.h"
#include "markup/tsml.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

const int Document_Count = Bench_Document_Count;
const QString Rare_Word = Bench_Rare_Word;

double Best_Ms(int runs, const std::function<void()> &work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, double(t.nsecsElapsed()) / 1e6);
    }
    return best;
}

void Row(const char *what, double ms, const QString &note = {})
{
    std::printf("%-34s %10.1f ms  %s\n", what, ms, note.toUtf8().constData());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const int runs = 3;

    QElapsedTimer t;
    t.start();
    auto archive = Make_Bench_Archive();
    std::printf("generated %d documents in %.0f ms\n\n", Document_Count, double(t.elapsed()));
    std::printf("%-34s %13s\n", "operation (best of 3)", "time");

    struct Container
    {
        const char *Name;
        QString File;
        bool Compressed;
        bool Encrypted;
    };
    const Container containers[] = {
        {"plain", dir.filePath(QStringLiteral("bench.arc")), false, false},
        {"compressed", dir.filePath(QStringLiteral("bench.arcx")), true, false},
        {"encrypted", dir.filePath(QStringLiteral("bench-encrypted.arc")), false, true},
    };
    for (const Container &c : containers) {
        const double ms = Best_Ms(runs, [&] { Save_Archive_File(*archive, c.File, c.Compressed, c.Encrypted); });
        Row(qPrintable(QStringLiteral("save %1").arg(QLatin1String(c.Name))), ms,
            QStringLiteral("%1 MB").arg(double(QFileInfo(c.File).size()) / 1e6, 0, 'f', 1));
    }
    archive.reset();

    std::unique_ptr<TArchive> loaded;
    for (const Container &c : containers) {
        const double ms = Best_Ms(runs, [&] { loaded = Load_Archive_File(c.File, c.Compressed, c.Encrypted); });
        Row(qPrintable(QStringLiteral("open %1 (read + model)").arg(QLatin1String(c.Name))), ms,
            ms < 1000 ? QStringLiteral("target < 1 s: met") : QStringLiteral("target < 1 s: MISSED"));
    }

    // the parts of opening the plain file
    {
        TNode top;
        const double parse = Best_Ms(runs, [&] {
            TSML sml;
            top = sml.Parse_File(containers[0].File);
        });
        Row("  of which: SML read (plain)", parse);
        const double build = Best_Ms(runs, [&] { loaded = Load_Archive_From_Node(top); });
        Row("  of which: model from the tree", build);
        const double drop = Best_Ms(1, [&] { top = TNode(); });
        Row("  of which: freeing the SML tree", drop);
        const double tree = Best_Ms(1, [&] { top = Archive_To_Node(*loaded); });
        Row("save part: model to SML tree", tree);
    }

    // the in-memory loader, as the fuzz targets use it
    {
        QFile plainFile(containers[0].File);
        plainFile.open(QIODevice::ReadOnly);
        const QByteArray plainBytes = plainFile.readAll();
        Row("open plain from bytes in memory",
            Best_Ms(runs, [&] { loaded = Load_Archive_From_Bytes(plainBytes, false, false); }));
    }

    // the container steps before the SML text is read
    {
        QFile compressed(containers[1].File), encrypted(containers[2].File);
        compressed.open(QIODevice::ReadOnly);
        encrypted.open(QIODevice::ReadOnly);
        const QByteArray packed = compressed.readAll(), cipher = encrypted.readAll();
        QByteArray content;
        Row("  compressed: inflate", Best_Ms(runs, [&] { content = Decompress_Bytes(packed); }));
        Row("  encrypted: decrypt", Best_Ms(runs, [&] { content = Decrypt_Container_Bytes(cipher); }));
        QString text;
        Row("  both: decode the text", Best_Ms(runs, [&] { text = Decode_Container_Text(content); }));
        Row("  both: read the decoded text", Best_Ms(runs, [&] {
                TSML sml;
                sml.Parse_Lines(text);
            }));
    }

    const double fill = Best_Ms(runs, [&] { loaded->Fill_Lists(); });
    Row("Fill_Lists", fill, QStringLiteral("%1 documents").arg(loaded->Document_List.size()));
    qsizetype hits = 0;
    const double find = Best_Ms(runs, [&] { hits = loaded->Find_in_Documents(Rare_Word).size(); });
    Row("Find_in_Documents (1% word)", find, QStringLiteral("%1 hits").arg(hits));
    const double title = Best_Ms(runs, [&] { hits = loaded->Find_in_Documents_Title(QStringLiteral("number 4242 ")).size(); });
    Row("Find_in_Documents_Title", title, QStringLiteral("%1 hits").arg(hits));

    QByteArray grepCount;
    const double grep = Best_Ms(runs, [&] {
        QProcess p;
        p.start(QStringLiteral("grep"), {QStringLiteral("-c"), QStringLiteral("-F"), Rare_Word, containers[0].File});
        p.waitForFinished(-1);
        grepCount = p.readAllStandardOutput().trimmed();
    });
    Row("grep -c -F over the plain file", grep, QStringLiteral("%1 lines").arg(QString::fromLatin1(grepCount)));
    std::printf("\nsearch vs grep: %s (%.1fx)\n", find < grep ? "faster" : "SLOWER", grep / std::max(find, 1e-3));
    return 0;
}
