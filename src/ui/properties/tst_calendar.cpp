// The date picker: loading a date text into its lists, the lists' ranges, accepting and
// cancelling, its place under the field, and the document panel opening it.

#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDate>

#include "tst_panel_support.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_panel.h"
#include "ui/properties/calendar.h"
#include "ui/properties/doc_property.h"

namespace {

QStringList Items(const QComboBox *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

} // namespace

class tst_Calendar : public QObject
{
    Q_OBJECT

private slots:
    void dateTextFillsTheLists_data();
    void dateTextFillsTheLists();
    void daysOfTheMonth_data();
    void daysOfTheMonth();
    void choosingAMonthRebuildsTheDays();
    void beforeEraSwitchesTheYears();
    void acceptWritesTheNormalisedDate_data();
    void acceptWritesTheNormalisedDate();
    void cancelAndEscapeLeaveTheField();
    void opensUnderTheField();
    void withoutADateTextShowsToday();
    void documentPanelOpensItOnItsDateFields();
};

void tst_Calendar::dateTextFillsTheLists_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("day");
    QTest::addColumn<bool>("bc");
    QTest::newRow("full date") << "2017-03-05" << "2017" << "3" << "5" << false;
    QTest::newRow("empty") << "" << "0" << "0" << "0" << false;
    QTest::newRow("all zero") << "0000-00-00" << "0" << "0" << "0" << false;
    QTest::newRow("before the era") << "-0500-06-00" << "500" << "6" << "0" << true;
}

void tst_Calendar::dateTextFillsTheLists()
{
    QFETCH(QString, text);
    QFETCH(QString, year);
    QFETCH(QString, month);
    QFETCH(QString, day);
    QFETCH(bool, bc);
    Tfrm_Cal cal;
    cal.SetDate_Text(text);
    QCOMPARE(cal.Year_List()->currentText(), year);
    QCOMPARE(cal.Month_List()->currentText(), month);
    QCOMPARE(cal.Day_List()->currentText(), day);
    QCOMPARE(cal.Before_Era()->isChecked(), bc);
    QCOMPARE(Items(cal.Month_List()).first(), QStringLiteral("0"));
    QCOMPARE(Items(cal.Month_List()).last(), QStringLiteral("12"));
    if (bc) {
        QCOMPARE(cal.Year_List()->count(), 1000);
        QCOMPARE(cal.Year_List()->itemText(0), QStringLiteral("1"));
        QCOMPARE(cal.Year_List()->palette().color(QPalette::Base), QColor(192, 220, 192));
    } else {
        const int now = QDate::currentDate().year();
        QCOMPARE(cal.Year_List()->count(), 101);
        QCOMPARE(cal.Year_List()->itemText(0), QString::number(now - 50));
        QCOMPARE(cal.Year_List()->itemText(100), QString::number(now + 50));
    }
    // showing keeps what was given
    cal.show();
    QCOMPARE(cal.Year_List()->currentText(), year);
    QCOMPARE(cal.size(), QSize(283, 24));
}

void tst_Calendar::daysOfTheMonth_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("days");
    QTest::newRow("leap February") << 2016 << 2 << 29;
    QTest::newRow("February") << 2017 << 2 << 28;
    QTest::newRow("century February") << 1900 << 2 << 28;
    QTest::newRow("400-year February") << 2000 << 2 << 29;
    QTest::newRow("April") << 2017 << 4 << 30;
    QTest::newRow("November") << 2017 << 11 << 30;
    QTest::newRow("December") << 2017 << 12 << 31;
    QTest::newRow("no month") << 0 << 0 << 31;
}

void tst_Calendar::daysOfTheMonth()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, days);
    QCOMPARE(Tfrm_Cal::Days_In_Month(year, month), days);
    Tfrm_Cal cal;
    cal.SetDate_Text(QStringLiteral("%1-%2-01").arg(year, 4, 10, QChar(u'0')).arg(month, 2, 10, QChar(u'0')));
    QCOMPARE(cal.Day_List()->count(), days + 1);
    QCOMPARE(cal.Day_List()->itemText(0), QStringLiteral("0"));
}

void tst_Calendar::choosingAMonthRebuildsTheDays()
{
    Tfrm_Cal cal;
    cal.SetDate_Text(QStringLiteral("2016-01-31"));
    QCOMPARE(cal.Day_List()->count(), 32);
    cal.Month_List()->setCurrentIndex(2); // "2"
    emit cal.Month_List()->activated(2);
    QCOMPARE(cal.Day_List()->count(), 30);
    // the day shown stays as it was
    QCOMPARE(cal.Day_List()->currentText(), QStringLiteral("31"));
    cal.Year_List()->setEditText(QStringLiteral("2017"));
    emit cal.Year_List()->activated(0);
    QCOMPARE(cal.Day_List()->count(), 29);
}

