#include "markup/terror.h"
#include "preview/emf_stream.h"
#include "preview/metafile.h"

#include <QBuffer>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTextDocument>
#include <QAbstractTextDocumentLayout>
#include <QtEndian>
#include <QtTest>

#include <functional>

using TDraw = std::function<void(QPainter &)>;
Q_DECLARE_METATYPE(TDraw)

namespace {

// A 100 x 100 pixel page drawn in 0.01 mm units of a 254 dpi reference (1 px = 10 units).
void Record(TMetafile &m, const TDraw &draw)
{
    m.SetSize(QSize(100, 100), 254, 254);
    QPainter p(&m);
    p.setWindow(0, 0, 1000, 1000);
    p.setViewport(0, 0, 100, 100);
    draw(p);
}

QImage Played(const TMetafile &m, QSize size = QSize(200, 200))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    m.Play(&p, QRectF(QPointF(0, 0), size));
    return image;
}

QByteArray Le32(quint32 v) { QByteArray b(4, '\0'); qToLittleEndian(v, b.data()); return b; }
QByteArray Le16(quint16 v) { QByteArray b(2, '\0'); qToLittleEndian(v, b.data()); return b; }

QByteArray Jpeg(QColor color, QSize size = QSize(64, 48))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

// Byte offset of the first record of a type in a file, -1 when there is none.
qsizetype Find_Record(const QByteArray &file, quint32 type)
{
    qint64 at = 0;
    while (at + 8 <= file.size()) {
        if (qFromLittleEndian<quint32>(file.constData() + at) == type) return at;
        const quint32 size = qFromLittleEndian<quint32>(file.constData() + at + 4);
        if (size < 8) break;
        at += size;
    }
    return -1;
}

// Walks a file's records, returning their types.
QList<quint32> Types(const QByteArray &file)
{
    QList<quint32> types;
    qint64 at = 0;
    while (at + 8 <= file.size()) {
        types.append(qFromLittleEndian<quint32>(file.constData() + at));
        const quint32 size = qFromLittleEndian<quint32>(file.constData() + at + 4);
        if (size < 8) break;
        at += size;
    }
    return types;
}

bool Near(QRgb a, QColor b) { return qAbs(qRed(a) - b.red()) < 40 && qAbs(qGreen(a) - b.green()) < 40 && qAbs(qBlue(a) - b.blue()) < 40; }

// A file written by hand as an older writer would: an 88-byte header without extensions,
// 16-bit polygon points, a record type no writer uses, then the end record.
QByteArray Foreign_File()
{
    QByteArray records;
    const auto rec = [&](quint32 type, const QByteArray &body) { records += Le32(type) + Le32(8 + body.size()) + body; };
    rec(Emf::SETMAPMODE, Le32(Emf::MM_ANISOTROPIC));
    rec(Emf::SETWINDOWEXTEX, Le32(10) + Le32(10));
    rec(Emf::SETVIEWPORTEXTEX, Le32(50) + Le32(50));
    rec(Emf::CREATEBRUSHINDIRECT, Le32(1) + Le32(0) + Le32(0x00FF0000) + Le32(0)); // blue
    rec(Emf::SELECTOBJECT, Le32(1));
    rec(Emf::SELECTOBJECT, Le32(Emf::StockObject | Emf::NULL_PEN));
    rec(0x7777, QByteArray(12, 'x'));                                              // unknown
    QByteArray poly = Le32(0) + Le32(0) + Le32(0) + Le32(0) + Le32(4);
    for (int xy : {0, 0, 5, 0, 5, 5, 0, 5}) poly += Le16(quint16(xy));
    rec(Emf::POLYGON16, poly);
    rec(Emf::EOF_, Le32(0) + Le32(16) + Le32(20));
    QByteArray header = Le32(Emf::HEADER) + Le32(88) + Le32(0) + Le32(0) + Le32(49) + Le32(49)
        + Le32(0) + Le32(0) + Le32(1322) + Le32(1322) + Le32(Emf::Signature) + Le32(Emf::Version)
        + Le32(quint32(88 + records.size())) + Le32(10) + Le16(2) + Le16(0) + Le32(0) + Le32(0) + Le32(0)
        + Le32(1000) + Le32(1000) + Le32(264) + Le32(264);
    return header + records;
}

} // namespace

