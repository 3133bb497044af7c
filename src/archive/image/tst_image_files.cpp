#include "archive/image/image_files.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTransform>

class tst_image_files : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    static QString fixture() { return QStringLiteral(TARSEL_TEST_DATA "/three_pages.tif"); }
    static QImage sentinel()
    {
        QImage image(7, 7, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        return image;
    }
    void writeBytes(const QString &name, const QByteArray &data)
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QImage picture(6, 4, QImage::Format_RGB32);
        picture.fill(Qt::yellow);
        picture.setPixelColor(0, 0, Qt::blue);
        QVERIFY(picture.save(path("page.png")));
        QVERIFY(picture.save(path("page.jpg"), "JPEG", 95));
        writeBytes("notes.tif", "this is not an image\n");
        // the start of an enhanced metafile header: record type 1, then " EMF" at offset 40
        QByteArray emf(88, '\0');
        emf[0] = 1;
        emf.replace(40, 4, " EMF");
        writeBytes("drawing.emf", emf);
    }

    void isImageFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("expected");
        QTest::newRow("mixed case jpeg") << "scan.Jpeg" << true;
        QTest::newRow("pdf") << "notes.pdf" << false;
        QTest::newRow("stored name") << "2017-03-13\\page1.TIF" << true;
        QTest::newRow("tiff") << "/home/x/a.tiff" << true;
        QTest::newRow("every listed kind") << "x.bmp" << true;
        QTest::newRow("gif") << "x.gif" << true;
        QTest::newRow("emf") << "x.emf" << true;
        QTest::newRow("only the last extension") << "a.png.bak" << false;
        QTest::newRow("no extension") << "README" << false;
        QTest::newRow("dot in folder only") << "scans.png\\page" << false;
        QTest::newRow("webp not listed") << "x.webp" << false;
    }
    void isImageFile()
    {
        QFETCH(QString, path);
        QFETCH(bool, expected);
        QCOMPARE(Is_Image_File(path), expected);
    }

    void framesOfMultiPageTiff()
    {
        QList<QImage> frames{sentinel()};
        QVERIFY(Load_Image_Frames(fixture(), frames));
        QCOMPARE(frames.size(), 3);
        QCOMPARE(frames[0].size(), QSize(4, 3));
        QCOMPARE(frames[1].size(), QSize(5, 2));
        QCOMPARE(frames[2].size(), QSize(2, 6));
        QCOMPARE(frames[0].pixelColor(1, 1), QColor(Qt::red));
        QCOMPARE(frames[1].pixelColor(1, 1), QColor(Qt::green));
        QCOMPARE(frames[2].pixelColor(1, 1), QColor(Qt::blue));
    }

    void framesOfBilevelScan()
    {
        // the sample archive's invoice: three group-4 compressed pages of one bit per pixel
        QList<QImage> frames;
        QVERIFY(Load_Image_Frames(TARSEL_SOURCE_DIR "/samples/documents/2024-05-12/invoice_INV-2024-0117.tif", frames));
        QCOMPARE(frames.size(), 3);
        for (const QImage &frame : frames) {
            QCOMPARE(frame.depth(), 1);
            QCOMPARE(frame.size(), QSize(826, 1169));
        }
        QVERIFY(frames[0] != frames[1]);
        QImage turned;
        Rotate_Quarter_Turn(frames[2], turned);
        QCOMPARE(turned.size(), QSize(1169, 826));
        QCOMPARE(turned.pixel(0, 0), frames[2].pixel(825, 0));
        QCOMPARE(turned.pixel(1168, 825), frames[2].pixel(0, 1168));
    }

    void framesOfStoredStylePath()
    {
        QString stored = fixture();
        stored.replace(u'/', u'\\');
        QList<QImage> frames;
        QVERIFY(Load_Image_Frames(stored, frames));
        QCOMPARE(frames.size(), 3);
    }

    void framesOfSinglePicture()
    {
        QList<QImage> frames{sentinel(), sentinel()};
        QVERIFY(Load_Image_Frames(path("page.png"), frames));
        QCOMPARE(frames.size(), 1);
        QCOMPARE(frames[0].size(), QSize(6, 4));
        QCOMPARE(frames[0].pixelColor(0, 0), QColor(Qt::blue));
    }

    void framesOfUnreadableFileLeaveListAsItWas_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "missing.tif";
        QTest::newRow("not an image") << "notes.tif";
        QTest::newRow("metafile") << "drawing.emf";
    }
    void framesOfUnreadableFileLeaveListAsItWas()
    {
        QFETCH(QString, name);
        QList<QImage> frames{sentinel()};
        QVERIFY(!Load_Image_Frames(path(name), frames));
        QCOMPARE(frames.size(), 1);
        QCOMPARE(frames[0], sentinel());
    }

    void loadPicture_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("png") << "page.png" << QSize(6, 4);
        QTest::newRow("jpeg") << "page.jpg" << QSize(6, 4);
        QTest::newRow("first page of a tiff") << "three_pages" << QSize(4, 3);
    }
    void loadPicture()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QImage bitmap = sentinel();
        Load_Picture(bitmap, name == "three_pages" ? fixture() : path(name));
        QCOMPARE(bitmap.size(), size);
    }

    void loadPictureLeavesBitmapUnchanged_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("empty path") << QString();
        QTest::newRow("missing") << path("missing.png");
        QTest::newRow("folder") << dir.path();
        QTest::newRow("not an image") << path("notes.tif");
        QTest::newRow("metafile") << path("drawing.emf");
    }
    void loadPictureLeavesBitmapUnchanged()
    {
        QFETCH(QString, file);
        QImage bitmap = sentinel();
        Load_Picture(bitmap, file);
        QCOMPARE(bitmap, sentinel());
    }

    void quarterTurnOfLetters()
    {
        // rows ABC / DEF, one colour per letter
        const QRgb A = 0xff100000, B = 0xff200000, C = 0xff300000, D = 0xff000100, E = 0xff000200,
                   F = 0xff000300;
        QImage source(3, 2, QImage::Format_RGB32);
        const QRgb rows[2][3] = {{A, B, C}, {D, E, F}};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                source.setPixel(x, y, rows[y][x]);
        QImage dest;
        Rotate_Quarter_Turn(source, dest);
        QCOMPARE(dest.size(), QSize(2, 3));
        const QRgb expected[3][2] = {{C, F}, {B, E}, {A, D}};
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 2; ++x)
                QCOMPARE(dest.pixel(x, y), expected[y][x]);
    }

    void quarterTurnKeepsPixelFormat_data()
    {
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<QImage::Format>("expected");
        QTest::newRow("32 bits") << QImage::Format_RGB32 << QImage::Format_RGB32;
        QTest::newRow("32 bits alpha") << QImage::Format_ARGB32 << QImage::Format_ARGB32;
        QTest::newRow("24 bits") << QImage::Format_RGB888 << QImage::Format_RGB888;
        QTest::newRow("16 bits") << QImage::Format_RGB16 << QImage::Format_RGB16;
        QTest::newRow("15 bits") << QImage::Format_RGB555 << QImage::Format_RGB555;
        QTest::newRow("8 bits grey") << QImage::Format_Grayscale8 << QImage::Format_Grayscale8;
        QTest::newRow("8 bits indexed") << QImage::Format_Indexed8 << QImage::Format_Indexed8;
        QTest::newRow("1 bit") << QImage::Format_Mono << QImage::Format_Indexed8;
        QTest::newRow("1 bit lsb") << QImage::Format_MonoLSB << QImage::Format_Indexed8;
        QTest::newRow("64 bits") << QImage::Format_RGBA64 << QImage::Format_RGBA64;
    }
    void quarterTurnKeepsPixelFormat()
    {
        QFETCH(QImage::Format, format);
        QFETCH(QImage::Format, expected);
        // odd width and height, so rows of 24- and 1-bit images carry padding
        QImage pattern(7, 5, QImage::Format_RGB32);
        for (int y = 0; y < pattern.height(); ++y)
            for (int x = 0; x < pattern.width(); ++x)
                pattern.setPixel(x, y, (x * 3 + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        pattern.setPixel(6, 0, qRgb(0, 0, 0)); // marks the top-right corner
        pattern.setPixel(5, 0, qRgb(255, 255, 255));
        const QImage source = pattern.convertToFormat(format, Qt::ThresholdDither);
        QCOMPARE(source.format(), format);

        QImage dest;
        Rotate_Quarter_Turn(source, dest);
        QCOMPARE(dest.format(), expected);
        QCOMPARE(dest.size(), QSize(5, 7));
        const QImage turned = source.transformed(QTransform().rotate(-90));
        for (int y = 0; y < dest.height(); ++y)
            for (int x = 0; x < dest.width(); ++x)
                QVERIFY2(dest.pixel(x, y) == turned.pixel(x, y),
                         qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
    }

    void quarterTurnOfNullLeavesDest()
    {
        QImage dest = sentinel();
        Rotate_Quarter_Turn(QImage(), dest);
        QCOMPARE(dest, sentinel());
    }
};

QTEST_GUILESS_MAIN(tst_image_files)
#include "tst_image_files.moc"
