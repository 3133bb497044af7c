#include "markup/terror.h"
#include "preview/metafile.h"
#include "preview/pdf_export.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

QByteArray Encode(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

// A scan-like picture: a gradient with a few strokes, so that every pixel matters.
QImage Scan(QSize size, QImage::Format format)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 255) / size.width(), (y * 255) / size.height(), (x * y) % 256));
    QPainter p(&image);
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(0, 0, size.width(), size.height());
    p.end();
    return image.convertToFormat(format);
}

// A4 at 96 dpi, drawn in pixels.
std::unique_ptr<TMetafile> Page()
{
    return std::make_unique<TMetafile>(QSize(794, 1123), 96, 96);
}

std::unique_ptr<TMetafile> Image_Page(const QByteArray &encoded, QRectF target = QRectF(0, 0, 794, 1123))
{
    auto page = Page();
    QPainter p(page.get());
    TMetafile::DrawEncodedImage(p, target, encoded);
    p.end();
    return page;
}

std::unique_ptr<TMetafile> Text_Page()
{
    auto page = Page();
    QPainter p(page.get());
    p.setPen(QPen(Qt::black, 4));
    p.drawRect(100, 100, 594, 300);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(40);
    p.setFont(font);
    p.drawText(QPointF(120, 600), QStringLiteral("Tarsel Archive"));
    p.end();
    return page;
}

TExportPages Pages_Of(const std::vector<std::unique_ptr<TMetafile>> &pages)
{
    return {int(pages.size()), [&pages](int i) -> const TMetafile * { return pages[size_t(i)].get(); }};
}

QString Tool(const char *name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

QString Run(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess process;
    process.start(program, args);
    process.waitForFinished(120000);
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestPdfExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void scansKeepTheirBytes();
    void pngSourcesStayLossless_data();
    void pngSourcesStayLossless();
    void documentPagesAndInfo();
    void pageSizes_data();
    void pageSizes();
    void pagesRender();
    void ignoredAndCancelledPages();
    void failedWriteLeavesNothing_data();
    void failedWriteLeavesNothing();

private:
    QByteArray FColourJpeg, FGrayJpeg, FPng;
    QImage FPngImage;
};

void TestPdfExport::initTestCase()
{
    FColourJpeg = Encode(Scan(QSize(620, 877), QImage::Format_RGB32), "jpeg", 80);
    FGrayJpeg = Encode(Scan(QSize(300, 200), QImage::Format_Grayscale8), "jpeg", 75);
    FPngImage = Scan(QSize(200, 150), QImage::Format_RGB888);
    FPng = Encode(FPngImage, "png");
    QVERIFY(FColourJpeg.startsWith("\xFF\xD8") && FGrayJpeg.startsWith("\xFF\xD8") && FPng.startsWith("\x89PNG"));
}

void TestPdfExport::scansKeepTheirBytes()
{
    const QString pdfimages = Tool("pdfimages");
    if (pdfimages.isEmpty())
        QSKIP("pdfimages (poppler-utils) is not installed");
    QTemporaryDir dir;
    std::vector<std::unique_ptr<TMetafile>> pages;
    pages.push_back(Image_Page(FColourJpeg));
    pages.push_back(Text_Page());
    // a gray scan in part of a page, beside a PNG and drawing
    auto mixed = Page();
    {
        QPainter p(mixed.get());
        TMetafile::DrawEncodedImage(p, QRectF(50, 50, 300, 200), FGrayJpeg);
        TMetafile::DrawEncodedImage(p, QRectF(50, 400, 400, 300), FPng);
        p.fillRect(QRectF(500, 500, 100, 100), Qt::red);
    }
    pages.push_back(std::move(mixed));
    const QString pdf = dir.filePath(QStringLiteral("scans.pdf"));
    QVERIFY(Save_Pages_As_Pdf(pdf, Pages_Of(pages), QSize(595, 842), {}));

    int rc = 0;
    const QString list = Run(pdfimages, {QStringLiteral("-list"), pdf}, &rc);
    QCOMPARE(rc, 0);
    // exactly the three source images, at their own pixel sizes
    const QStringList rows = list.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
    QCOMPARE(rows.size(), 3);
    QVERIFY2(rows[0].contains(QRegularExpression(QStringLiteral("image\\s+620\\s+877\\s+rgb\\s+3\\s+8\\s+jpeg"))), qPrintable(list));
    QVERIFY2(rows[1].contains(QRegularExpression(QStringLiteral("image\\s+300\\s+200\\s+gray\\s+1\\s+8\\s+jpeg"))), qPrintable(list));
    QVERIFY2(rows[2].contains(QRegularExpression(QStringLiteral("image\\s+200\\s+150\\s+rgb\\s+3\\s+8\\s+image"))), qPrintable(list));

    Run(pdfimages, {QStringLiteral("-all"), pdf, dir.filePath(QStringLiteral("img"))}, &rc);
    QCOMPARE(rc, 0);
    auto bytes = [&](const char *name) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QVERIFY(bytes("img-000.jpg") == FColourJpeg);
    QVERIFY(bytes("img-001.jpg") == FGrayJpeg);
    QImage png;
    QVERIFY(png.loadFromData(bytes("img-002.png")));
    QCOMPARE(png.convertToFormat(QImage::Format_RGB888), FPngImage); // no lossy step

    const QString qpdf = Tool("qpdf");
    if (qpdf.isEmpty())
        QSKIP("qpdf is not installed");
    const QString check = Run(qpdf, {QStringLiteral("--check"), pdf}, &rc);
    QVERIFY2(rc == 0, qPrintable(check));
}

void TestPdfExport::pngSourcesStayLossless_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("colour");
    QTest::newRow("colour") << int(QImage::Format_RGB888) << QStringLiteral("rgb");
    QTest::newRow("gray") << int(QImage::Format_Grayscale8) << QStringLiteral("gray");
    QTest::newRow("with alpha") << int(QImage::Format_ARGB32) << QStringLiteral("rgb");
}

