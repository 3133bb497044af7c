#include <QDate>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include "local/localization.h"
#include "text/app_paths.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/help/about_box.h"
#include "ui/help/version_info.h"

class tst_AboutBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void position_data();
    void position();
    void showsNameVersionAndBuildDate();
    void closing_data();
    void closing();
    void localizeMirrors();

private:
    QTemporaryDir Folder;
};

void tst_AboutBox::initTestCase()
{
    QVERIFY(Folder.isValid());
    Set_App_Folder(Folder.path());
    QVERIFY(Write_Builtin_Languages(false).isEmpty());
    Reset_Localization();
}

void tst_AboutBox::cleanup()
{
    Reset_Localization();
}

void tst_AboutBox::position_data()
{
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QPoint>("expected");

    // screen 1280 x 800, box 344 x 209
    QTest::newRow("centred on the main window") << QRect(0, 0, 1280, 800) << QPoint(468, 295);
    QTest::newRow("centred on a small window") << QRect(100, 50, 600, 400) << QPoint(228, 145);
    QTest::newRow("window far left") << QRect(-900, 100, 400, 400) << QPoint(20, 195);
    QTest::newRow("window far right") << QRect(1100, 100, 400, 400) << QPoint(926, 195);
    QTest::newRow("window above the screen") << QRect(200, -600, 400, 400) << QPoint(228, 10);
    QTest::newRow("window below the screen") << QRect(200, 700, 400, 400) << QPoint(228, 531);
}

void tst_AboutBox::position()
{
    QFETCH(QRect, main);
    QFETCH(QPoint, expected);
    QCOMPARE(Tfrm_About::Position_On(main, QSize(344, 209), QRect(0, 0, 1280, 800)), expected);
}

void tst_AboutBox::showsNameVersionAndBuildDate()
{
    Tfrm_About box;
    box.show();
    QCOMPARE(box.size(), QSize(344, 209));
    QCOMPARE(box.App_Name_Label()->Caption(), QStringLiteral("Tarsel Archive"));
    const QString version = TVersionInfo().ProductVersion();
    QVERIFY(!version.isEmpty());
    QCOMPARE(box.Version_Label()->Caption(), QStringLiteral("Version   ") + version);
    const QDate built = QDate(1899, 12, 30).addDays(qint64(Build_Time().Value));
    QVERIFY(built.year() >= 2024);
    QCOMPARE(box.Date_Label()->Caption(), QLocale().toString(built, QLocale::ShortFormat));
    QCOMPARE(box.Link_Label()->isVisible(), !Tfrm_About::Product_Web_Page().isEmpty());
    QVERIFY(!box.Credits()->Text().isEmpty());
    QVERIFY(box.Credits()->isReadOnly());

    QVERIFY(Apply_Language_File(Languages_Folder() + QStringLiteral("/arabic.local")).isEmpty());
    box.hide();
    box.show();
    QCOMPARE(box.App_Name_Label()->Caption(), Translate(QStringLiteral("Tarsel Archive")));
    QVERIFY(box.App_Name_Label()->Caption() != QLatin1String("Tarsel Archive"));
    QCOMPARE(box.Version_Label()->Caption(), Translate(QStringLiteral("Version")) + QStringLiteral("   ") + version);
    // the date keeps its left-to-right order inside the mirrored box
    QString date = box.Date_Label()->Caption();
    QVERIFY(date.startsWith(QChar(0x200E)) && date.endsWith(QChar(0x200E)));
    QCOMPARE(date.remove(QChar(0x200E)), QLocale().toString(built, QLocale::ShortFormat));
}

void tst_AboutBox::closing_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(QDialog::Accepted);
    QTest::newRow("Esc") << int(Qt::Key_Escape) << int(QDialog::Rejected);
    QTest::newRow("OK button") << 0 << int(QDialog::Accepted);
}

void tst_AboutBox::closing()
{
    QFETCH(int, key);
    QFETCH(int, result);
    Tfrm_About box;
    box.setResult(-1);
    box.show();
    if (key)
        QTest::keyClick(&box, Qt::Key(key));
    else
        QTest::mouseClick(box.Ok_Button(), Qt::LeftButton, {}, box.Ok_Button()->rect().center());
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), result);
}

void tst_AboutBox::localizeMirrors()
{
    Tfrm_About box;
    box.show();
    QCOMPARE(box.layoutDirection(), Qt::LeftToRight);
    const QPoint nameLeft = box.App_Name_Label()->geometry().topLeft();
    QVERIFY(Apply_Language_File(Languages_Folder() + QStringLiteral("/arabic.local")).isEmpty());
    box.Localize();
    box.Localize();
    QCoreApplication::processEvents();
    QCOMPARE(box.layoutDirection(), Qt::RightToLeft);
    // the texts moved left of the icon, the OK button to the left edge
    QVERIFY(box.App_Name_Label()->geometry().left() < nameLeft.x());
    QVERIFY(box.Ok_Button()->geometry().left() < box.width() / 2);
}

QTEST_MAIN(tst_AboutBox)
#include "tst_about_box.moc"