class TestMetafile : public QObject
{
    Q_OBJECT
private slots:
    void draws_data();
    void draws();
    void file_round_trip_is_byte_exact();
    void header_describes_the_file();
    void encoded_image_keeps_its_bytes();
    void foreign_file_plays();
    void damaged_file_is_refused_data();
    void damaged_file_is_refused();
    void assign_copies_and_notifies();
    void widget_renders_into_a_picture();
    void rich_text_in_page_units();
    void mutated_files_load_or_fail_cleanly();
    void text_plays_at_any_size_data();
    void text_plays_at_any_size();
};

void TestMetafile::draws_data()
{
    QTest::addColumn<TDraw>("draw");
    QTest::addColumn<QPoint>("inside");   // pixel of the 200 x 200 play that must be red
    QTest::addColumn<QPoint>("outside");  // pixel that must stay white
    QTest::newRow("rectangle") << TDraw([](QPainter &p) { p.fillRect(QRect(200, 200, 400, 400), Qt::red); })
                               << QPoint(80, 80) << QPoint(150, 150);
    QTest::newRow("ellipse") << TDraw([](QPainter &p) { p.setPen(Qt::NoPen); p.setBrush(Qt::red); p.drawEllipse(QRect(0, 0, 1000, 1000)); })
                             << QPoint(100, 100) << QPoint(3, 3);
    QTest::newRow("polygon") << TDraw([](QPainter &p) { p.setPen(Qt::NoPen); p.setBrush(Qt::red);
                                         const QPoint pts[] = {{0, 0}, {1000, 0}, {0, 1000}}; p.drawPolygon(pts, 3); })
                             << QPoint(30, 30) << QPoint(190, 190);
    QTest::newRow("path") << TDraw([](QPainter &p) { QPainterPath path; path.moveTo(500, 0); path.cubicTo(1000, 0, 1000, 1000, 500, 1000); path.closeSubpath();
                                      p.setPen(Qt::NoPen); p.setBrush(Qt::red); p.drawPath(path); })
                          << QPoint(150, 100) << QPoint(50, 100);
    QTest::newRow("thick line") << TDraw([](QPainter &p) { p.setPen(QPen(Qt::red, 100)); p.drawLine(0, 500, 1000, 500); })
                                << QPoint(100, 100) << QPoint(100, 20);
    QTest::newRow("world transform") << TDraw([](QPainter &p) { p.translate(500, 500); p.scale(0.5, 0.5); p.fillRect(QRect(0, 0, 1000, 1000), Qt::red); })
                                     << QPoint(190, 190) << QPoint(90, 90);
    QTest::newRow("clip") << TDraw([](QPainter &p) { p.setClipRect(QRect(0, 0, 500, 1000)); p.fillRect(QRect(0, 0, 1000, 1000), Qt::red); })
                          << QPoint(50, 100) << QPoint(150, 100);
    QTest::newRow("clip path") << TDraw([](QPainter &p) { QPainterPath c; c.addEllipse(QRect(0, 0, 500, 500)); p.setClipPath(c);
                                           p.fillRect(QRect(0, 0, 1000, 1000), Qt::red); })
                               << QPoint(50, 50) << QPoint(3, 3);
    QTest::newRow("saved clip restored") << TDraw([](QPainter &p) { p.save(); p.setClipRect(QRect(0, 0, 100, 100)); p.restore();
                                                     p.fillRect(QRect(0, 0, 1000, 500), Qt::red); })
                                         << QPoint(150, 50) << QPoint(150, 150);
    QTest::newRow("image") << TDraw([](QPainter &p) { QImage i(4, 4, QImage::Format_RGB32); i.fill(Qt::red); p.drawImage(QRect(0, 0, 500, 500), i); })
                           << QPoint(50, 50) << QPoint(150, 150);
    QTest::newRow("image with alpha") << TDraw([](QPainter &p) { QImage i(2, 1, QImage::Format_ARGB32); i.setPixel(0, 0, qRgba(255, 0, 0, 255)); i.setPixel(1, 0, 0);
                                                  p.drawImage(QRect(0, 0, 1000, 1000), i); })
                                      << QPoint(50, 100) << QPoint(150, 100);
    QTest::newRow("mono image") << TDraw([](QPainter &p) { QImage i(8, 8, QImage::Format_Mono); i.setColorTable({qRgb(255, 0, 0), qRgb(255, 255, 255)});
                                            i.fill(1); for (int y = 0; y < 8; ++y) for (int x = 0; x < 4; ++x) i.setPixel(x, y, 0);
                                            p.drawImage(QRect(0, 0, 1000, 1000), i); })
                                << QPoint(50, 100) << QPoint(150, 100);
}

