#include "archive/tarchitem.h"
#include "text/date_text.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

#include <functional>

namespace {

template<class T>
T *Add(TOwnList<T> &list, TArchItem *parent, const QString &name = QString())
{
    auto item = std::make_unique<T>();
    item->Parent = parent;
    if (!name.isEmpty())
        item->Name = name;
    list.push_back(std::move(item));
    return list.back().get();
}

template<class T>
QStringList Names(const QList<T *> &items)
{
    QStringList names;
    for (const T *item : items)
        names << item->Name;
    return names;
}

using TSetter = std::function<void(TDocument &, const QString &)>;

QList<TSetter> &Setters()
{
    static QList<TSetter> setters;
    return setters;
}

// The search text of a document, built the plain way, to check the fast search against.
QString Plain_Search_Text(const TDocument &d)
{
    QStringList parts{d.Id, d.Name, d.Reference, d.Physical_Location, d.Description, d.Keywords,
                      Date_Number_To_Local_Text(d.Mail.Date), d.Mail.Mail_From, d.Mail.Mail_To,
                      Date_Number_To_Local_Text(d.Mail.Delivery_date)};
    QString text = parts.join(QLatin1Char(' ')) + QLatin1Char(' ');
    for (const TDoc_Digital_File &f : d.Digital_Files)
        text += f.FileName;
    return text;
}

// A small archive of named documents for the rule tests.
struct TDocs_Fixture
{
    TArchive Archive;

    TDocs_Fixture()
    {
        TUnit *u = Archive.AUnit.get();
        Add(u->Documents, u, "alpha report");
        Add(u->Documents, u, "second")->Description = QStringLiteral("beta summary");
        TDocument *d3 = Add(u->Documents, u, "third");
        d3->Keywords = QStringLiteral("alpha\r\nbeta");
        Add(u->Documents, u, "gamma");
        Add(u->Documents, u, "C++ guide");
        TDocument *d6 = Add(u->Documents, u, "scans");
        d6->Digital_Files.append({QStringLiteral("f\\ab"), 0});
        d6->Digital_Files.append({QStringLiteral("cd"), 1});
        Archive.Fill_Lists();
    }
};

} // namespace

class tst_Archive_Search : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void fillListsOrder();
    void parseSearchText_data();
    void parseSearchText();
    void searchedFields_data();
    void searchedFields();
    void matchRules_data();
    void matchRules();
    void subjectNameHits();
    void localDates();
    void emptyTextFindsNothing();
    void otherSearches();
    void editsAfterFillLists();
    void agreesWithPlainSearch();
};

void tst_Archive_Search::cleanup()
{
    QLocale::setDefault(QLocale::c());
}

void tst_Archive_Search::fillListsOrder()
{
    TArchive a;
    TDocument *d1 = Add(a.Documents, &a, "D1");
    Add(d1->Docs, d1, "D1a");
    TDocArchive *f1 = Add(a.Archives, &a, "F1");
    Add(f1->Docs, f1, "D2");
    TSubject *s1 = Add(f1->Subs, f1, "S1");
    Add(s1->Docs, s1, "D3");
    Add(s1->Subs, s1, "S1a");
    Add(f1->Archives, f1, "F1a");

    TUnit *u0 = a.AUnit.get();
    u0->Name = QStringLiteral("U0");
    u0->Archive->Name = QStringLiteral("U0 own");
    Add(u0->Documents, u0, "D4");
    Add(u0->Archives, u0, "F2");
    auto group = std::make_unique<TGroup>();
    group->Parent = u0;
    u0->Archives.push_back(std::move(group));
    TUnit *u1 = Add(u0->Units, u0, "U1");
    u1->Archive->Name = QStringLiteral("U1 own");
    Add(u1->Persons->Persons, u1, "P2");
    TPerson *p1 = Add(u0->Persons->Persons, u0, "P1");
    Add(p1->Subjects, p1, "S2");
    Add(p1->Documents, p1, "D5");
    Add(p1->Archives, p1, "F3");
    Add(u0->Archive->Docs, u0->Archive.get(), "D6");

    a.Fill_Lists();
    a.Fill_Lists(); // the lists are rebuilt, not appended to
    QCOMPARE(Names(a.Unit_List), (QStringList{"U0", "U1"}));
    QCOMPARE(Names(a.Person_List), (QStringList{"P2", "P1"}));
    QCOMPARE(Names(a.Document_List), (QStringList{"D1", "D1a", "D2", "D3", "D4", "D5", "D6"}));
    QCOMPARE(Names(a.Subject_List), (QStringList{"S1", "S1a", "S2"}));
    QCOMPARE(Names(a.Archive_List), (QStringList{"F1", "F1a", "F2", "Group", "U1 own", "F3", "U0 own"}));
}

