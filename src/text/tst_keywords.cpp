#include <QTest>

#include "text/keywords.h"

namespace {
QStringList Split(const QString &text)
{
    TWordList list;
    Split_Words(text, list);
    return list.Items;
}
} // namespace

class tst_Keywords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void splitWords_data();
    void splitWords();
    void splitWordsSetsIgnoreDuplicates();
    void sortedListOrderAndDuplicates();
    void sortedListKeepsDuplicatesWhenAsked();
    void extractKeywords_data();
    void extractKeywords();
    void extractKeywordsSwitchesToUnsorted();
    void splitSearchWords_data();
    void splitSearchWords();
};

void tst_Keywords::splitWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("comma and semicolon") << "alpha, beta;gamma" << QStringList{"alpha", "beta", "gamma"};
    QTest::newRow("trailing separator adds empty word") << "ab," << QStringList{"ab", ""};
    QTest::newRow("arabic separators") << QString::fromUtf8("كتاب،باب؛دار") << QStringList{QString::fromUtf8("كتاب"), QString::fromUtf8("باب"), QString::fromUtf8("دار")};
    QTest::newRow("separator runs give no empty words") << "ab ,, ;  cd" << QStringList{"ab", "cd"};
    QTest::newRow("one letter joins the next word") << "a bc" << QStringList{"a bc"};
    QTest::newRow("one letter after a comma keeps a space") << "a,bc de" << QStringList{"a bc", "de"};
    QTest::newRow("last single letter kept") << "ab c" << QStringList{"ab", "c"};
    QTest::newRow("CR LF lines") << "ab\r\ncd\r\nef" << QStringList{"ab", "cd", "ef"};
    QTest::newRow("line feed alone does not split") << "ab\ncd" << QStringList{"ab\ncd"};
    QTest::newRow("tab stays inside") << "ab\tcd" << QStringList{"ab\tcd"};
    QTest::newRow("blank text") << "  \r\n " << QStringList{};
    QTest::newRow("duplicates kept unsorted") << "ab ab AB" << QStringList{"ab", "ab", "AB"};
}

void tst_Keywords::splitWords()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(Split(text), expected);
}

void tst_Keywords::splitWordsSetsIgnoreDuplicates()
{
    TWordList list;
    Split_Words(QStringLiteral("   "), list);
    QVERIFY(!list.Ignore_Duplicates);
    Split_Words(QStringLiteral("ab"), list);
    QVERIFY(list.Ignore_Duplicates);
}

void tst_Keywords::sortedListOrderAndDuplicates()
{
    TWordList list;
    list.Sorted = true;
    list.Add(QStringLiteral("Beta"));
    Split_Words(QStringLiteral("gamma beta Alpha delta ALPHA"), list);
    QCOMPARE(list.Items, (QStringList{"Alpha", "Beta", "delta", "gamma"}));
}

void tst_Keywords::sortedListKeepsDuplicatesWhenAsked()
{
    TWordList list;
    list.Sorted = true;
    for (const char *word : {"b", "a", "B", "c", "a"})
        list.Add(QString::fromLatin1(word));
    QCOMPARE(list.Items.size(), 5);
    QCOMPARE(list.Items.first(), QStringLiteral("a"));
    QCOMPARE(list.Items.last(), QStringLiteral("c"));
    QCOMPARE(list.Items.mid(2, 2).join(QString()).toLower(), QStringLiteral("bb"));
}

void tst_Keywords::extractKeywords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("prefixes and final ya") << QString::fromUtf8("والكتاب للطالب العربي")
                                           << QStringList{QString::fromUtf8("كتاب"), QString::fromUtf8("طالب"), QString::fromUtf8("عرب")};
    QTest::newRow("kept article words") << QString::fromUtf8("الله المانيا البانيا البيت")
                                        << QStringList{QString::fromUtf8("الله"), QString::fromUtf8("المانيا"),
                                                       QString::fromUtf8("البانيا"), QString::fromUtf8("بيت")};
    QTest::newRow("bi-al prefix") << QString::fromUtf8("بالقلم") << QStringList{QString::fromUtf8("قلم")};
    QTest::newRow("other alef forms are not prefixes") << QString::fromUtf8("ألكتاب") << QStringList{QString::fromUtf8("ألكتاب")};
    QTest::newRow("one letter joins the next word") << QString::fromUtf8("و الكتاب")
                                                    << QStringList{QString::fromUtf8("و الكتاب")};
    QTest::newRow("short words become empty or short, and stay")
        << QString::fromUtf8("ال في") << QStringList{QString(), QString::fromUtf8("ف")};
    QTest::newRow("single letter last word dropped") << "report x" << QStringList{"report"};
    QTest::newRow("latin untouched, duplicates kept") << "Report report" << QStringList{"Report", "report"};
    QTest::newRow("blank") << " " << QStringList{};
}

void tst_Keywords::extractKeywords()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    TWordList list;
    Extract_Keywords(text, list);
    QCOMPARE(list.Items, expected);
}

void tst_Keywords::extractKeywordsSwitchesToUnsorted()
{
    TWordList list;
    list.Sorted = true;
    Extract_Keywords(QStringLiteral("zeta alpha zeta"), list);
    QVERIFY(!list.Sorted);
    QCOMPARE(list.Items, (QStringList{"zeta", "alpha", "zeta"}));
}

void tst_Keywords::splitSearchWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("last single letter dropped") << "a bc d" << QStringList{"a", "bc"};
    QTest::newRow("single letter alone") << "x" << QStringList{};
    QTest::newRow("commas are ordinary") << "ab,cd ef;gh" << QStringList{"ab,cd", "ef;gh"};
    QTest::newRow("runs of blanks") << "  ab    cd  " << QStringList{"ab", "cd"};
    QTest::newRow("carriage returns") << "ab\r\ncd" << QStringList{"ab", "cd"};
    QTest::newRow("empty") << "" << QStringList{};
}

void tst_Keywords::splitSearchWords()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QStringList words{"kept"};
    Split_Search_Words(text, words);
    QCOMPARE(words, QStringList{"kept"} + expected);
}

QTEST_APPLESS_MAIN(tst_Keywords)
#include "tst_keywords.moc"