void TestPdfExport::pngSourcesStayLossless()
{
    QFETCH(int, format);
    QFETCH(QString, colour);
    const QString pdfimages = Tool("pdfimages");
    if (pdfimages.isEmpty())
        QSKIP("pdfimages (poppler-utils) is not installed");
    QImage source = Scan(QSize(120, 90), QImage::Format(format));
    const bool alpha = source.hasAlphaChannel();
    if (alpha)
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                source.setPixelColor(x, y, [&] { QColor c = source.pixelColor(x, y); c.setAlpha(x * 2); return c; }());
    QTemporaryDir dir;
    std::vector<std::unique_ptr<TMetafile>> pages;
    pages.push_back(Image_Page(Encode(source, "png"), QRectF(100, 100, 240, 180)));
    const QString pdf = dir.filePath(QStringLiteral("png.pdf"));
    QVERIFY(Save_Pages_As_Pdf(pdf, Pages_Of(pages), QSize(595, 842), {}));
    int rc = 0;
    const QString list = Run(pdfimages, {QStringLiteral("-list"), pdf}, &rc);
    const QStringList rows = list.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
    QCOMPARE(rows.size(), alpha ? 2 : 1);
    QVERIFY2(rows[0].contains(QRegularExpression(QStringLiteral("image\\s+120\\s+90\\s+") + colour)), qPrintable(list));
    if (alpha)
        QVERIFY2(rows[1].contains(QRegularExpression(QStringLiteral("smask\\s+120\\s+90\\s+gray"))), qPrintable(list));
    Run(pdfimages, {QStringLiteral("-png"), pdf, dir.filePath(QStringLiteral("img"))}, &rc);
    QCOMPARE(rc, 0);
    const QImage image(dir.filePath(QStringLiteral("img-000.png")));
    QVERIFY(!image.isNull());
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            QCOMPARE(image.pixel(x, y) & 0xFFFFFF, source.pixel(x, y) & 0xFFFFFF);
    if (alpha) {
        const QImage mask(dir.filePath(QStringLiteral("img-001.png")));
        QCOMPARE(qGray(mask.pixel(50, 10)), 100);
    }
}

