#include "preview/gray_conversion.h"

#include <QTest>

class tst_GrayConversion : public QObject
{
    Q_OBJECT
private slots:
    void grayValue_data();
    void grayValue();
    void transparentColourIsLeftOut();
};

void tst_GrayConversion::grayValue_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("brightness");
    QTest::addColumn<int>("contrast");
    QTest::addColumn<int>("expected");
    QTest::newRow("luminance of red") << QColor(255, 0, 0) << 0 << 0 << 76;
    QTest::newRow("luminance of green") << QColor(0, 255, 0) << 0 << 0 << 150;
    QTest::newRow("luminance of a mix") << QColor(10, 200, 30) << 0 << 0 << 124;
    QTest::newRow("white stays white") << QColor(255, 255, 255) << 0 << 0 << 255;
    QTest::newRow("full brightness") << QColor(0, 0, 0) << 100 << 0 << 255;
    QTest::newRow("no brightness") << QColor(255, 255, 255) << -100 << 0 << 0;
    QTest::newRow("no contrast is mid gray") << QColor(255, 0, 0) << 0 << -100 << 128;
    QTest::newRow("double contrast darkens dark") << QColor(50, 50, 50) << 0 << 100 << 0;
    QTest::newRow("double contrast") << QColor(100, 100, 100) << 0 << 100 << 72;
    QTest::newRow("brightness and contrast") << QColor(100, 100, 100) << 20 << 50 << 137;
}

void tst_GrayConversion::grayValue()
{
    QFETCH(QColor, colour);
    QFETCH(int, brightness);
    QFETCH(int, contrast);
    QFETCH(int, expected);
    QCOMPARE(GrayValue(colour.red(), colour.green(), colour.blue(), brightness, contrast), expected);
    QImage image(2, 1, QImage::Format_RGB32);
    image.fill(colour);
    ConvertToGrayscale(image, brightness, contrast);
    QCOMPARE(image.pixel(1, 0), qRgb(expected, expected, expected));
}

void tst_GrayConversion::transparentColourIsLeftOut()
{
    QImage image(3, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 255, 255));
    image.setPixel(1, 0, qRgb(255, 0, 0));
    image.setPixel(2, 0, qRgb(254, 255, 255));
    ConvertToGrayscale(image, 0, 0, qRgb(255, 255, 255));
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(image.pixel(1, 0), qRgb(76, 76, 76));
    QCOMPARE(image.pixel(2, 0), qRgb(254, 254, 254));
}

QTEST_GUILESS_MAIN(tst_GrayConversion)
#include "tst_gray_conversion.moc"