void tst_Calendar::beforeEraSwitchesTheYears()
{
    Tfrm_Cal cal;
    cal.SetDate_Text(QStringLiteral("2017-02-05"));
    cal.Before_Era()->click();
    QCOMPARE(cal.Year_List()->count(), 1000);
    QCOMPARE(cal.Day_List()->count(), 32);
    cal.Before_Era()->click();
    QCOMPARE(cal.Year_List()->count(), 101);
    QCOMPARE(cal.Year_List()->palette().color(QPalette::Base), QColor(Qt::white));
}

void tst_Calendar::acceptWritesTheNormalisedDate_data()
{
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("day");
    QTest::addColumn<bool>("bc");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::newRow("a date") << "2017" << "3" << "5" << false << "2017-03-05" << 20170305;
    QTest::newRow("year only") << "1999" << "0" << "0" << false << "1999-00-00" << 19990000;
    QTest::newRow("typed year outside the list") << "1066" << "10" << "14" << false << "1066-10-14" << 10661014;
    QTest::newRow("before the era") << "44" << "3" << "15" << true << "-0044-03-15" << -440315;
}

void tst_Calendar::acceptWritesTheNormalisedDate()
{
    QFETCH(QString, year);
    QFETCH(QString, month);
    QFETCH(QString, day);
    QFETCH(bool, bc);
    QFETCH(QString, text);
    QFETCH(int, number);
    TVelEdit field;
    Tfrm_Cal cal;
    cal.SetEdit_Control(&field);
    cal.SetDate_Text(QString());
    if (bc)
        cal.Before_Era()->click();
    cal.Year_List()->setEditText(year);
    cal.Month_List()->setEditText(month);
    cal.Day_List()->setEditText(day);
    cal.show();
    emit cal.Accept_Button()->OnClick();
    QCOMPARE(cal.Res_Date_Text, text);
    QCOMPARE(cal.Res_Date_Number, number);
    QCOMPARE(field.Text(), text);
    QVERIFY(!cal.isVisible());
}

void tst_Calendar::cancelAndEscapeLeaveTheField()
{
    TVelEdit field;
    field.SetText(QStringLiteral("2017-03-05"));
    Tfrm_Cal cal;
    cal.SetEdit_Control(&field);
    cal.SetDate_Text(field.Text());
    cal.show();
    cal.Year_List()->setEditText(QStringLiteral("2018"));
    emit cal.Cancel_Button()->OnClick();
    QVERIFY(!cal.isVisible());
    QCOMPARE(cal.Res_Date_Text, QString());
    QCOMPARE(cal.Res_Date_Number, 0);
    QCOMPARE(field.Text(), QStringLiteral("2017-03-05"));

    cal.show();
    QTest::keyClick(&cal, Qt::Key_Escape);
    QVERIFY(!cal.isVisible());
    // losing activation closes it too
    cal.show();
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&cal, &deactivate);
    QVERIFY(!cal.isVisible());
    QCOMPARE(field.Text(), QStringLiteral("2017-03-05"));
}

void tst_Calendar::opensUnderTheField()
{
    QWidget window;
    auto *field = new TVelEdit(&window);
    field->setGeometry(100, 50, 300, 28);
    window.resize(600, 300);
    window.show();
    Tfrm_Cal cal;
    cal.SetEdit_Control(field);
    const QPoint bottomLeft = field->mapToGlobal(QPoint(0, field->height() - 1));
    QCOMPARE(cal.pos(), QPoint(bottomLeft.x() + field->width() - cal.width(), bottomLeft.y()));
    cal.SetEdit_Control(nullptr);
    QCOMPARE(cal.Edit_Control(), nullptr);
}

void tst_Calendar::withoutADateTextShowsToday()
{
    Tfrm_Cal cal;
    cal.show();
    const QDate today = QDate::currentDate();
    QCOMPARE(cal.Year_List()->currentText(), QString::number(today.year()));
    QCOMPARE(cal.Month_List()->currentText(), QString::number(today.month()));
    QCOMPARE(cal.Day_List()->currentText(), QString::number(today.day()));
    QCOMPARE(cal.Day_List()->count(), Tfrm_Cal::Days_In_Month(today.year(), today.month()) + 1);
}

void tst_Calendar::documentPanelOpensItOnItsDateFields()
{
    TDocument doc;
    doc.Mail.Date = 20170305;
    Tfrm_Doc_Property panel;
    panel.SetDocument(&doc);
    panel.show();
    emit panel.findChild<TVelPanel *>(QStringLiteral("VelPanel2"))->OnClick();
    Tfrm_Cal *cal = panel.Calendar();
    QVERIFY(cal);
    QVERIFY(cal->isVisible());
    QCOMPARE(cal->Edit_Control(), panel.Document_Date_Field());
    QCOMPARE(cal->Month_List()->currentText(), QStringLiteral("3"));
    cal->Day_List()->setEditText(QStringLiteral("9"));
    emit cal->Accept_Button()->OnClick();
    QCOMPARE(panel.Document_Date_Field()->Text(), QStringLiteral("2017-03-09"));
    QVERIFY(panel.Modified());
}

QTEST_MAIN(tst_Calendar)
#include "tst_calendar.moc"