void tst_Archive_Search::parseSearchText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("any");
    QTest::addColumn<QStringList>("all");

    QTest::newRow("either word") << "alpha beta" << QStringList{"alpha", "beta"} << QStringList{};
    QTest::newRow("plus") << "alpha+beta" << QStringList{} << QStringList{"alpha", "beta"};
    QTest::newRow("chain of plus") << "alpha + beta + gamma" << QStringList{} << QStringList{"alpha", "beta", "gamma"};
    QTest::newRow("plus and a free word") << "x + y zz" << QStringList{"zz"} << QStringList{"x", "y"};
    QTest::newRow("quoted phrase") << "\"red  car\" blue" << QStringList{"red  car", "blue"} << QStringList{};
    QTest::newRow("quoted phrase with plus") << "\"red car\"+blue" << QStringList{} << QStringList{"red car", "blue"};
    QTest::newRow("unclosed quote") << "\"unclosed phrase" << QStringList{"unclosed phrase"} << QStringList{};
    QTest::newRow("one-letter last word") << "alpha b" << QStringList{"alpha"} << QStringList{};
    QTest::newRow("one-letter first word") << "a bc" << QStringList{"a", "bc"} << QStringList{};
    QTest::newRow("one letter only") << "x" << QStringList{} << QStringList{};
    QTest::newRow("empty") << "" << QStringList{} << QStringList{};
    QTest::newRow("trailing plus") << "one+" << QStringList{"one"} << QStringList{};
    QTest::newRow("leading plus") << "+two" << QStringList{} << QStringList{"two"};
    QTest::newRow("typed ampersand") << "a&b cd" << QStringList{"a b", "cd"} << QStringList{};
    QTest::newRow("carriage return") << "one\rtwo" << QStringList{"one", "two"} << QStringList{};
}

void tst_Archive_Search::parseSearchText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, any);
    QFETCH(QStringList, all);
    QStringList anyWords, allWords;
    Parse_Search_Text(text, anyWords, allWords);
    QCOMPARE(anyWords, any);
    QCOMPARE(allWords, all);
}

void tst_Archive_Search::searchedFields_data()
{
    QTest::addColumn<int>("setter");
    QTest::addColumn<bool>("found");

    Setters() = {
        [](TDocument &d, const QString &t) { d.Id = t; },
        [](TDocument &d, const QString &t) { d.Name = t; },
        [](TDocument &d, const QString &t) { d.Reference = t; },
        [](TDocument &d, const QString &t) { d.Physical_Location = t; },
        [](TDocument &d, const QString &t) { d.Description = QStringLiteral("first line\r\n") + t; },
        [](TDocument &d, const QString &t) { d.Keywords = t; },
        [](TDocument &d, const QString &t) { d.Mail.Mail_From = t; },
        [](TDocument &d, const QString &t) { d.Mail.Mail_To = t; },
        [](TDocument &d, const QString &t) { d.Digital_Files.append({QStringLiteral("2020\\") + t, 0}); },
        [](TDocument &d, const QString &t) { d.A_Type = t; },
        [](TDocument &d, const QString &t) { d.Location = t; },
    };
    QTest::newRow("Id") << 0 << true;
    QTest::newRow("Name") << 1 << true;
    QTest::newRow("Reference") << 2 << true;
    QTest::newRow("Physical_Location") << 3 << true;
    QTest::newRow("Description") << 4 << true;
    QTest::newRow("Keywords") << 5 << true;
    QTest::newRow("Mail_From") << 6 << true;
    QTest::newRow("Mail_To") << 7 << true;
    QTest::newRow("file name") << 8 << true;
    QTest::newRow("A_Type not searched") << 9 << false;
    QTest::newRow("Location not searched") << 10 << false;
}

