#include "preview/paper_types.h"
#include "preview/preview_units.h"

#include <QPageSize>
#include <QTest>

#include <limits>

class tst_PreviewUnits : public QObject
{
    Q_OBJECT
private slots:
    void mulDiv_data();
    void mulDiv();
    void roundHalfEven_data();
    void roundHalfEven();
    void convertUnits_data();
    void convertUnits();
    void paperTable();
    void paperTableAgreesWithQt();
    void findPaperTypeBySize_data();
    void findPaperTypeBySize();
};

void tst_PreviewUnits::mulDiv_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("expected");
    QTest::newRow("exact") << 6 << 7 << 3 << 14;
    QTest::newRow("half rounds up") << 5 << 1 << 2 << 3;
    QTest::newRow("negative half rounds away from zero") << -5 << 1 << 2 << -3;
    QTest::newRow("negative divisor half") << 5 << 1 << -2 << -3;
    QTest::newRow("below half truncates") << 4 << 1 << 3 << 1;
    QTest::newRow("above half rounds up") << 5 << 1 << 3 << 2;
    QTest::newRow("64-bit intermediate") << 2000000000 << 3 << 4 << 1500000000;
    QTest::newRow("zero divisor") << 10 << 100 << 0 << -1;
    QTest::newRow("zero over zero") << 0 << 100 << 0 << -1;
    QTest::newRow("overflowing result") << std::numeric_limits<int>::max() << 2 << 1 << -1;
    QTest::newRow("overflowing negative result") << std::numeric_limits<int>::min() << 2 << 1 << -1;
}

void tst_PreviewUnits::mulDiv()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, c);
    QFETCH(int, expected);
    QCOMPARE(MulDiv(a, b, c), expected);
}

void tst_PreviewUnits::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("2.6") << 2.6 << 3;
    QTest::newRow("huge") << 1e20 << std::numeric_limits<int>::max();
}

void tst_PreviewUnits::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(RoundHalfEven(value), expected);
}

void tst_PreviewUnits::convertUnits_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("ppi");
    QTest::addColumn<int>("in");
    QTest::addColumn<int>("out");
    QTest::addColumn<int>("expected");
    QTest::newRow("same units") << 123 << 96 << int(mmPoints) << int(mmPoints) << 123;
    QTest::newRow("hi to lo metric truncates") << 1 << 96 << int(mmHiMetric) << int(mmLoMetric) << 0;
    QTest::newRow("hi to lo metric negative truncates") << -19 << 96 << int(mmHiMetric) << int(mmLoMetric) << -1;
    QTest::newRow("lo to hi metric") << 2970 << 96 << int(mmLoMetric) << int(mmHiMetric) << 29700;
    QTest::newRow("hi to lo english") << 8509 << 96 << int(mmHiEnglish) << int(mmLoEnglish) << 850;
    QTest::newRow("twips to points") << 39 << 96 << int(mmTWIPS) << int(mmPoints) << 1;
    QTest::newRow("points to twips") << 12 << 96 << int(mmPoints) << int(mmTWIPS) << 240;
    QTest::newRow("5 hi metric to lo english rounds to 0") << 5 << 96 << int(mmHiMetric) << int(mmLoEnglish) << 0;
    QTest::newRow("127 hi metric to lo english") << 127 << 96 << int(mmHiMetric) << int(mmLoEnglish) << 5;
    QTest::newRow("A4 width in screen pixels") << 21000 << 96 << int(mmHiMetric) << int(mmPixel) << 794;
    QTest::newRow("A4 height at 300 dpi") << 29700 << 300 << int(mmHiMetric) << int(mmPixel) << 3508;
    QTest::newRow("half to even") << 5 << 144 << int(mmPixel) << int(mmPoints) << 2;
    QTest::newRow("product beyond 32 bits") << 2000000 << 96 << int(mmTWIPS) << int(mmHiMetric) << 3527778;
}

void tst_PreviewUnits::convertUnits()
{
    QFETCH(int, value);
    QFETCH(int, ppi);
    QFETCH(int, in);
    QFETCH(int, out);
    QFETCH(int, expected);
    QCOMPARE(ConvertUnits(value, ppi, TUnits(in), TUnits(out)), expected);
}

