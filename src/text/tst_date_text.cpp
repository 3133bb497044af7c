#include <QDate>
#include <QLocale>
#include <QTest>

#include "text/date_text.h"

class tst_Date_Text : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }

    void padNumber_data();
    void padNumber();
    void numberToText_data();
    void numberToText();
    void textToNumber_data();
    void textToNumber();
    void roundTrip_data();
    void roundTrip();
    void localText_data();
    void localText();
    void localTextFollowsLocale();
    void splitDateText_data();
    void splitDateText();
    void digitsOnly_data();
    void digitsOnly();
};

void tst_Date_Text::padNumber_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");
    QTest::newRow("padded") << 5 << 2 << "05";
    QTest::newRow("exact") << 12 << 2 << "12";
    QTest::newRow("longer is not cut") << 12345 << 4 << "12345";
    QTest::newRow("zero") << 0 << 4 << "0000";
    QTest::newRow("width zero") << 7 << 0 << "7";
}

void tst_Date_Text::padNumber()
{
    QFETCH(int, value);
    QFETCH(int, width);
    QFETCH(QString, expected);
    QCOMPARE(Pad_Number(value, width), expected);
}

void tst_Date_Text::numberToText_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("full date") << 20170305 << "2017-03-05";
    QTest::newRow("before the era") << -20170305 << "-2017-03-05";
    QTest::newRow("year only") << 20170000 << "2017-00-00";
    QTest::newRow("three digits") << 305 << "0000-00-05";
    QTest::newRow("one digit") << 7 << "0000-00-07";
    QTest::newRow("four digits") << 1231 << "0000-12-31";
    QTest::newRow("five digits") << 11231 << "0001-12-31";
    QTest::newRow("no date") << 0 << "0000-00-00";
    QTest::newRow("long year") << 123450101 << "12345-01-01";
    QTest::newRow("smallest integer") << int(-2147483647 - 1) << "-214748-36-48";
}

void tst_Date_Text::numberToText()
{
    QFETCH(int, number);
    QFETCH(QString, expected);
    QCOMPARE(Date_Number_To_Text(number), expected);
}

void tst_Date_Text::textToNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("date text") << "2017-03-05" << 20170305;
    QTest::newRow("short parts") << "2017-3-5" << 20170305;
    QTest::newRow("slashes") << "2017/03/05" << 20170305;
    QTest::newRow("dots") << "2017.03.05" << 20170305;
    QTest::newRow("year only") << "2017" << 20170000;
    QTest::newRow("month and day too large") << "2017-13-40" << 20170300;
    QTest::newRow("empty month") << "2017--05" << 20170005;
    QTest::newRow("negative") << "-2017-03-05" << -20170305;
    QTest::newRow("blanks around") << "  2017-03-05 \t" << 20170305;
    QTest::newRow("long month run") << "2017-0312-05" << 20170305;
    QTest::newRow("day too large, one digit kept") << "2017-01-35" << 20170105;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blank") << "   " << 0;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("only a minus") << "-" << 0;
    QTest::newRow("arabic-indic digits are not digits") << QString::fromUtf8("٢٠١٧-03-05") << 0;
    QTest::newRow("year too large") << "99999999-01-01" << 0;
    QTest::newRow("huge month run") << "2017-99999999999999999999999-05" << 20170905;
}

void tst_Date_Text::textToNumber()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(Text_To_Date_Number(text), expected);
}

void tst_Date_Text::roundTrip_data()
{
    QTest::addColumn<int>("number");
    for (int n : {20170305, -20170305, 20170000, 20170005, 19991231, 10101, -10101, 99991231, 7, 1231, 2147480000})
        QTest::newRow(qPrintable(QString::number(n))) << n;
}

void tst_Date_Text::roundTrip()
{
    QFETCH(int, number);
    QCOMPARE(Text_To_Date_Number(Date_Number_To_Text(number)), number);
}

void tst_Date_Text::localText_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("valid") << 20170305 << "05/03/2017";
    QTest::newRow("no date") << 0 << "";
    QTest::newRow("partial month") << 20170000 << "";
    QTest::newRow("partial day") << 20170300 << "";
    QTest::newRow("too few digits") << 99 << "";
    QTest::newRow("four digits") << 1231 << "";
    QTest::newRow("not a calendar day") << 20170230 << "";
    QTest::newRow("month 13") << 20171301 << "";
    QTest::newRow("leap day") << 20160229 << "29/02/2016";
    QTest::newRow("before the era") << -20170305 << "";
    QTest::newRow("year beyond 9999") << 123450101 << "";
}

void tst_Date_Text::localText()
{
    QFETCH(int, number);
    QFETCH(QString, expected);
    QCOMPARE(Date_Number_To_Local_Text(number), expected);
}

void tst_Date_Text::localTextFollowsLocale()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString us = Date_Number_To_Local_Text(20170305);
    QLocale::setDefault(saved);
    QCOMPARE(us, QLocale(QLocale::English, QLocale::UnitedStates).toString(QDate(2017, 3, 5), QLocale::ShortFormat));
    QVERIFY(us != Date_Number_To_Local_Text(20170305));
}

void tst_Date_Text::splitDateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<bool>("beforeEra");
    QTest::newRow("date text") << "2017-03-05" << 2017 << 3 << 5 << false;
    QTest::newRow("before the era") << " -0044-03-15 " << 44 << 3 << 15 << true;
    QTest::newRow("digits across other characters") << "2017-05-1x2" << 2017 << 5 << 12 << false;
    QTest::newRow("long year cut to four") << "123456-01-01" << 1234 << 1 << 1 << false;
    QTest::newRow("month too large") << "2017-13-01" << 2017 << 3 << 1 << false;
    QTest::newRow("day cut before limit") << "2017-01-123" << 2017 << 1 << 12 << false;
    QTest::newRow("day too large") << "2017-01-45" << 2017 << 1 << 5 << false;
    QTest::newRow("year only") << "2017" << 2017 << 0 << 0 << false;
    QTest::newRow("empty") << "" << 0 << 0 << 0 << false;
    QTest::newRow("only a minus") << "-" << 0 << 0 << 0 << true;
}

void tst_Date_Text::splitDateText()
{
    QFETCH(QString, text);
    const TDate_Parts parts = Split_Date_Text(text);
    QTEST(parts.Year, "year");
    QTEST(parts.Month, "month");
    QTEST(parts.Day, "day");
    QTEST(parts.Before_Era, "beforeEra");
}

void tst_Date_Text::digitsOnly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("signs and separators") << "-12/3" << "123";
    QTest::newRow("other scripts dropped") << QString::fromUtf8("1٢3") << "13";
    QTest::newRow("none") << "abc" << "";
}

void tst_Date_Text::digitsOnly()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Digits_Only(text), expected);
}

QTEST_APPLESS_MAIN(tst_Date_Text)
#include "tst_date_text.moc"