void tst_Archive_Search::searchedFields()
{
    QFETCH(int, setter);
    QFETCH(bool, found);
    TArchive a;
    Add(a.Documents, &a, "other");
    TDocument *d = Add(a.Documents, &a);
    Setters().at(setter)(*d, QStringLiteral("needle-xyz"));
    a.Fill_Lists();
    const QList<TDocument *> expected = found ? QList<TDocument *>{d} : QList<TDocument *>{};
    QCOMPARE(a.Find_in_Documents(QStringLiteral("needle-xyz")), expected);
    QCOMPARE(a.Find_in_Documents(QStringLiteral("\"needle-xyz\" + needle")), expected);
}

void tst_Archive_Search::matchRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found");

    QTest::newRow("either word") << "alpha beta" << QStringList{"alpha report", "second", "third"};
    QTest::newRow("both words") << "alpha+beta" << QStringList{"third"};
    QTest::newRow("both words, spaced") << "alpha + beta" << QStringList{"third"};
    QTest::newRow("phrase") << "\"alpha report\"" << QStringList{"alpha report"};
    QTest::newRow("phrase across lines") << "\"alpha beta\"" << QStringList{};
    QTest::newRow("words of a phrase") << "alpha report" << QStringList{"alpha report", "third"};
    QTest::newRow("capitals") << "ALPHA" << QStringList{};
    QTest::newRow("one-letter last word") << "gamma y" << QStringList{"gamma"};
    QTest::newRow("text as typed") << "C++" << QStringList{"C++ guide"};
    QTest::newRow("file names joined") << "abcd" << QStringList{"scans"};
    QTest::newRow("fields apart") << "report second" << QStringList{"alpha report", "second"};
    QTest::newRow("no match") << "delta" << QStringList{};
}

void tst_Archive_Search::matchRules()
{
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    TDocs_Fixture f;
    // read directly, then through the texts built by the second search, then through them again
    for (int pass = 0; pass < 3; ++pass)
        QCOMPARE(Names(f.Archive.Find_in_Documents(text)), found);
}

void tst_Archive_Search::subjectNameHits()
{
    TArchive a;
    TUnit *u = a.AUnit.get();
    Add(u->Documents, u, "x")->Description = QStringLiteral("about Contracts");
    TPerson *p = Add(u->Persons->Persons, u, "p");
    TSubject *s = Add(p->Subjects, p, "Contracts 2017");
    TDocument *s1 = Add(s->Docs, s, "s1");
    TDocument *s1a = Add(s1->Docs, s1, "s1a");
    Add(s1a->Docs, s1a, "s1aa"); // not a direct sub-document
    Add(s->Docs, s, "s2 Contracts");
    TSubject *sub = Add(s->Subs, s, "inner");
    Add(sub->Docs, sub, "in sub-subject");
    Add(u->Archive->Subs, u->Archive.get(), "Contracts old")->Docs.push_back(nullptr);
    a.Fill_Lists();

    QCOMPARE(Names(a.Find_in_Documents(QStringLiteral("Contracts"))), (QStringList{"x", "s2 Contracts", "s1", "s1a"}));
    QCOMPARE(Names(a.Find_in_Documents(QStringLiteral("Contracts 2017"))), (QStringList{"x", "s2 Contracts", "s1", "s1a"}));
    QCOMPARE(Names(a.Find_in_Documents(QStringLiteral("contracts"))), QStringList{});
}

