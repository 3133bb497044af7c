#include "markup/terror.h"
#include "preview/metafile.h"
#include "preview/tiff_export.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <tiffio.h>

#include <memory>
#include <vector>

namespace {

// A page of the given pixel size and resolution with a blue square in its middle and
// nothing drawn at its edges, so that the margins show the paper colour.
std::unique_ptr<TMetafile> Page(QSize pixels, qreal dpi)
{
    auto page = std::make_unique<TMetafile>(pixels, dpi, dpi);
    QPainter p(page.get());
    p.fillRect(QRect(pixels.width() / 4, pixels.height() / 4, pixels.width() / 2, pixels.height() / 2), Qt::blue);
    p.end();
    return page;
}

std::unique_ptr<TMetafile> Scan_Page(QSize pixels, qreal dpi)
{
    QImage scan(pixels, QImage::Format_RGB32);
    scan.fill(QColor(200, 30, 60));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    scan.save(&buffer, "jpeg", 90);
    auto page = std::make_unique<TMetafile>(pixels, dpi, dpi);
    QPainter p(page.get());
    TMetafile::DrawEncodedImage(p, QRectF(QPointF(0, 0), QSizeF(pixels)), jpeg);
    p.end();
    return page;
}

TExportPages Pages_Of(const std::vector<std::unique_ptr<TMetafile>> &pages)
{
    return {int(pages.size()), [&pages](int i) -> const TMetafile * { return pages[size_t(i)].get(); }};
}

struct TFrame
{
    QSize Size;
    float XRes = 0, YRes = 0;
    int Compression = 0, Samples = 0, Bits = 0;
    QImage Image;
};

std::vector<TFrame> Read_Frames(const QString &fileName)
{
    std::vector<TFrame> frames;
    TIFFSetWarningHandler(nullptr);
    TIFF *tiff = TIFFOpen(QFile::encodeName(fileName).constData(), "r");
    if (!tiff)
        return frames;
    do {
        TFrame f;
        uint32_t w = 0, h = 0;
        uint16_t compression = 0, samples = 0, bits = 0;
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &w);
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &h);
        TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression);
        TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &f.XRes);
        TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &f.YRes);
        f.Size = QSize(int(w), int(h));
        f.Compression = compression;
        f.Samples = samples;
        f.Bits = bits;
        f.Image = QImage(f.Size, QImage::Format_RGB888);
        std::vector<uchar> row(size_t(TIFFScanlineSize(tiff)));
        for (uint32_t y = 0; y < h; ++y) {
            TIFFReadScanline(tiff, row.data(), y);
            std::memcpy(f.Image.scanLine(int(y)), row.data(), size_t(w) * 3);
        }
        frames.push_back(std::move(f));
    } while (TIFFReadDirectory(tiff));
    TIFFClose(tiff);
    return frames;
}

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestTiffExport : public QObject
{
    Q_OBJECT

private slots:
    void framesKeepSizeAndResolution();
    void paperColourBehindPages_data();
    void paperColourBehindPages();
    void ignoredAndCancelledPages();
    void nothingToWrite();
    void failedWriteLeavesNothing();
};

void TestTiffExport::framesKeepSizeAndResolution()
{
    QTemporaryDir dir;
    std::vector<std::unique_ptr<TMetafile>> pages;
    pages.push_back(Page(QSize(794, 1123), 96));
    pages.push_back(Scan_Page(QSize(620, 877), 75));   // a scan at its own resolution
    pages.push_back(Page(QSize(1123, 794), 96));       // landscape
    const QString tif = dir.filePath(QStringLiteral("pages.tif"));
    QVERIFY(Save_Pages_As_Tiff(tif, Pages_Of(pages), Qt::white));
    const std::vector<TFrame> frames = Read_Frames(tif);
    QCOMPARE(int(frames.size()), 3);
    const QSize sizes[] = {{794, 1123}, {620, 877}, {1123, 794}};
    const float dpis[] = {96, 75, 96};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(frames[i].Size, sizes[i]);
        QCOMPARE(qRound(frames[i].XRes), qRound(dpis[i]));
        QCOMPARE(qRound(frames[i].YRes), qRound(dpis[i]));
        QCOMPARE(frames[i].Compression, int(COMPRESSION_ADOBE_DEFLATE));
        QCOMPARE(frames[i].Samples, 3);
        QCOMPARE(frames[i].Bits, 8);
    }
    // the scan fills its frame
    const QColor scan = frames[1].Image.pixelColor(10, 10);
    QVERIFY2(qAbs(scan.red() - 200) < 8 && qAbs(scan.green() - 30) < 8 && qAbs(scan.blue() - 60) < 8,
             qPrintable(scan.name()));
    // compressed: a page of flat colour is far smaller than its samples
    QVERIFY(QFileInfo(tif).size() < 794 * 1123 * 3 / 10);
    QCOMPARE(Entries(dir.path()), QStringList{QStringLiteral("pages.tif")});
}