void TestPdfExport::documentPagesAndInfo()
{
    const QString pdfinfo = Tool("pdfinfo");
    if (pdfinfo.isEmpty())
        QSKIP("pdfinfo (poppler-utils) is not installed");
    QTemporaryDir dir;
    std::vector<std::unique_ptr<TMetafile>> pages;
    for (int i = 0; i < 3; ++i)
        pages.push_back(Text_Page());
    TPDFDocumentInfo info;
    info.Creator = QStringLiteral("Tarsel Archive");
    info.Author = QStringLiteral("Office clerk");
    info.Subject = QStringLiteral("Incoming mail");
    info.Title = QString::fromUtf8("رسالة واردة");
    info.Keywords = QStringLiteral("not written");
    const QString pdf = dir.filePath(QStringLiteral("info.pdf"));
    QVERIFY(Save_Pages_As_Pdf(pdf, Pages_Of(pages), QSize(595, 842), info));
    const QString out = Run(pdfinfo, {QStringLiteral("-isodates"), pdf});
    QVERIFY2(out.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))), qPrintable(out));
    QVERIFY2(out.contains(QRegularExpression(QStringLiteral("Page size:\\s+595 x 842 pts"))), qPrintable(out));
    QVERIFY2(out.contains(QRegularExpression(QStringLiteral("Creator:\\s+Tarsel Archive\\n"))), qPrintable(out));
    QVERIFY2(out.contains(QRegularExpression(QStringLiteral("Author:\\s+Office clerk\\n"))), qPrintable(out));
    QVERIFY2(out.contains(QRegularExpression(QStringLiteral("Subject:\\s+Incoming mail\\n"))), qPrintable(out));
    QVERIFY2(out.contains(QRegularExpression(QStringLiteral("Title:\\s+") + info.Title)), qPrintable(out));
    QVERIFY2(out.contains(QRegularExpression(QStringLiteral("CreationDate:\\s+\\d{4}-\\d\\d-\\d\\dT"))), qPrintable(out));
    QVERIFY(!out.contains(QStringLiteral("not written")));
}

void TestPdfExport::pageSizes_data()
{
    QTest::addColumn<QSize>("points");
    QTest::addColumn<QString>("expected");
    QTest::newRow("A4 portrait") << QSize(595, 842) << QStringLiteral("595 x 842 pts");
    QTest::newRow("A4 landscape") << QSize(842, 595) << QStringLiteral("842 x 595 pts");
    QTest::newRow("letter") << QSize(612, 792) << QStringLiteral("612 x 792 pts");
    QTest::newRow("custom") << QSize(300, 500) << QStringLiteral("300 x 500 pts");
}

void TestPdfExport::pageSizes()
{
    QFETCH(QSize, points);
    QFETCH(QString, expected);
    const QString pdfinfo = Tool("pdfinfo");
    if (pdfinfo.isEmpty())
        QSKIP("pdfinfo (poppler-utils) is not installed");
    QTemporaryDir dir;
    std::vector<std::unique_ptr<TMetafile>> pages;
    pages.push_back(Image_Page(FGrayJpeg));
    const QString pdf = dir.filePath(QStringLiteral("size.pdf"));
    QVERIFY(Save_Pages_As_Pdf(pdf, Pages_Of(pages), points, {}));
    const QString out = Run(pdfinfo, {pdf});
    QVERIFY2(out.contains(QRegularExpression(QStringLiteral("Page size:\\s+") + expected)), qPrintable(out));
}

void TestPdfExport::pagesRender()
{
    const QString pdftoppm = Tool("pdftoppm");
    if (pdftoppm.isEmpty())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    QTemporaryDir dir;
    std::vector<std::unique_ptr<TMetafile>> pages;
    // the scan in the right half only: its placement must survive the swap of bytes
    pages.push_back(Image_Page(FColourJpeg, QRectF(397, 0, 397, 1123)));
    pages.push_back(Text_Page());
    const QString pdf = dir.filePath(QStringLiteral("render.pdf"));
    QVERIFY(Save_Pages_As_Pdf(pdf, Pages_Of(pages), QSize(595, 842), {}));
    int rc = 0;
    Run(pdftoppm, {QStringLiteral("-r"), QStringLiteral("24"), QStringLiteral("-png"), pdf,
                   dir.filePath(QStringLiteral("page"))}, &rc);
    QCOMPARE(rc, 0);
    QImage scan(dir.filePath(QStringLiteral("page-1.png")));
    QImage text(dir.filePath(QStringLiteral("page-2.png")));
    QVERIFY(!scan.isNull() && !text.isNull());
    QVERIFY(qAbs(scan.width() - 198) <= 1 && qAbs(scan.height() - 281) <= 1); // 8.26 x 11.69 in at 24 dpi
    // left half empty paper, right half the scan's gradient
    QCOMPARE(QColor(scan.pixel(40, 140)), QColor(Qt::white));
    const QImage source = QImage::fromData(FColourJpeg);
    const QColor expected = source.pixelColor(source.width() * 3 / 4, source.height() / 4);
    const QColor got = scan.pixelColor(scan.width() * 7 / 8, scan.height() / 4);
    QVERIFY2(qAbs(got.red() - expected.red()) < 24 && qAbs(got.green() - expected.green()) < 24,
             qPrintable(QStringLiteral("%1 vs %2").arg(got.name(), expected.name())));
    // the frame's top edge is drawn where it was recorded: 100 of 1123 pixels down
    const int edge = text.height() * 100 / 1123;
    int dark = 0;
    for (int x = 40; x < 150; ++x) {
        int darkest = 255;
        for (int y = edge - 1; y <= edge + 1; ++y)
            darkest = qMin(darkest, qGray(text.pixel(x, y)));
        dark += darkest < 160 ? 1 : 0;
    }
    QVERIFY2(dark > 80, qPrintable(QString::number(dark)));
    QCOMPARE(QColor(text.pixel(40, edge + 20)), QColor(Qt::white));

    // the text is a font's text, not a picture of it
    const QString pdffonts = Tool("pdffonts");
    if (pdffonts.isEmpty())
        QSKIP("pdffonts (poppler-utils) is not installed");
    const QString fonts = Run(pdffonts, {QStringLiteral("-f"), QStringLiteral("2"), QStringLiteral("-l"),
                                         QStringLiteral("2"), pdf}, &rc);
    QCOMPARE(rc, 0);
    QVERIFY2(fonts.contains(QStringLiteral("DejaVu")), qPrintable(fonts));
}