void tst_Archive_Search::localDates()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    TArchive a;
    TDocument *d = Add(a.Documents, &a, "dated");
    d->Mail.Date = 20170305;
    TDocument *delivered = Add(a.Documents, &a, "delivered");
    delivered->Mail.Delivery_date = 20170305;
    Add(a.Documents, &a, "partial")->Mail.Date = 20170300;
    a.Fill_Lists();

    const QString local = QLocale().toString(QDate(2017, 3, 5), QLocale::ShortFormat);
    QCOMPARE(local, QStringLiteral("05/03/2017"));
    QCOMPARE(Names(a.Find_in_Documents(local)), (QStringList{"dated", "delivered"}));
    QVERIFY(a.Find_in_Documents(QStringLiteral("2017-03-05")).isEmpty());
    QVERIFY(a.Find_in_Documents(QStringLiteral("/00/2017")).isEmpty());

    // a change of the user's format is seen by the next search
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    QCOMPARE(QLocale().toString(QDate(2017, 3, 5), QLocale::ShortFormat), QStringLiteral("2017-03-05"));
    QCOMPARE(Names(a.Find_in_Documents(QStringLiteral("2017-03-05"))), (QStringList{"dated", "delivered"}));
    QVERIFY(a.Find_in_Documents(local).isEmpty());
}

void tst_Archive_Search::emptyTextFindsNothing()
{
    TDocs_Fixture f;
    TArchive &a = f.Archive;
    Add(a.AUnit->Persons->Persons, a.AUnit.get(), "p");
    Add(a.Archives, &a, "f");
    a.Fill_Lists();
    for (const QString &text : {QString(), QString(QLatin1String(""))}) {
        QVERIFY(a.Find_in_Documents(text).isEmpty());
        QVERIFY(a.Find_in_Documents_Title(text).isEmpty());
        QVERIFY(a.Find_in_Units(text).isEmpty());
        QVERIFY(a.Find_in_Persons(text).isEmpty());
        QVERIFY(a.Find_in_Subjects(text).isEmpty());
        QVERIFY(a.Find_in_Archives(text).isEmpty());
        QVERIFY(!a.FindFirst_Person(text));
    }
    QVERIFY(a.Find_in_Documents(QStringLiteral("\"\"")).isEmpty());
}

void tst_Archive_Search::otherSearches()
{
    TArchive a;
    TUnit *top = a.AUnit.get();
    top->Name = QStringLiteral("Head office");
    TUnit *u = Add(top->Units, top, "Sales");
    u->No = QStringLiteral("U-17");
    u->AType = QStringLiteral("Section");
    TPerson *ann = Add(u->Persons->Persons, u, "Ann Smith");
    Add(u->Persons->Persons, u, "Bob")->No = QStringLiteral("Smith-2");
    TPerson *ann2 = Add(top->Persons->Persons, top, "Ann Jones");
    TSubject *s = Add(ann->Subjects, ann, "Budget");
    Add(s->Subs, s, "Budget 2018");
    Add(a.Archives, &a, "Old Documents");
    Add(a.Archives, &a, "Docs");
    Add(s->Docs, s, "Budget plan")->Description = QStringLiteral("title only");
    a.Fill_Lists();

    QCOMPARE(Names(a.Find_in_Units("U-1")), QStringList{"Sales"});
    QCOMPARE(Names(a.Find_in_Units("Sect")), QStringList{"Sales"});
    QCOMPARE(Names(a.Find_in_Units("office")), QStringList{"Head office"});
    QCOMPARE(Names(a.Find_in_Persons("Smith")), (QStringList{"Ann Smith", "Bob"}));
    QCOMPARE(Names(a.Find_in_Subjects("Budget")), (QStringList{"Budget", "Budget 2018"}));
    QCOMPARE(Names(a.Find_in_Archives("Documents")), (QStringList{"Old Documents", "Documents", "Documents"}));
    const QList<TDocArchive *> folders = a.Find_in_Archives("Documents");
    QCOMPARE(folders[1], u->Archive.get());
    QCOMPARE(folders[2], top->Archive.get());
    QCOMPARE(Names(a.Find_in_Documents_Title("plan")), QStringList{"Budget plan"});
    QVERIFY(a.Find_in_Documents_Title("title").isEmpty());
    QCOMPARE(a.FindFirst_Person("Ann"), ann);
    QCOMPARE(a.FindFirst_Person("Jones"), ann2);
    QVERIFY(!a.FindFirst_Person("Smith-2")); // numbers are not names
    QVERIFY(!a.FindFirst_Person("ann"));
}

