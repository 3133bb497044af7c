// PDF and TIFF export of 20 pages of 300-dpi A4 JPEG scans, with img2pdf on the same
// JPEG files as the yardstick for PDF and ImageMagick's convert for multi-page TIFF.

#include "preview/metafile.h"
#include "preview/pdf_export.h"
#include "preview/tiff_export.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

const int Page_Count = 20;
const QSize A4_300(2480, 3508);

// A scanned letter: off-white paper with grain, lines of "text", a stamp in colour.
QByteArray Make_Scan(int index)
{
    QImage image(A4_300, QImage::Format_RGB32);
    QRandomGenerator random(quint32(index + 1));
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grain = int(random.generate() & 15);
            line[x] = qRgb(232 + grain, 228 + grain, 218 + grain);
        }
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(42);
    p.setFont(font);
    p.setPen(QColor(30, 30, 40));
    for (int row = 0; row < 60; ++row)
        p.drawText(QPointF(240, 400 + row * 50),
                   QStringLiteral("Page %1, line %2: the quick brown fox jumps over the lazy dog %3")
                       .arg(index + 1).arg(row + 1).arg(random.generate() % 100000));
    p.setPen(QPen(QColor(40, 60, 170), 8));
    p.drawEllipse(QPointF(1900, 3100), 220, 160);
    p.end();
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "jpeg", 85);
    return jpeg;
}

double Run_Tool(const QString &program, const QStringList &args)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(600000) || process.exitCode() != 0) {
        std::printf("  %s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
        return -1;
    }
    return timer.nsecsElapsed() / 1e6;
}

double Megabytes(const QString &fileName)
{
    return QFileInfo(fileName).size() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("Generating %d scans of %dx%d pixels...\n", Page_Count, A4_300.width(), A4_300.height());
    QStringList jpegFiles;
    std::vector<std::unique_ptr<TMetafile>> pages;
    qint64 jpegBytes = 0;
    for (int i = 0; i < Page_Count; ++i) {
        const QByteArray jpeg = Make_Scan(i);
        jpegBytes += jpeg.size();
        const QString name = dir.filePath(QStringLiteral("scan%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
        QFile f(name);
        f.open(QIODevice::WriteOnly);
        f.write(jpeg);
        jpegFiles << name;
        auto page = std::make_unique<TMetafile>(A4_300, 300, 300);
        QPainter p(page.get());
        TMetafile::DrawEncodedImage(p, QRectF(QPointF(0, 0), QSizeF(A4_300)), jpeg);
        p.end();
        pages.push_back(std::move(page));
    }
    std::printf("JPEG files: %.1f MB\n\n", jpegBytes / 1e6);
    const TExportPages source{Page_Count, [&pages](int i) -> const TMetafile * { return pages[size_t(i)].get(); }};

    const QString pdf = dir.filePath(QStringLiteral("export.pdf"));
    QElapsedTimer timer;
    timer.start();
    Save_Pages_As_Pdf(pdf, source, QSize(595, 842), {});
    const double pdfMs = timer.nsecsElapsed() / 1e6;
    std::printf("%-28s %9.0f ms %8.1f MB\n", "PDF export", pdfMs, Megabytes(pdf));

    const QString img2pdf = QStandardPaths::findExecutable(QStringLiteral("img2pdf"));
    if (!img2pdf.isEmpty()) {
        const QString out = dir.filePath(QStringLiteral("img2pdf.pdf"));
        const double ms = Run_Tool(img2pdf, QStringList(jpegFiles) << QStringLiteral("--pagesize")
                                                 << QStringLiteral("A4") << QStringLiteral("-o") << out);
        std::printf("%-28s %9.0f ms %8.1f MB   (export: %.2fx time, %.3fx size)\n", "img2pdf", ms,
                    Megabytes(out), pdfMs / ms, Megabytes(pdf) / Megabytes(out));
    } else {
        std::printf("img2pdf is not installed\n");
    }

    const QString tif = dir.filePath(QStringLiteral("export.tif"));
    timer.restart();
    Save_Pages_As_Tiff(tif, source, Qt::black);
    const double tifMs = timer.nsecsElapsed() / 1e6;
    std::printf("\n%-28s %9.0f ms %8.1f MB\n", "TIFF export (Deflate)", tifMs, Megabytes(tif));

    timer.restart();
    for (int i = 0; i < Page_Count; ++i)
        Render_Page_Image(*pages[size_t(i)], Qt::black);
    std::printf("%-28s %9.0f ms\n", "  of it, drawing the frames", timer.nsecsElapsed() / 1e6);

    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"));
    if (!convert.isEmpty()) {
        // Debian's ImageMagick policy caps its pixel cache below 20 such pages held at once,
        // so it writes two files of half the pages each; their times are added.
        const int batch = Page_Count / 2;
        const struct { const char *label, *compression; } runs[] = {
            {"convert (its default)", nullptr}, {"convert -compress zip", "zip"}, {"convert -compress lzw", "lzw"}};
        for (const auto &run : runs) {
            double ms = 0, mb = 0;
            for (int first = 0; first < Page_Count && ms >= 0; first += batch) {
                const QString out = dir.filePath(QStringLiteral("convert%1.tif").arg(first));
                QStringList args = jpegFiles.mid(first, batch);
                if (run.compression)
                    args << QStringLiteral("-compress") << QString::fromLatin1(run.compression);
                args << out;
                const double part = Run_Tool(convert, args);
                ms = part < 0 ? -1 : ms + part;
                mb += Megabytes(out);
                QFile::remove(out);
            }
            if (ms > 0)
                std::printf("%-28s %9.0f ms %8.1f MB   (export: %.2fx time)\n", run.label, ms, mb, tifMs / ms);
        }
    } else {
        std::printf("ImageMagick's convert is not installed\n");
    }
    return 0;
}
