#include "preview/preview_stream.h"

#include <QBuffer>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray Le32(qint32 v) { QByteArray b(4, '\0'); qToLittleEndian(v, b.data()); return b; }

const QByteArray Empty_Page_List = QByteArray("KWPL\x50\x05", 6) + Le32(0) + Le32(0);

QByteArray Header(qint32 orientation, qint32 paper, qint32 width, qint32 height)
{
    return QByteArray("KWPI\x50\x05", 6) + Le32(orientation) + Le32(paper) + Le32(width) + Le32(height);
}

} // namespace

class TestPreviewStream : public QObject
{
    Q_OBJECT
private slots:
    void round_trip();
    void low_bytes_are_the_values();
    void impossible_header_refused_data();
    void impossible_header_refused();
};

void TestPreviewStream::round_trip()
{
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    Write_Preview_Page_Header(out, {1, Preview_Custom_Paper_Type, 21000, 29700});
    QCOMPARE(bytes, Header(1, 66, 21000, 29700));
    bytes += Empty_Page_List;
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    const TPreviewPageHeader h = Read_Preview_Page_Header(in);
    QCOMPARE(h.Orientation, 1);
    QCOMPARE(h.PaperType, 66);
    QCOMPARE(h.Width, 21000);
    QCOMPARE(h.Height, 29700);
    QCOMPARE(in.pos(), 22); // at the page list
}

void TestPreviewStream::low_bytes_are_the_values()
{
    QByteArray bytes = Header(0x100, 0x7709, 100, 100) + Empty_Page_List;
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    const TPreviewPageHeader h = Read_Preview_Page_Header(in);
    QCOMPARE(h.Orientation, 0);
    QCOMPARE(h.PaperType, 9);
}

void TestPreviewStream::impossible_header_refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("paper type 200") << Header(0, 200, 21000, 29700) + Empty_Page_List;
    QTest::newRow("paper type after custom") << Header(0, 67, 21000, 29700) + Empty_Page_List;
    QTest::newRow("orientation 2") << Header(2, 9, 21000, 29700) + Empty_Page_List;
    QTest::newRow("width 0") << Header(0, 66, 0, 29700) + Empty_Page_List;
    QTest::newRow("negative height") << Header(0, 66, 21000, -5) + Empty_Page_List;
    QTest::newRow("signature") << "KWPX" + Header(0, 9, 21000, 29700).mid(4) + Empty_Page_List;
    QTest::newRow("cut short") << Header(0, 9, 21000, 29700).left(20);
    QTest::newRow("no page list") << Header(0, 9, 21000, 29700) + QByteArray("KWPX\x50\x05", 6);
}

void TestPreviewStream::impossible_header_refused()
{
    QFETCH(QByteArray, bytes);
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    try {
        Read_Preview_Page_Header(in);
        QFAIL("accepted");
    } catch (const EPreviewLoadError &e) {
        QCOMPARE(e.message(), QStringLiteral("The content cannot be loaded"));
    }
}

QTEST_MAIN(TestPreviewStream)
#include "tst_preview_stream.moc"