void TestPdfExport::ignoredAndCancelledPages()
{
    const QString pdfinfo = Tool("pdfinfo");
    QTemporaryDir dir;
    std::vector<std::unique_ptr<TMetafile>> pages;
    for (int i = 0; i < 3; ++i)
        pages.push_back(Image_Page(FGrayJpeg));
    const QString pdf = dir.filePath(QStringLiteral("pages.pdf"));

    QList<QPair<int, int>> progress;
    TExportEvents events;
    events.Progress = [&](int done, int total) { progress.append({done, total}); };
    events.PageProcessing = [](int pageNo) { return pageNo == 2 ? pcIgnore : pcAccept; };
    QVERIFY(Save_Pages_As_Pdf(pdf, Pages_Of(pages), QSize(595, 842), {}, events));
    QCOMPARE(progress, (QList<QPair<int, int>>{{0, 3}, {1, 3}, {2, 3}, {3, 3}}));
    if (!pdfinfo.isEmpty())
        QVERIFY(Run(pdfinfo, {pdf}).contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));

    // cancelling at the last page keeps the earlier file as it was and leaves no other file
    QFile before(pdf);
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray earlier = before.readAll();
    before.close();
    events.PageProcessing = [](int pageNo) { return pageNo == 3 ? pcCancellAll : pcAccept; };
    QVERIFY(!Save_Pages_As_Pdf(pdf, Pages_Of(pages), QSize(595, 842), {}, events));
    QVERIFY(before.open(QIODevice::ReadOnly));
    QVERIFY(before.readAll() == earlier);
    QCOMPARE(Entries(dir.path()), QStringList{QStringLiteral("pages.pdf")});

    // no page accepted: nothing written
    const QString none = dir.filePath(QStringLiteral("none.pdf"));
    events.PageProcessing = [](int) { return pcIgnore; };
    QVERIFY(!Save_Pages_As_Pdf(none, Pages_Of(pages), QSize(595, 842), {}, events));
    QCOMPARE(Entries(dir.path()), QStringList{QStringLiteral("pages.pdf")});
}

void TestPdfExport::failedWriteLeavesNothing_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing folder") << QStringLiteral("missing/out.pdf");
    QTest::newRow("folder is a file") << QStringLiteral("plain.txt/out.pdf");
    QTest::newRow("name is a folder") << QStringLiteral("sub");
}

void TestPdfExport::failedWriteLeavesNothing()
{
    QFETCH(QString, relative);
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain.txt")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    std::vector<std::unique_ptr<TMetafile>> pages;
    pages.push_back(Text_Page());
    const QString target = dir.filePath(relative);
    bool raised = false;
    try {
        Save_Pages_As_Pdf(target, Pages_Of(pages), QSize(595, 842), {});
    } catch (const TError &e) {
        raised = true;
        QVERIFY2(e.message().contains(QDir::toNativeSeparators(target)), qPrintable(e.message()));
    }
    QVERIFY(raised);
    QCOMPARE(Entries(dir.path()), QStringList{QStringLiteral("plain.txt")});
    QVERIFY(QDir(dir.filePath(QStringLiteral("sub"))).isEmpty());
}

QTEST_MAIN(TestPdfExport)
#include "tst_pdf_export.moc"