void tst_PreviewUnits::paperTable()
{
    // rows whose size or unit differs from the general rule
    QCOMPARE(PaperSizeInfo(pLetter).ID, 1);
    QCOMPARE(PaperSizeInfo(pLedger).Width, 17000);
    QCOMPARE(PaperSizeInfo(pLedger).Height, 11000);
    QCOMPARE(PaperSizeInfo(pEnvB6).Width, 1760);
    QCOMPARE(PaperSizeInfo(pEnvB6).Height, 1250);
    QCOMPARE(PaperSizeInfo(pFanfoldUSStd).Width, 14875);
    QCOMPARE(PaperSizeInfo(pA4Extra).Units, mmHiEnglish);
    QCOMPARE(PaperSizeInfo(pA4Extra).Width, 9270);
    QCOMPARE(PaperSizeInfo(pA4).ID, 9);
    QCOMPARE(PaperSizeInfo(pEnvInvite).ID, 47);
    QCOMPARE(PaperSizeInfo(pLetterExtra).ID, 50);
    QCOMPARE(PaperSizeInfo(pA3ExtraTransverse).ID, 68);
    QCOMPARE(PaperSizeInfo(pCustom).ID, 256);
    QCOMPARE(PaperTypeSize(pCustom, mmHiMetric), QSize(0, 0));
    QCOMPARE(PaperTypeSize(pA4, mmHiMetric), QSize(21000, 29700));
    QCOMPARE(PaperTypeSize(pLetter, mmLoEnglish), QSize(850, 1100));
    QCOMPARE(PaperTypeFromID(9), pA4);
    QCOMPARE(PaperTypeFromID(48), pCustom);
    // paper numbers rise strictly, so no row was lost or doubled
    for (int i = 1; i < int(pCustom); ++i)
        QVERIFY2(PaperSizeInfo(TPaperType(i)).ID > PaperSizeInfo(TPaperType(i - 1)).ID, qPrintable(QString::number(i)));
    QCOMPARE(int(pCustom), 66);
}

void tst_PreviewUnits::paperTableAgreesWithQt()
{
    // Qt publishes sizes for most driver paper numbers; where it knows the same paper, the
    // table must agree to the millimetre. The listed numbers are papers Qt maps differently
    // (a related size, or none at all).
    const QList<int> differing = {14, 15, 24, 25, 26, 52};
    for (int i = 0; i < int(pCustom); ++i) {
        const TPaperSizeInfo &info = PaperSizeInfo(TPaperType(i));
        if (differing.contains(info.ID))
            continue;
        const QPageSize qt(QPageSize::id(info.ID));
        QVERIFY2(qt.isValid(), qPrintable(QString::number(info.ID)));
        const QSizeF mm = qt.size(QPageSize::Millimeter);
        const QSize ours = PaperTypeSize(TPaperType(i), mmHiMetric);
        // transverse papers are listed upright by the drivers
        const bool match = (qAbs(ours.width() / 100.0 - mm.width()) < 1.0 && qAbs(ours.height() / 100.0 - mm.height()) < 1.0);
        QVERIFY2(match, qPrintable(QStringLiteral("paper %1: %2x%3 vs Qt %4x%5").arg(info.ID).arg(ours.width()).arg(ours.height())
                                       .arg(mm.width()).arg(mm.height())));
    }
}

void tst_PreviewUnits::findPaperTypeBySize_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("units");
    QTest::addColumn<int>("expected");
    QTest::newRow("A4 exact") << 21000 << 29700 << int(mmHiMetric) << int(pA4);
    QTest::newRow("210.4 mm rounds to A4") << 2104 << 2970 << int(mmLoMetric) << int(pA4);
    QTest::newRow("210.6 mm is custom") << 2106 << 2970 << int(mmLoMetric) << int(pCustom);
    QTest::newRow("letter in inches") << 8500 << 11000 << int(mmHiEnglish) << int(pLetter);
    QTest::newRow("ledger wide") << 17000 << 11000 << int(mmHiEnglish) << int(pLedger);
    QTest::newRow("tabloid tall is first of its size") << 1100 << 1700 << int(mmLoEnglish) << int(pTabloid);
    QTest::newRow("A4 Extra from millimetres") << 23546 << 32233 << int(mmHiMetric) << int(pA4Extra);
    QTest::newRow("nothing") << 12345 << 12345 << int(mmHiMetric) << int(pCustom);
}

void tst_PreviewUnits::findPaperTypeBySize()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, units);
    QFETCH(int, expected);
    QCOMPARE(int(FindPaperTypeBySize(width, height, TUnits(units))), expected);
}

QTEST_GUILESS_MAIN(tst_PreviewUnits)
#include "tst_preview_units.moc"