void TestMetafile::draws()
{
    QFETCH(TDraw, draw);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);
    TMetafile m;
    Record(m, draw);
    for (const bool reloaded : {false, true}) {
        TMetafile copy;
        copy.LoadFromBytes(m.SaveToBytes());
        const QImage image = Played(reloaded ? copy : m);
        QVERIFY2(Near(image.pixel(inside), Qt::red), qPrintable(QStringLiteral("inside %1").arg(image.pixel(inside), 0, 16)));
        QVERIFY2(Near(image.pixel(outside), Qt::white), qPrintable(QStringLiteral("outside %1").arg(image.pixel(outside), 0, 16)));
    }
}

void TestMetafile::file_round_trip_is_byte_exact()
{
    TMetafile m;
    m.SetDescription(QStringLiteral("Job"), QStringLiteral("TPrintPreview - page"));
    Record(m, [](QPainter &p) {
        p.setPen(QPen(Qt::blue, 20, Qt::DashLine));
        p.setBrush(Qt::Dense3Pattern);
        p.drawRect(100, 100, 300, 300);
        QFont f(QStringLiteral("Sans"));
        f.setPixelSize(80);
        p.setFont(f);
        p.drawText(QPoint(100, 800), QStringLiteral("Page text"));
        p.drawImage(QRect(500, 500, 200, 200), QImage(3, 3, QImage::Format_RGB32));
    });
    const QByteArray first = m.SaveToBytes();
    TMetafile copy;
    copy.LoadFromBytes(first);
    QCOMPARE(copy.SaveToBytes(), first);
    QCOMPARE(copy.PixelSize(), m.PixelSize());
    QCOMPARE(copy.Description(), QStringLiteral("TPrintPreview - page"));
    QCOMPARE(copy.Creator(), QStringLiteral("Job"));
    QCOMPARE(Played(copy), Played(m));
    // the stream form is the same bytes, and reading takes exactly one file
    QByteArray twice;
    QBuffer out(&twice);
    out.open(QIODevice::WriteOnly);
    m.SaveToStream(out);
    m.SaveToStream(out);
    QCOMPARE(twice, first + first);
    QBuffer in(&twice);
    in.open(QIODevice::ReadOnly);
    copy.LoadFromStream(in);
    QCOMPARE(in.pos(), qint64(first.size()));
}