void TestTiffExport::paperColourBehindPages_data()
{
    QTest::addColumn<QColor>("paper");
    QTest::newRow("black") << QColor(Qt::black);
    QTest::newRow("white") << QColor(Qt::white);
    QTest::newRow("half transparent") << QColor(10, 200, 30, 128); // frames are opaque
}

void TestTiffExport::paperColourBehindPages()
{
    QFETCH(QColor, paper);
    QTemporaryDir dir;
    std::vector<std::unique_ptr<TMetafile>> pages;
    pages.push_back(Page(QSize(200, 300), 96));
    const QString tif = dir.filePath(QStringLiteral("paper.tif"));
    QVERIFY(Save_Pages_As_Tiff(tif, Pages_Of(pages), paper));
    const std::vector<TFrame> frames = Read_Frames(tif);
    QCOMPARE(int(frames.size()), 1);
    const QImage &image = frames[0].Image;
    QColor opaque = paper;
    opaque.setAlpha(255);
    for (const QPoint corner : {QPoint(0, 0), QPoint(199, 0), QPoint(0, 299), QPoint(199, 299)})
        QCOMPARE(image.pixelColor(corner), opaque);
    QCOMPARE(image.pixelColor(100, 150), QColor(Qt::blue));
}

void TestTiffExport::ignoredAndCancelledPages()
{
    QTemporaryDir dir;
    std::vector<std::unique_ptr<TMetafile>> pages;
    for (int i = 0; i < 3; ++i)
        pages.push_back(Page(QSize(100 + 10 * i, 100), 96));
    const QString tif = dir.filePath(QStringLiteral("pages.tif"));
    QList<QPair<int, int>> progress;
    TExportEvents events;
    events.Progress = [&](int done, int total) { progress.append({done, total}); };
    events.PageProcessing = [](int pageNo) { return pageNo == 2 ? pcIgnore : pcAccept; };
    QVERIFY(Save_Pages_As_Tiff(tif, Pages_Of(pages), Qt::white, events));
    QCOMPARE(progress, (QList<QPair<int, int>>{{0, 3}, {1, 3}, {2, 3}, {3, 3}}));
    std::vector<TFrame> frames = Read_Frames(tif);
    QCOMPARE(int(frames.size()), 2);
    QCOMPARE(frames[0].Size.width(), 100);
    QCOMPARE(frames[1].Size.width(), 120);

    // a cancel after frames were written leaves the earlier file as it was, and no other
    events.PageProcessing = [](int pageNo) { return pageNo == 3 ? pcCancellAll : pcAccept; };
    QVERIFY(!Save_Pages_As_Tiff(tif, Pages_Of(pages), Qt::white, events));
    QCOMPARE(int(Read_Frames(tif).size()), 2);
    const QString fresh = dir.filePath(QStringLiteral("fresh.tif"));
    QVERIFY(!Save_Pages_As_Tiff(fresh, Pages_Of(pages), Qt::white, events));
    QCOMPARE(Entries(dir.path()), QStringList{QStringLiteral("pages.tif")});
}

void TestTiffExport::nothingToWrite()
{
    QTemporaryDir dir;
    std::vector<std::unique_ptr<TMetafile>> none;
    const QString tif = dir.filePath(QStringLiteral("none.tif"));
    QVERIFY(!Save_Pages_As_Tiff(tif, Pages_Of(none), Qt::white));
    std::vector<std::unique_ptr<TMetafile>> pages;
    pages.push_back(Page(QSize(50, 50), 96));
    TExportEvents events;
    events.PageProcessing = [](int) { return pcIgnore; };
    QVERIFY(!Save_Pages_As_Tiff(tif, Pages_Of(pages), Qt::white, events));
    QVERIFY(Entries(dir.path()).isEmpty());
}

void TestTiffExport::failedWriteLeavesNothing()
{
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain.txt")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    std::vector<std::unique_ptr<TMetafile>> pages;
    pages.push_back(Page(QSize(50, 50), 96));
    for (const QString &relative : {QStringLiteral("missing/out.tif"), QStringLiteral("plain.txt/out.tif")}) {
        const QString target = dir.filePath(relative);
        QVERIFY_THROWS_EXCEPTION(TError, Save_Pages_As_Tiff(target, Pages_Of(pages), Qt::white));
    }
    QCOMPARE(Entries(dir.path()), QStringList{QStringLiteral("plain.txt")});
}

QTEST_MAIN(TestTiffExport)
#include "tst_tiff_export.moc"
