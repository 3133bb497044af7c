#include <QTest>

#include "text/text_cleanup.h"

namespace {
const QString Tatweel = QString(QChar(0x0640));
const QString Alef = QString(QChar(0x0627));
}

class tst_Text_Cleanup : public QObject
{
    Q_OBJECT

private slots:
    void cleanText_data();
    void cleanText();
    void rightToLeftChar_data();
    void rightToLeftChar();
    void startsRightToLeft_data();
    void startsRightToLeft();
    void mostlyRightToLeft_data();
    void mostlyRightToLeft();
};

void tst_Text_Cleanup::cleanText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("runs of spaces") << "  a   b " << "a b";
    QTest::newRow("tatweel removed") << QString::fromUtf8("كـتـــاب") << QString::fromUtf8("كتاب");
    QTest::newRow("tatweel at the end") << QString::fromUtf8("باب ـ") << QString::fromUtf8("باب ");
    QTest::newRow("tatweel between spaces keeps both") << "a " + Tatweel + " b" << "a  b";
    QTest::newRow("tabs are not spaces") << "a\t\tb" << "a\t\tb";
    QTest::newRow("only blanks") << "    " << "";
    QTest::newRow("untouched") << "a b" << "a b";
}

void tst_Text_Cleanup::cleanText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Clean_Text(text), expected);
}

void tst_Text_Cleanup::rightToLeftChar_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("expected");
    QTest::newRow("before hebrew letters") << 0x05CF << false;
    QTest::newRow("hebrew alef") << 0x05D0 << true;
    QTest::newRow("arabic alef") << 0x0627 << true;
    QTest::newRow("last syriac") << 0x070D << true;
    QTest::newRow("after range") << 0x070E << false;
    QTest::newRow("latin") << int('a') << false;
}

void tst_Text_Cleanup::rightToLeftChar()
{
    QFETCH(int, code);
    QFETCH(bool, expected);
    QCOMPARE(Is_Right_To_Left_Char(QChar(code)), expected);
}

void tst_Text_Cleanup::startsRightToLeft_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("arabic letter") << Alef + "bc" << true;
    QTest::newRow("quote then arabic") << "\"" + Alef << true;
    QTest::newRow("passed-over marks then arabic") << "!&'*.?@" + QString(QChar(0x061F)) + Alef << true;
    QTest::newRow("space decides") << " " + Alef << false;
    QTest::newRow("latin") << "a" + Alef << false;
    QTest::newRow("digit decides") << "1" + Alef << false;
    QTest::newRow("only passed-over") << "?!." << false;
    QTest::newRow("empty") << "" << false;
}

void tst_Text_Cleanup::startsRightToLeft()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(Starts_Right_To_Left(text), expected);
}

void tst_Text_Cleanup::mostlyRightToLeft_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("only neutral") << "!#$%()*+-/=@[\\]^{}" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blank") << "   " << false;
    QTest::newRow("equal counts") << Alef + Alef + " ab" << true;
    QTest::newRow("more latin") << Alef + " abc" << false;
    QTest::newRow("digits count as left-to-right") << Alef + " 12" << false;
    // Only the first hundred characters count: latin beyond them does not outweigh the arabic.
    QTest::newRow("first hundred only") << QString(60, QChar(0x0627)) + QString(40, u' ') + QString(100, u'a') << true;
    QTest::newRow("hundredth character counts")
        << QString(49, QChar(0x0627)) + QString(50, u'a') + Alef + QString(10, u'a') << true;
    QTest::newRow("latin wins within the hundred") << QString(30, QChar(0x0627)) + QString(100, u'a') << false;
}

void tst_Text_Cleanup::mostlyRightToLeft()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(Mostly_Right_To_Left(text), expected);
}

QTEST_APPLESS_MAIN(tst_Text_Cleanup)
#include "tst_text_cleanup.moc"
