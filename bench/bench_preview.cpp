// Records scanned A4 pages (300-dpi JPEG files made here) in the preview, pages through them
// and changes one: peak memory, temporary storage against the JPEG sizes, and times.
//
//   bench_preview [PAGES]     (500 by default)

#include "preview/metafile.h"
#include "preview/print_preview.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <cstdio>

namespace {

long StatusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}

void ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Bytes of the files this process holds open that are already deleted: the page store's
// temporary file.
qint64 DeletedOpenFileBytes()
{
    qint64 total = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::NoDotAndDotDot | QDir::System | QDir::Files)) {
        if (!fd.symLinkTarget().endsWith(QLatin1String(" (deleted)")) && !QFileInfo(fd.filePath()).symLinkTarget().contains(QLatin1String("(deleted)")))
            continue;
        struct stat st {};
        if (stat(fd.filePath().toLocal8Bit().constData(), &st) == 0)
            total += st.st_size;
    }
    return total;
}

QByteArray MakeScan(int page)
{
    QImage image(2480, 3508, QImage::Format_RGB32);
    image.fill(QColor(250, 248, 240));
    QPainter painter(&image);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 40));
    painter.setPen(Qt::black);
    for (int line = 0; line < 60; ++line)
        painter.drawText(200, 300 + line * 52, QStringLiteral("Page %1, line %2: the quick brown fox jumps over the lazy dog").arg(page).arg(line));
    painter.fillRect(200, 3300, 400 + (page % 7) * 200, 80, QColor(30, 60, 160));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 75);
    return bytes;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int pages = argc > 1 ? qMax(1, atoi(argv[1])) : 500;

    // a few distinct scans, written as files, one file a page
    QTemporaryDir dir;
    QElapsedTimer timer;
    timer.start();
    qint64 jpegBytes = 0;
    QList<QByteArray> scans;
    for (int i = 0; i < 8; ++i)
        scans << MakeScan(i);
    QStringList files;
    for (int i = 0; i < pages; ++i) {
        const QString name = dir.filePath(QStringLiteral("scan%1.jpg").arg(i));
        QFile file(name);
        file.open(QIODevice::WriteOnly);
        file.write(scans[i % scans.size()]);
        jpegBytes += scans[i % scans.size()].size();
        files << name;
    }
    std::printf("%d scans of 2480 x 3508 written, %.1f MiB, in %.1f s\n", pages, jpegBytes / 1048576.0, timer.elapsed() / 1000.0);

    TPrintPreview preview;
    preview.setAttribute(Qt::WA_DontShowOnScreen);
    preview.resize(1000, 800);
    preview.show();
    QCoreApplication::processEvents();
    const long baseKiB = StatusKiB("VmRSS:");
    ResetPeak();

    timer.restart();
    preview.BeginDoc();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            preview.NewPage();
        QFile file(files[i]);
        file.open(QIODevice::ReadOnly);
        preview.PaintGraphicEx(preview.PageBounds(), TPreviewGraphic::FromEncoded(file.readAll()), true, false, true);
    }
    preview.EndDoc();
    const double recordMs = timer.elapsed();
    std::printf("recording: %.0f ms, %.3f s per 100 pages (target < 0.5 s)\n", recordMs, recordMs / pages / 10.0);
    const qint64 storage = DeletedOpenFileBytes();
    std::printf("temporary storage: %.1f MiB, %.3f x the JPEG files (target < 1.1)\n", storage / 1048576.0,
                double(storage) / double(jpegBytes));

    timer.restart();
    TPaperPreview *paper = preview.PaperViewControl();
    for (int i = 1; i <= pages; ++i) {
        preview.SetCurrentPage(i);
        paper->repaint();
    }
    std::printf("paging through at fit zoom: %.1f ms per page\n", double(timer.elapsed()) / pages);

    preview.SetCurrentPage(pages / 2);
    paper->repaint();
    timer.restart();
    const int changes = 10;
    for (int i = 0; i < changes; ++i) {
        preview.BeginEdit(pages / 2);
        preview.Canvas()->fillRect(QRect(1000, 1000 + i * 500, 5000, 400), Qt::red);
        preview.EndEdit();
        paper->repaint();
    }
    std::printf("change to a recorded page shown at fit zoom: %.1f ms (target < 30 ms)\n", double(timer.elapsed()) / changes);
    std::printf("peak memory above the start: %.1f MiB (resident before recording %.1f MiB)\n",
                (StatusKiB("VmHWM:") - baseKiB) / 1024.0, baseKiB / 1024.0);
    return 0;
}