void TestMetafile::header_describes_the_file()
{
    TMetafile m(QSize(794, 1123), 96, 96); // A4 at 96 dpi
    {
        QPainter p(&m);
        p.setWindow(0, 0, 21000, 29700);
        p.setViewport(0, 0, 794, 1123);
        p.fillRect(QRect(1000, 1000, 2000, 2000), Qt::black);
    }
    const QByteArray f = m.SaveToBytes();
    const Emf::THeader h = Emf::Parse_Header(f);
    QCOMPARE(qint64(h.Bytes), qint64(f.size()));
    QCOMPARE(qint64(h.Bytes), m.ByteSize());
    const QList<quint32> types = Types(f);
    QCOMPARE(int(h.Records), types.size());
    QCOMPARE(types.first(), quint32(Emf::HEADER));
    QCOMPARE(types.last(), quint32(Emf::EOF_));
    QVERIFY(types.contains(Emf::SETMAPMODE) && types.contains(Emf::SETWINDOWEXTEX) && types.contains(Emf::SETVIEWPORTEXTEX));
    QVERIFY(types.contains(Emf::RECTANGLE) && types.contains(Emf::CREATEBRUSHINDIRECT) && types.contains(Emf::SELECTOBJECT));
    QCOMPARE(types.count(Emf::SAVEDC), types.count(Emf::RESTOREDC));
    // frame: 794 px at 96 dpi is 21008 hundredths of a millimetre, inclusive bounds
    QCOMPARE(h.Frame, QRect(0, 0, 21008, 29713));
    // bounds: the filled rectangle in pixels (1000/21000 of 794 = 37.8)
    QVERIFY2(qAbs(h.Bounds.left() - 38) <= 1 && qAbs(h.Bounds.right() - 113) <= 2,
             qPrintable(QStringLiteral("%1..%2").arg(h.Bounds.left()).arg(h.Bounds.right())));
    QVERIFY(h.Handles >= 2);
}

void TestMetafile::encoded_image_keeps_its_bytes()
{
    const QByteArray jpeg = Jpeg(QColor(0, 200, 0), QSize(640, 480));
    TMetafile m;
    Record(m, [&](QPainter &p) { QVERIFY(TMetafile::DrawEncodedImage(p, QRectF(0, 0, 1000, 1000), jpeg)); });
    // the file costs the JPEG plus a few hundred bytes, not 640 x 480 x 4
    QVERIFY2(m.ByteSize() < jpeg.size() + 1024, qPrintable(QString::number(m.ByteSize())));
    QVERIFY(m.RecordBytes().contains(jpeg));
    TMetafile copy;
    copy.LoadFromBytes(m.SaveToBytes());
    const QList<TEncodedImage> images = copy.EncodedImages();
    QCOMPARE(images.size(), 1);
    QCOMPARE(images[0].ImageFormat, TEncodedImage::Jpeg);
    QCOMPARE(images[0].Bytes, jpeg);
    QCOMPARE(images[0].Pixels, QSize(640, 480));
    QCOMPARE(images[0].Target, QRectF(0, 0, 1000, 1000));
    const QImage shown = Played(copy);
    QVERIFY(Near(shown.pixel(100, 100), QColor(0, 200, 0)));
    // drawn onto anything else the bytes are decoded
    QImage raster(10, 10, QImage::Format_RGB32);
    raster.fill(Qt::white);
    QPainter p(&raster);
    QVERIFY(TMetafile::DrawEncodedImage(p, QRectF(0, 0, 10, 10), jpeg));
    QVERIFY(Near(raster.pixel(5, 5), QColor(0, 200, 0)));
    QVERIFY(!TMetafile::DrawEncodedImage(p, QRectF(0, 0, 10, 10), QByteArray("not an image")));
}

void TestMetafile::foreign_file_plays()
{
    TMetafile m;
    m.LoadFromBytes(Foreign_File());
    QCOMPARE(m.PixelSize(), QSize(50, 50)); // 0..1322 hundredths of a mm at 96 dpi
    const QImage image = Played(m, QSize(100, 100));
    QVERIFY2(Near(image.pixel(20, 20), Qt::blue), qPrintable(QString::number(image.pixel(20, 20), 16)));
    QVERIFY(Near(image.pixel(80, 80), Qt::white));
}