// The lists stay as Fill_Lists left them, but a document edited since is searched as it is now.
void tst_Archive_Search::editsAfterFillLists()
{
    TDocs_Fixture f;
    TArchive &a = f.Archive;
    TDocument *second = a.Document_List[1];
    second->Description = QStringLiteral("changed text");
    QVERIFY(a.Find_in_Documents("summary").isEmpty());
    QCOMPARE(a.Find_in_Documents("changed"), QList<TDocument *>{second});

    second->Description += QStringLiteral(" more");
    QCOMPARE(a.Find_in_Documents("more"), QList<TDocument *>{second});
    second->Digital_Files.append({QStringLiteral("x\\attached.pdf"), 0});
    QCOMPARE(a.Find_in_Documents("attached"), QList<TDocument *>{second});
    second->Digital_Files[0].FileName = QStringLiteral("x\\renamed.pdf");
    QVERIFY(a.Find_in_Documents("attached").isEmpty());
    QCOMPARE(a.Find_in_Documents("renamed"), QList<TDocument *>{second});
    second->Mail.Mail_To = QStringLiteral("recipient");
    QCOMPARE(a.Find_in_Documents("recipient"), QList<TDocument *>{second});

    // many edits in a row keep every other document findable
    for (int i = 0; i < 50; ++i)
        second->Name = QStringLiteral("edit %1").arg(i);
    QCOMPARE(Names(a.Find_in_Documents("edit 49")), QStringList{"edit 49"});
    QCOMPARE(Names(a.Find_in_Documents("gamma")), QStringList{"gamma"});

    // a document added to the tree is not in the lists until they are filled again
    Add(a.Documents, &a, "newcomer");
    QVERIFY(a.Find_in_Documents("newcomer").isEmpty());
    a.Fill_Lists();
    QCOMPARE(Names(a.Find_in_Documents("newcomer")), QStringList{"newcomer"});

    // the list may be changed by hand: the search follows it
    QCOMPARE(a.Document_List[1]->Name, QStringLiteral("alpha report"));
    a.Document_List.removeAt(1);
    QCOMPARE(Names(a.Find_in_Documents("alpha")), QStringList{"third"});
}

// Many documents of random text, searched for pieces of every length at every position,
// compared with a plain search of each document's text.
void tst_Archive_Search::agreesWithPlainSearch()
{
    QRandomGenerator random(7);
    // Arabic letters, the two halves of a surrogate pair (alone or paired), U+FFFD and NUL
    // among the Latin letters
    QString alphabet = QStringLiteral("abcde \x0627\x0644\x0645\xD83D\xDE00\xFFFD");
    alphabet += QChar(u'\0');
    const auto randomText = [&](int maxLength) {
        QString t;
        const int n = int(random.bounded(maxLength + 1));
        for (int i = 0; i < n; ++i)
            t += alphabet[int(random.bounded(int(alphabet.size())))];
        return t;
    };
    TArchive a;
    for (int i = 0; i < 300; ++i) {
        TDocument *d = Add(a.Documents, &a);
        d->Name = randomText(12);
        d->Description = randomText(30);
        if (random.bounded(3) == 0)
            d->Digital_Files.append({randomText(6), 0});
    }
    a.Fill_Lists();

    for (int q = 0; q < 400; ++q) {
        const TDocument *source = a.Document_List[int(random.bounded(int(a.Document_List.size())))];
        const QString text = Plain_Search_Text(*source);
        const int length = 1 + int(random.bounded(9));
        const int start = int(random.bounded(int(text.size())));
        QString word = text.mid(start, length).remove(QLatin1Char(' '));
        if (word.isEmpty())
            continue;
        QList<TDocument *> expected;
        for (TDocument *d : a.Document_List)
            if (Plain_Search_Text(*d).contains(word))
                expected.append(d);
        // the first search after Fill_Lists reads the documents, the next builds the texts,
        // the one after uses them
        a.Fill_Lists();
        for (int pass = 0; pass < 3; ++pass)
            QCOMPARE(a.Find_in_Documents(word), expected);
    }
}

QTEST_GUILESS_MAIN(tst_Archive_Search)
#include "tst_archive_search.moc"