void TestMetafile::damaged_file_is_refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = Foreign_File();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header cut") << good.left(60);
    QTest::newRow("records cut") << good.left(good.size() - 24);
    QTest::newRow("end record cut") << good.left(good.size() - 4);
    QByteArray signature = good; signature[40] = 'X';
    QTest::newRow("signature") << signature;
    QByteArray zero = good; qToLittleEndian(quint32(0), zero.data() + 88 + 4);
    QTest::newRow("record of size 0") << zero;
    QByteArray past = good; qToLittleEndian(quint32(4000), past.data() + 88 + 4);
    QTest::newRow("record past the end") << past;
    QByteArray huge = good; qToLittleEndian(quint32(0xFFFFFFF0), huge.data() + 48);
    QTest::newRow("length beyond the stream") << huge;
    QByteArray noEnd = good; qToLittleEndian(quint32(0x7777), noEnd.data() + good.size() - 20);
    QTest::newRow("no end record") << noEnd;
    QByteArray points = good; const qsizetype poly = Find_Record(good, Emf::POLYGON16);
    qToLittleEndian(quint32(100000), points.data() + poly + 24);
    QTest::newRow("more points than the record holds") << points;
    TMetafile m;
    Record(m, [](QPainter &p) { p.drawImage(QRect(0, 0, 10, 10), QImage(2, 2, QImage::Format_RGB32)); });
    QByteArray bitmap = m.SaveToBytes(); const qsizetype dib = Find_Record(bitmap, Emf::STRETCHDIBITS);
    QVERIFY(dib > 0);
    qToLittleEndian(quint32(1 << 20), bitmap.data() + dib + 60);
    QTest::newRow("bitmap bits outside the record") << bitmap;
}

void TestMetafile::damaged_file_is_refused()
{
    QFETCH(QByteArray, bytes);
    TMetafile m;
    Record(m, [](QPainter &p) { p.fillRect(QRect(0, 0, 10, 10), Qt::red); });
    const QByteArray before = m.SaveToBytes();
    int changes = 0;
    m.SetOnChange([&] { ++changes; });
    QString message;
    try {
        m.LoadFromBytes(bytes);
    } catch (const TError &e) {
        message = e.message();
    }
    QVERIFY2(message.startsWith(QStringLiteral("The page picture")), qPrintable(message));
    QCOMPARE(m.SaveToBytes(), before);
    QCOMPARE(changes, 0);
}

void TestMetafile::assign_copies_and_notifies()
{
    TMetafile a, b;
    Record(a, [](QPainter &p) { p.fillRect(QRect(0, 0, 500, 500), Qt::red); });
    int changes = 0;
    b.SetOnChange([&] { ++changes; });
    b.Assign(a);
    QCOMPARE(changes, 1);
    QCOMPARE(b.SaveToBytes(), a.SaveToBytes());
    Record(a, [](QPainter &p) { p.fillRect(QRect(0, 0, 500, 500), Qt::blue); });
    QVERIFY(b.SaveToBytes() != a.SaveToBytes()); // the copy is its own
    Record(b, [](QPainter &) {});
    QCOMPARE(changes, 2);
    b.Clear();
    QCOMPARE(changes, 3);
    QVERIFY(b.IsEmpty());
}

void TestMetafile::widget_renders_into_a_picture()
{
    QLabel label(QStringLiteral("Widget █████"));
    label.setStyleSheet(QStringLiteral("background: white; color: black"));
    label.resize(200, 40);
    TMetafile m(label.size(), 96, 96);
    {
        QPainter p(&m);
        label.render(&p);
    }
    QVERIFY(Types(m.SaveToBytes()).contains(Emf::EXTTEXTOUTW));
    const QImage image = Played(m, label.size());
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 100;
    QVERIFY2(dark > 50, qPrintable(QString::number(dark)));
}

void TestMetafile::rich_text_in_page_units()
{
    // an A4 page in 0.01 mm; with the logical resolution at 2540 a point is a point
    TMetafile m(QSize(794, 1123), 96, 96);
    m.SetLogicalDpi(2540, 2540);
    {
        QPainter p(&m);
        p.setWindow(0, 0, 21000, 29700);
        p.setViewport(0, 0, 794, 1123);
        QTextDocument doc;
        doc.documentLayout()->setPaintDevice(&m);
        doc.setDefaultFont(QFont(QStringLiteral("Sans"), 24));
        doc.setHtml(QStringLiteral("<p>Incoming mail <b>bold</b></p><p dir='rtl'>بريد وارد</p>"));
        doc.setTextWidth(19000);
        p.translate(1000, 1000);
        doc.drawContents(&p);
    }
    const QImage image = Played(m, QSize(794, 1123));
    // 24 pt is about 32 px at 96 dpi: ink near the top, none below 5 cm
    int inkTop = 0, inkLow = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                (y < 190 ? inkTop : inkLow) += 1;
    QVERIFY2(inkTop > 200 && inkLow == 0, qPrintable(QStringLiteral("%1 %2").arg(inkTop).arg(inkLow)));
}

void TestMetafile::mutated_files_load_or_fail_cleanly()
{
    TMetafile m;
    Record(m, [](QPainter &p) {
        p.setPen(QPen(Qt::blue, 10));
        p.setBrush(Qt::CrossPattern);
        QPainterPath path;
        path.addEllipse(QRect(100, 100, 400, 300));
        p.setClipPath(path);
        p.drawPath(path);
        p.setFont(QFont(QStringLiteral("Sans"), 12));
        p.drawText(QPoint(100, 600), QStringLiteral("text"));
        p.drawImage(QRect(0, 0, 300, 300), QImage(5, 5, QImage::Format_Indexed8));
        TMetafile::DrawEncodedImage(p, QRectF(500, 500, 300, 300), Jpeg(Qt::red, QSize(8, 8)));
    });
    const QByteArray good = m.SaveToBytes();
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg=false")); // damaged JPEGs are expected
    QRandomGenerator random(1234);
    int loaded = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = good;
        if (round < good.size() / 4) {
            bytes.truncate(4 * round);
        } else {
            for (int k = 0; k < 1 + round % 4; ++k)
                bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
        }
        TMetafile t;
        try {
            t.LoadFromBytes(bytes);
        } catch (const TError &) {
            continue;
        }
        ++loaded;
        Played(t, QSize(50, 50));
    }
    QVERIFY(loaded > 0);
}

void TestMetafile::text_plays_at_any_size_data()
{
    QTest::addColumn<int>("side");
    // a thumbnail shrinks glyphs below a pixel; a zoomed page makes them huge
    for (int side : {2, 5, 12, 40, 400, 4000})
        QTest::newRow(qPrintable(QString::number(side))) << side;
}

void TestMetafile::text_plays_at_any_size()
{
    QFETCH(int, side);
    TMetafile m;
    Record(m, [](QPainter &p) {
        p.setFont(QFont(QStringLiteral("Sans"), 12)); // a point size, as the default font has
        p.drawText(QPoint(100, 500), QStringLiteral("Tiny or huge"));
        QFont big(QStringLiteral("Sans"));
        big.setPixelSize(300);
        p.setFont(big);
        p.drawText(QPoint(0, 900), QStringLiteral("Big"));
        // glyphs far larger than any device: a glyph bitmap of that size cannot be made
        p.setFont(QFont(QStringLiteral("Sans"), 12));
        p.scale(3000, 40);
        p.drawText(QPoint(0, 1), QStringLiteral("W"));
    });
    const QImage image = Played(m, QSize(side, side));
    if (side >= 40) {
        int dark = 0;
        for (int y = 0; y < image.height(); y += qMax(1, side / 200))
            for (int x = 0; x < image.width(); x += qMax(1, side / 200))
                dark += qGray(image.pixel(x, y)) < 128;
        QVERIFY(dark > 0);
    }
}

QTEST_MAIN(TestMetafile)
#include "tst_metafile.moc"
