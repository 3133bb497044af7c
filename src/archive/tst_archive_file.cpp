#include "archive/archive_file.h"
#include "archive/containers.h"
#include "markup/terror.h"
#include "markup/tsml.h"

#include <QDir>
#include <QHash>
#include <QRandomGenerator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QString Gid(int n)
{
    return QStringLiteral("{00000000-0000-0000-0000-%1}").arg(n, 12, 10, QLatin1Char('0'));
}

template<class T>
T &Add(TOwnList<T> &list, TArchItem *parent, const QString &name, const QString &id = {})
{
    list.push_back(std::make_unique<T>());
    T &item = *list.back();
    item.Parent = parent;
    item.Name = name;
    item.Id = id;
    return item;
}

void Add_File(TDocument &doc, const QString &name)
{
    TDoc_Digital_File f;
    f.FileName = name;
    f.Order = int(doc.Digital_Files.size());
    doc.Digital_Files.append(f);
}

// The archive whose plain text is testdata/archive_full.arc. With ids false every item is
// left without an Id.
std::unique_ptr<TArchive> Full_Archive(bool ids = true)
{
    auto id = [ids](int n) { return ids ? Gid(n) : QString(); };
    auto a = std::make_unique<TArchive>();
    a->Name = QStringLiteral("Office Archive");

    Add(a->Documents, a.get(), QStringLiteral("Circular"), id(1)).Keywords = QStringLiteral("policy");
    TDocArchive &folder = Add(a->Archives, a.get(), QStringLiteral("Archive Folder"), id(90));
    Add(folder.Docs, &folder, QStringLiteral("Folder Doc"), id(2));
    TSubject &fsub = Add(folder.Subs, &folder, QStringLiteral("Folder Subject"), id(3));
    Add(fsub.Subs, &fsub, QStringLiteral("Sub Subject"), id(4));
    Add(fsub.Docs, &fsub, QStringLiteral("Subject Doc"), id(5));
    Add(folder.Archives, &folder, QStringLiteral("Inner Folder"), id(91));

    TUnit &unit = *a->AUnit;
    unit.Name = QStringLiteral("My Archive");
    unit.Id = id(10);
    unit.AType = QStringLiteral("Ministry");
    unit.No = QStringLiteral("not written");
    TDocument &doc = Add(unit.Documents, &unit, QStringLiteral("Unit Doc"), id(11));
    doc.A_Type = QStringLiteral("Letter");
    doc.Reference = QStringLiteral("12/A");
    doc.Physical_Location = QStringLiteral("Cabinet 3");
    doc.Description = QStringLiteral("First line\r\nSecond line");
    doc.Keywords = QStringLiteral("budget; 2017");
    doc.Mail.Internal = 2;
    doc.Mail.Date = 20170305;
    doc.Mail.Mail_From = QStringLiteral("Finance");
    doc.Mail.Mail_To = QStringLiteral("Planning");
    doc.Mail.Delivery_date = 20170000;
    doc.Location = QStringLiteral("Shelf 2");
    Add_File(doc, QStringLiteral("2017-03-13\\scan1.jpg"));
    Add_File(doc, QString()); // an empty entry is not written
    Add_File(doc, QStringLiteral("2017-03-13\\scan2.jpg"));
    Add(doc.Docs, &doc, QStringLiteral("Attachment"), id(12));
    TDocArchive &ufolder = Add(unit.Archives, &unit, QStringLiteral("Unit Folder"), id(92));
    Add(ufolder.Docs, &ufolder, QStringLiteral("Unit Folder Doc"), id(13));
    Add(unit.Archive->Docs, unit.Archive.get(), QStringLiteral("Own Doc"), id(14));
    Add(unit.Archive->Subs, unit.Archive.get(), QStringLiteral("Own Subject"), id(15));

    TPerson &person = Add(unit.Persons->Persons, &unit, QString::fromUtf8("أحمد"), id(20));
    person.No = QStringLiteral("7");
    person.Unit_Id = id(10);
    Add(person.Documents, &person, QStringLiteral("Person Doc"), id(21));
    Add(person.Subjects, &person, QStringLiteral("Person Subject"), id(22));
    Add(person.Archives, &person, QStringLiteral("Person Folder"), id(93));
    Add(unit.Units, &unit, QStringLiteral("Section"), id(30));

    TItem letters;
    letters.Name = QStringLiteral("Letters");
    letters.Group = QStringLiteral("Mail");
    letters.Fields.append(TField{QStringLiteral("Sender"), QStringLiteral("Text"),
                                 {QStringLiteral("Ahmad"), QStringLiteral("Sara")}});
    letters.Fields.append(TField{QStringLiteral("Count"), QStringLiteral("Integer"), {}});
    TItem empty;
    empty.Name = QStringLiteral("Empty");
    a->Meta.Items = {letters, empty};
    return a;
}

// A line per item with every field the file keeps. With asWritten, the description is the one
// the file should give back: folders without Id, and a unit's own folder turned into its last
// folder when it holds anything.
class Describer
{
public:
    explicit Describer(bool asWritten) : FAsWritten(asWritten) {}

    QStringList Archive(const TArchive &a)
    {
        Line(0, QStringLiteral("archive"), a.Name);
        for (const auto &d : a.Documents)
            Document(*d, 1);
        for (const auto &f : a.Archives)
            Folder(*f, 1);
        Unit(*a.AUnit, 1);
        for (const TItem &item : a.Meta.Items) {
            Line(1, QStringLiteral("item"), item.Name + QLatin1Char('|') + item.Group);
            for (const TField &f : item.Fields)
                Line(2, QStringLiteral("field"), f.Name + QLatin1Char('|') + f.Data_Type + QLatin1Char('|') +
                                                     f.Values.join(QLatin1Char(',')));
        }
        return FLines;
    }

private:
    bool FAsWritten;
    QStringList FLines;

    void Line(int depth, const QString &kind, const QString &text, const QString &id = {})
    {
        FLines.append(QString(depth * 2, QLatin1Char(' ')) + kind + QLatin1Char(' ') + text + QLatin1Char(' ') + id);
    }

    void Unit(const TUnit &u, int depth)
    {
        Line(depth, QStringLiteral("unit"), u.Name + QLatin1Char('|') + u.AType, u.Id);
        for (const auto &d : u.Documents)
            Document(*d, depth + 1);
        for (const auto &f : u.Archives)
            Folder(*f, depth + 1);
        if (FAsWritten && u.Archive->HasItems())
            Folder(*u.Archive, depth + 1);
        Line(depth + 1, QStringLiteral("own"), u.Archive->Name);
        if (!FAsWritten)
            Folder_Contents(*u.Archive, depth + 1);
        for (const auto &p : u.Persons->Persons) {
            QVERIFY(p->Parent == &u);
            Line(depth + 1, QStringLiteral("person"), p->Name + QLatin1Char('|') + p->No + QLatin1Char('|') + p->Unit_Id, p->Id);
            for (const auto &d : p->Documents)
                Document(*d, depth + 2);
            for (const auto &s : p->Subjects)
                Subject(*s, depth + 2);
            for (const auto &f : p->Archives)
                Folder(*f, depth + 2);
        }
        for (const auto &s : u.Units) {
            QVERIFY(s->Parent == &u);
            Unit(*s, depth + 1);
        }
    }

    void Folder(const TDocArchive &f, int depth)
    {
        Line(depth, QStringLiteral("folder"), f.Name, FAsWritten ? QString() : f.Id);
        Folder_Contents(f, depth);
    }

    void Folder_Contents(const TDocArchive &f, int depth)
    {
        for (const auto &d : f.Docs)
            Document(*d, depth + 1);
        for (const auto &s : f.Subs)
            Subject(*s, depth + 1);
        for (const auto &sub : f.Archives)
            Folder(*sub, depth + 1);
    }

    void Subject(const TSubject &s, int depth)
    {
        Line(depth, QStringLiteral("subject"), s.Name, s.Id);
        for (const auto &sub : s.Subs)
            Subject(*sub, depth + 1);
        for (const auto &d : s.Docs)
            Document(*d, depth + 1);
    }

    void Document(const TDocument &d, int depth)
    {
        QStringList files;
        for (const TDoc_Digital_File &f : d.Digital_Files)
            if (!FAsWritten || !f.FileName.isEmpty())
                files.append(f.FileName);
        Line(depth, QStringLiteral("document"),
             QStringList{d.Name, d.A_Type, d.Reference, d.Physical_Location, d.Description, d.Keywords, d.Location,
                         QString::number(d.Mail.Internal), QString::number(d.Mail.Date), d.Mail.Mail_From,
                         d.Mail.Mail_To, QString::number(d.Mail.Delivery_date), files.join(QLatin1Char(','))}
                 .join(QLatin1Char('|')),
             d.Id);
        for (const auto &sub : d.Docs) {
            QVERIFY(sub->Parent == &d);
            Document(*sub, depth + 1);
        }
    }
};

QByteArray Read_All(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void Write_All(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString Fixture(const char *name)
{
    return QStringLiteral(TARSEL_TEST_DATA "/") + QLatin1String(name);
}

// A chain of documents each holding the next through a "Documents" node, under the top unit.
QByteArray Deep_Text(int depth)
{
    QByteArray text = "sml = version = 0.1; encoding = utf-8\r\n  Archive = Deep\r\n    Unit = Top\r\n";
    int indent = 6;
    for (int i = 0; i < depth; ++i) {
        text += QByteArray(indent, ' ') + "Document = D" + QByteArray::number(i) + "\r\n";
        text += QByteArray(indent + 2, ' ') + "Documents\r\n";
        indent += 4;
    }
    return text;
}

} // namespace

class tst_Archive_File : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void exactText();
    void workedExample();
    void readingRules();
    void readWhileParsingMatchesTree_data();
    void readWhileParsingMatchesTree();
    void readWhileParsingMatchesTreeRandom_data();
    void readWhileParsingMatchesTreeRandom();
    void noArchive_data();
    void noArchive();
    void mail_data();
    void mail();
    void idsGivenOnceAndKept();
    void movedPersonUnitId();
    void ownFolderKeepsNestedFolders();
    void saveSetsState();
    void failedSaveKeepsState_data();
    void failedSaveKeepsState();
    void failedSaveKeepsOldFile();
    void readOnlyFolder();
    void damagedFiles_data();
    void damagedFiles();
    void deepTree_data();
    void deepTree();
    void compressedPath_data();
    void compressedPath();
};

void tst_Archive_File::roundTrip_data()
{
    QTest::addColumn<bool>("compressed");
    QTest::addColumn<bool>("encripted");
    QTest::newRow("plain") << false << false;
    QTest::newRow("compressed") << true << false;
    QTest::newRow("encrypted") << false << true;
    QTest::newRow("both flags: encrypted") << true << true;
}

void tst_Archive_File::roundTrip()
{
    QFETCH(bool, compressed);
    QFETCH(bool, encripted);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.arc"));
    auto original = Full_Archive();
    QVERIFY(Save_Archive_File(*original, path, compressed, encripted));

    const auto loaded = Load_Archive_File(path, compressed, encripted);
    QCOMPARE(Describer(false).Archive(*loaded), Describer(true).Archive(*original));
    QCOMPARE(loaded->FilePath, path);
    QCOMPARE(loaded->Compressed, compressed);
    QCOMPARE(loaded->Encripted, encripted);
    QVERIFY(!loaded->NeedSave());
    QVERIFY(!loaded->IsNew);
    QVERIFY(loaded->AUnit->Parent == loaded.get());
    // the own folder came back as the unit's last folder, the own folder itself is empty
    QCOMPARE(loaded->AUnit->Archives.size(), size_t(2));
    QCOMPARE(loaded->AUnit->Archives.back()->Name, QStringLiteral("Documents"));
    QVERIFY(!loaded->AUnit->Archive->HasItems());

    const QByteArray bytes = Read_All(path);
    if (encripted) {
        QCOMPARE(bytes.size() % 8, 0);
    } else if (compressed) {
        QVERIFY(bytes.startsWith("\x78\x9C"));
        QCOMPARE(Decompress_Bytes(bytes), Read_All(Fixture("archive_full.arc")));
    } else {
        QCOMPARE(bytes, Read_All(Fixture("archive_full.arc")));
    }
}

void tst_Archive_File::exactText()
{
    // GIVEN the fixture written by hand from the file layout
    QTemporaryDir dir;
    const QByteArray expected = Read_All(Fixture("archive_full.arc"));
    QVERIFY(expected.startsWith("\xEF\xBB\xBF"));

    // WHEN the same model is saved, THEN the bytes are the fixture's
    const QString path = dir.filePath(QStringLiteral("full.arc"));
    auto archive = Full_Archive();
    Save_Archive_File(*archive, path, false, false);
    const QByteArray actual = Read_All(path);
    if (actual != expected) {
        const QList<QByteArray> a = actual.split('\n'), e = expected.split('\n');
        for (qsizetype i = 0; i < std::min(a.size(), e.size()); ++i)
            QVERIFY2(a[i] == e[i], QByteArray("line " + QByteArray::number(i + 1) + ": " + a[i] + " / " + e[i]).constData());
        QCOMPARE(a.size(), e.size());
    }

    // AND loading the fixture and saving it again gives the same bytes
    const auto loaded = Load_Archive_File(Fixture("archive_full.arc"), false, false);
    const QString again = dir.filePath(QStringLiteral("again.arc"));
    Save_Archive_File(*loaded, again, false, false);
    QCOMPARE(Read_All(again), expected);
}

void tst_Archive_File::workedExample()
{
    const auto a = Load_Archive_File(Fixture("archive_worked_example.arc"), false, false);
    QCOMPARE(a->Name, QStringLiteral("Archive"));
    const TUnit &unit = *a->AUnit;
    QCOMPARE(unit.Name, QStringLiteral("My Archive"));
    QCOMPARE(unit.Id, QStringLiteral("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"));
    QCOMPARE(unit.Documents.size(), size_t(1));
    const TDocument &doc = *unit.Documents[0];
    QCOMPARE(doc.Name, QStringLiteral("Document"));
    QVERIFY(doc.Parent == &unit);
    QCOMPARE(doc.Mail.Internal, 1);
    QCOMPARE(doc.Mail.Date, 20170305);
    QCOMPARE(doc.Digital_Files.size(), 1);
    QCOMPARE(doc.Digital_Files[0].FileName, QStringLiteral("2017-03-13\\scan1.jpg"));
    QCOMPARE(unit.Persons->Persons.size(), size_t(1));
    QCOMPARE(unit.Persons->Persons[0]->Unit_Id, unit.Id);
    QVERIFY(a->Meta.Items.isEmpty());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("again.arc"));
    Save_Archive_File(*a, path, false, false);
    QCOMPARE(Read_All(path), Read_All(Fixture("archive_worked_example.arc")));
}

void tst_Archive_File::readingRules()
{
    const auto a = Load_Archive_File(Fixture("archive_rules.arc"), false, false);
    QCOMPARE(a->Name, QStringLiteral("Rules"));
    // the later unit replaces the earlier; values come from the last child of that name in any case
    const TUnit &top = *a->AUnit;
    QCOMPARE(top.Name, QStringLiteral("Top"));
    QCOMPARE(top.Id, QStringLiteral("{U2}"));
    QVERIFY(top.Parent == a.get());

    QCOMPARE(top.Units.size(), size_t(2));
    QCOMPARE(top.Units[0]->Name, QStringLiteral("Sub A"));
    QCOMPARE(top.Units[0]->Id, QStringLiteral("{U3}"));
    QCOMPARE(top.Units[1]->Name, QStringLiteral("Sub B"));

    // persons carry the Id of the unit they are read under, never the file's Unit_Id
    QCOMPARE(top.Persons->Persons.size(), size_t(2));
    QCOMPARE(top.Persons->Persons[0]->Name, QStringLiteral("Ali"));
    QCOMPARE(top.Persons->Persons[0]->Unit_Id, QStringLiteral("{U2}"));
    QCOMPARE(top.Persons->Persons[1]->Name, QStringLiteral("Mona"));
    QCOMPARE(top.Persons->Persons[1]->Unit_Id, QStringLiteral("{U2}"));
    QVERIFY(top.Persons->Persons[1]->Parent == &top);

    QCOMPARE(top.Archives.size(), size_t(1));
    QCOMPARE(top.Archives[0]->Id, QStringLiteral("{F1}"));
    QCOMPARE(top.Archives[0]->Archives.size(), size_t(1));
    QCOMPARE(top.Archives[0]->Archives[0]->Name, QStringLiteral("Nested"));
    QCOMPARE(top.Archives[0]->Archives[0]->Id, QString());

    // "document" in small letters is not a document
    QCOMPARE(top.Documents.size(), size_t(1));
    const TDocument &letter = *top.Documents[0];
    QCOMPARE(letter.Name, QStringLiteral("Letter"));
    // the later Mail node replaces the whole mail information
    QCOMPARE(letter.Mail.Internal, 0);
    QCOMPARE(letter.Mail.Date, 0);
    QCOMPARE(letter.Mail.Mail_To, QStringLiteral("Office"));
    QCOMPARE(letter.Digital_Files.size(), 2);
    QCOMPARE(letter.Digital_Files[0].FileName, QStringLiteral("b.jpg"));
    QCOMPARE(letter.Digital_Files[1].FileName, QStringLiteral("a.jpg"));
    QCOMPARE(letter.Digital_Files[1].Order, 1);
    QCOMPARE(letter.Docs.size(), size_t(2));
    QCOMPARE(letter.Docs[0]->Name, QStringLiteral("Sub One"));
    QCOMPARE(letter.Docs[1]->Name, QStringLiteral("Sub Two"));
    QVERIFY(letter.Docs[1]->Parent == &letter);

    QCOMPARE(a->Meta.Items.size(), 1);
    QCOMPARE(a->Meta.Items[0].Name, QStringLiteral("Letters"));
    QCOMPARE(a->Meta.Items[0].Group, QStringLiteral("Mail"));
    QCOMPARE(a->Meta.Items[0].Fields.size(), 1);
    QCOMPARE(a->Meta.Items[0].Fields[0].Data_Type, QStringLiteral("Text"));
    QCOMPARE(a->Meta.Items[0].Fields[0].Values, QStringList{QStringLiteral("Ahmad")});
}

void tst_Archive_File::readWhileParsingMatchesTree_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("rules fixture") << Read_All(Fixture("archive_rules.arc"));
    QTest::newRow("full fixture") << Read_All(Fixture("archive_full.arc"));
    QTest::newRow("worked example") << Read_All(Fixture("archive_worked_example.arc"));
    QTest::newRow("full archive as written") << Archive_To_Node(*Full_Archive()).AsStream();
    const QByteArray head = "sml = version = 0.1; encoding = utf-8\r\n";
    // lines after a document's subtree still change it: a marker extends its name, a
    // nameless line gives it more children
    QTest::newRow("marker after the subtree")
        << head + "  Archive = A\r\n    Document = Letter\r\n      Id = {D1}\r\n    > = continued\r\n"
                  "    >| = more\r\n    Document = Next\r\n";
    QTest::newRow("nameless line adds to the document")
        << head + "  Archive = A\r\n    Document = Letter\r\n      Id = {D1}\r\n    ~\r\n      Reference = R1\r\n"
                  "      Document = Sub\r\n    Document = Next\r\n";
    QTest::newRow("sub-documents in every form")
        << head + "  Archive = A\r\n    Unit = U\r\n      Document = P\r\n        Document = S1\r\n"
                  "          Documents\r\n            Any = S11\r\n        Documents\r\n          Mail = S2\r\n"
                  "            Document = S21\r\n        Mail\r\n          Document = not a document\r\n"
                  "          From = F\r\n";
    QTest::newRow("names that are no items")
        << head + "  Archive = A\r\n    document = small\r\n    Meta\r\n      Document = in meta\r\n"
                  "      Items\r\n        Document = item\r\n          Fields\r\n            Document\r\n"
                  "              Data Type = Text\r\n    Unit = U\r\n      Digital Files\r\n        Document\r\n";
    QTest::newRow("any name under the lists")
        << head + "  Archive = A\r\n    Unit = U\r\n      Units\r\n        Document = unit named so\r\n"
                  "          Document = D\r\n      Persons\r\n        Documents = person named so\r\n"
                  "          Document = D2\r\n          Subject = S\r\n            Document = D3\r\n"
                  "            Subject = SS\r\n              Document = D4\r\n";
    QTest::newRow("later archive and unit replace earlier ones")
        << head + "  Archive = First\r\n    Document = lost\r\n  Archive = Second\r\n    Document = kept\r\n"
                  "    Unit = U1\r\n      Document = replaced\r\n    Unit = U2\r\n      Document = stays\r\n";
    QTest::newRow("last archive in small letters")
        << head + "  Archive = First\r\n    Document = D\r\n  archive = second\r\n";
    QTest::newRow("archive beside the top node")
        << head + "  Archive = A\r\n    Document = D\r\nArchive = B\r\n  Document = E\r\n";
    QTest::newRow("top node named Archive")
        << QByteArray("Archive = X\r\n  Archive = Y\r\n    Document = D\r\n");
    QTest::newRow("misplaced line resumes at the base")
        << head + "  Archive = A\r\n    Document = D1\r\n       bad\r\n    Document = D2\r\n  Document = top level\r\n";
    QTest::newRow("folders, subjects and persons")
        << head + "  Archive = A\r\n    Documents = F\r\n      Id = {F}\r\n      Document = FD\r\n"
                  "      Subject = FS\r\n        Document = FSD\r\n      Documents = FF\r\n        Document = FFD\r\n"
                  "    Unit = U\r\n      Person = P\r\n        Documents = PF\r\n          Document = PFD\r\n"
                  "        Document = PD\r\n";
    QTest::newRow("deepest documents accepted") << Deep_Text(Max_Archive_Depth - 1);
}

// Load_Archive_File builds the documents while it reads; it must give what reading the
// whole tree first gives.
void tst_Archive_File::readWhileParsingMatchesTree()
{
    QFETCH(QByteArray, text);
    TSML sml;
    const auto fromTree = Load_Archive_From_Node(sml.Read_From_Bytes(text));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.arc"));
    Write_All(path, text);
    const auto streamed = Load_Archive_File(path, false, false);
    QCOMPARE(Describer(false).Archive(*streamed), Describer(false).Archive(*fromTree));
    QCOMPARE(Load_Archive_From_Bytes(text, false, false)->DocumentsCount(), fromTree->DocumentsCount());

    const QString zipped = dir.filePath(QStringLiteral("a.arcx"));
    Write_All(zipped, Compress_Bytes(text));
    QCOMPARE(Describer(false).Archive(*Load_Archive_File(zipped, true, false)), Describer(false).Archive(*fromTree));
}

void tst_Archive_File::readWhileParsingMatchesTreeRandom_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {7u, 11u, 2017u})
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

// Random texts of the archive's names, with the lines that change a node after its subtree
// (markers, nameless lines) and misplaced ones: both loaders give the same archive.
void tst_Archive_File::readWhileParsingMatchesTreeRandom()
{
    QFETCH(quint32, seed);
    QRandomGenerator rng(seed);
    const QList<QByteArray> any = {"Document", "Documents", "Unit", "Units", "Person", "Persons", "Subject",
                                   "Mail", "Digital Files", "Id", "Type", "From", "Archive", "archive", "Meta",
                                   "Items", "x"};
    // children that make items, by the name of their parent
    const QHash<QByteArray, QList<QByteArray>> items = {
        {"Archive", {"Document", "Documents", "Unit"}},
        {"Unit", {"Units", "Unit", "Persons", "Person", "Documents", "Document"}},
        {"Units", {"Unit", "x"}},
        {"Persons", {"Person", "x"}},
        {"Person", {"Document", "Subject", "Documents"}},
        {"Documents", {"Document", "Subject", "Documents", "x"}},
        {"Subject", {"Document", "Subject"}},
        {"Document", {"Document", "Documents", "Mail", "Id"}},
        {"x", {"Document", "Subject", "Unit"}},
    };
    for (int round = 0; round < 2000; ++round) {
        QByteArray text = "sml = version = 0.1; encoding = utf-8\r\n";
        std::vector<QByteArray> open{"sml"}; // names of the open nodes, one per level
        const int lines = 5 + int(rng.bounded(60));
        for (int i = 0; i < lines; ++i) {
            const int action = int(rng.bounded(20));
            if (open.size() == 1) {
                text += "  " + QByteArray(rng.bounded(8) == 0 ? "archive" : "Archive") + " = A\r\n";
                open.push_back("Archive");
                continue;
            }
            if (action < 5 && open.size() > 2) {
                open.pop_back(); // up one level; the next line is a sibling there
                continue;
            }
            const qsizetype indent = 2 * qsizetype(open.size() - 1);
            if (action == 5) { // a marker or a nameless line after the last node's subtree
                const char *extra[] = {"> = more", ">| = line", "~ remark"};
                text += QByteArray(indent, ' ') + extra[rng.bounded(3)] + "\r\n";
                continue;
            }
            if (action == 6) { // misplaced by one column
                text += QByteArray(indent + 1, ' ') + "x\r\n";
                continue;
            }
            const QByteArray &parent = open.back();
            const QList<QByteArray> &choices = rng.bounded(5) == 0 || !items.contains(parent) ? any : items[parent];
            const QByteArray name = choices[int(rng.bounded(int(choices.size())))];
            text += QByteArray(indent, ' ') + name;
            if (rng.bounded(2) == 0)
                text += " = v" + QByteArray::number(i);
            text += "\r\n";
            open.push_back(name); // its children may follow
        }
        TSML sml;
        std::unique_ptr<TArchive> fromTree, streamed;
        QString treeError, streamError;
        try {
            fromTree = Load_Archive_From_Node(sml.Read_From_Bytes(text));
        } catch (const TError &e) {
            treeError = e.message();
        }
        try {
            streamed = Load_Archive_From_Bytes(text, false, false);
        } catch (const TError &e) {
            streamError = e.message();
        }
        QCOMPARE(streamError, treeError);
        if (!fromTree)
            continue;
        const QStringList expected = Describer(false).Archive(*fromTree);
        const QStringList actual = Describer(false).Archive(*streamed);
        if (actual != expected)
            qWarning().noquote() << "round" << round << "text:\n" << text;
        QCOMPARE(actual, expected);
    }
}

void tst_Archive_File::noArchive_data()
{
    QTest::addColumn<QByteArray>("text");
    const QByteArray head = "sml = version = 0.1; encoding = utf-8\r\n";
    QTest::newRow("small letters") << head + "  archive = A\r\n    Unit = U\r\n";
    QTest::newRow("last match in capitals") << head + "  Archive = A\r\n    Unit = U\r\n  ARCHIVE = B\r\n";
    QTest::newRow("no archive node") << head + "  Options\r\n";
    QTest::newRow("empty file") << QByteArray();
    static const char binary[] = "\x00\x01\xFF\xFE\x80 = \x00\r\n\t\t\x1B";
    QTest::newRow("binary") << QByteArray(binary, sizeof binary - 1);
}

void tst_Archive_File::noArchive()
{
    QFETCH(QByteArray, text);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.arc"));
    Write_All(path, text);
    const auto a = Load_Archive_File(path, false, false);
    QCOMPARE(a->Name, QString());
    QCOMPARE(a->FilePath, QString());
    QVERIFY(!a->NeedSave());
    QVERIFY(!a->Compressed && !a->Encripted);
    QCOMPARE(a->AUnit->Name, QString());
    QVERIFY(!a->AUnit->HasItems());
    QVERIFY(a->Documents.empty() && a->Archives.empty());
}

void tst_Archive_File::mail_data()
{
    QTest::addColumn<int>("internal");
    QTest::addColumn<int>("date");
    QTest::addColumn<int>("delivery");
    QTest::addColumn<QString>("mailLines");
    QTest::newRow("no mail") << 0 << 0 << 0 << QString();
    QTest::newRow("year only") << 0 << 20170000 << 0 << QStringLiteral("Mail|Internal = 0|Date = 2017-00-00");
    QTest::newRow("delivery only") << 0 << 0 << 20170305 << QStringLiteral("Mail|Internal = 0|Delivery date = 2017-03-05");
    QTest::newRow("internal only") << 1 << 0 << 0 << QStringLiteral("Mail|Internal = 1");
}

void tst_Archive_File::mail()
{
    QFETCH(int, internal);
    QFETCH(int, date);
    QFETCH(int, delivery);
    QFETCH(QString, mailLines);
    TArchive a;
    TDocument &doc = Add(a.Documents, &a, QStringLiteral("D"));
    doc.Mail.Internal = internal;
    doc.Mail.Date = date;
    doc.Mail.Delivery_date = delivery;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.arc"));
    Save_Archive_File(a, path, false, false);
    const QString text = QString::fromUtf8(Read_All(path));
    QStringList lines;
    bool inMail = false;
    for (const QString &line : text.split(QStringLiteral("\r\n"))) {
        if (line == QLatin1String("      Mail"))
            inMail = true;
        else if (!line.startsWith(QLatin1String("        ")))
            inMail = false;
        if (inMail)
            lines.append(line.trimmed());
    }
    QCOMPARE(lines.join(QLatin1Char('|')), mailLines);

    const auto loaded = Load_Archive_File(path, false, false);
    const TMail &m = loaded->Documents.at(0)->Mail;
    QCOMPARE(m.Internal, internal);
    QCOMPARE(m.Date, date);
    QCOMPARE(m.Delivery_date, delivery);
}

void tst_Archive_File::idsGivenOnceAndKept()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ids.arc"));
    auto a = Full_Archive(false);
    Save_Archive_File(*a, path, false, false);
    const QStringList first = Describer(false).Archive(*a);
    // every unit, person, subject and document line ends with an Id; folders have none
    static const QRegularExpression idAtEnd(QStringLiteral(" \\{[0-9A-F-]{36}\\}$"));
    for (const QString &line : first) {
        const QString kind = line.trimmed().section(QLatin1Char(' '), 0, 0);
        if (kind == QLatin1String("folder") || kind == QLatin1String("own"))
            QVERIFY2(line.endsWith(QLatin1Char(' ')), qPrintable(line));
        else if (kind != QLatin1String("archive") && kind != QLatin1String("item") && kind != QLatin1String("field"))
            QVERIFY2(idAtEnd.match(line).hasMatch(), qPrintable(line));
    }
    Save_Archive_File(*a, path, true, false);
    QCOMPARE(Describer(false).Archive(*a), first);
    const auto loaded = Load_Archive_File(path, true, false);
    // a person saved without a unit id reads back with the Id its unit was given
    TPerson &person = *a->AUnit->Persons->Persons[0];
    QCOMPARE(person.Unit_Id, QString());
    QCOMPARE(loaded->AUnit->Persons->Persons[0]->Unit_Id, a->AUnit->Id);
    person.Unit_Id = a->AUnit->Id;
    QCOMPARE(Describer(false).Archive(*loaded), Describer(true).Archive(*a));
}

void tst_Archive_File::movedPersonUnitId()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.arc"));
    auto a = Full_Archive();
    Save_Archive_File(*a, path, false, false);
    auto loaded = Load_Archive_File(path, false, false);
    TUnit &top = *loaded->AUnit;
    TUnit &section = *top.Units[0];
    TPerson *person = top.Persons->Persons[0].get();
    Move_Person(person, &section);
    QCOMPARE(person->Unit_Id, top.Id);

    Save_Archive_File(*loaded, path, false, false);
    QCOMPARE(person->Unit_Id, top.Id);
    const auto again = Load_Archive_File(path, false, false);
    QCOMPARE(again->AUnit->Units[0]->Persons->Persons.size(), size_t(1));
    QCOMPARE(again->AUnit->Units[0]->Persons->Persons[0]->Unit_Id, Gid(30));
}

void tst_Archive_File::ownFolderKeepsNestedFolders()
{
    // A folder dropped into a unit's own folder is saved with it instead of being lost.
    TArchive a;
    TDocArchive &own = *a.AUnit->Archive;
    TDocArchive &inner = Add(own.Archives, &own, QStringLiteral("Inner"));
    Add(inner.Docs, &inner, QStringLiteral("Kept"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("own.arc"));
    Save_Archive_File(a, path, false, false);
    const auto loaded = Load_Archive_File(path, false, false);
    QCOMPARE(loaded->AUnit->Archives.size(), size_t(1));
    const TDocArchive &back = *loaded->AUnit->Archives[0];
    QCOMPARE(back.Name, QStringLiteral("Documents"));
    QCOMPARE(back.Archives.size(), size_t(1));
    QCOMPARE(back.Archives[0]->Name, QStringLiteral("Inner"));
    QCOMPARE(back.Archives[0]->Docs.at(0)->Name, QStringLiteral("Kept"));

    // an empty own folder writes nothing
    TArchive empty;
    Save_Archive_File(empty, path, false, false);
    QVERIFY(!Read_All(path).contains("Documents"));
}

void tst_Archive_File::saveSetsState()
{
    QTemporaryDir dir;
    auto a = New_Archive();
    QVERIFY(a->IsNew);
    a->SetNeedSave(true);
    a->FilePath = dir.filePath(QStringLiteral("New Archive.arcx"));
    a->Compressed = true;
    a->Save();
    QVERIFY(!a->IsNew);
    QVERIFY(!a->NeedSave());
    QVERIFY(Read_All(a->FilePath).startsWith("\x78\x9C"));

    const QString other = dir.filePath(QStringLiteral("other.arc"));
    a->SetNeedSave(true);
    QVERIFY(Save_Archive_File(*a, other, false, true));
    QCOMPARE(a->FilePath, other);
    QVERIFY(a->Encripted);
    QVERIFY(!a->Compressed);
    QVERIFY(!a->NeedSave());
    const auto loaded = Load_Archive_File(other, false, true);
    QCOMPARE(loaded->AUnit->Documents.size(), size_t(1));
    QCOMPARE(loaded->AUnit->Documents[0]->Name, QStringLiteral("Document"));
}

void tst_Archive_File::failedSaveKeepsState_data()
{
    QTest::addColumn<bool>("compressed");
    QTest::addColumn<bool>("encripted");
    QTest::addColumn<QString>("failure");
    const struct {
        const char *name;
        bool compressed, encripted;
    } kinds[] = {{"plain", false, false}, {"compressed", true, false}, {"encrypted", false, true}};
    for (const auto &k : kinds)
        for (const char *failure : {"target is a folder", "missing folder", "read-only file"})
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(k.name), QLatin1String(failure))))
                << k.compressed << k.encripted << QString::fromLatin1(failure);
}

// A failed save raises with a reason and changes neither the archive's file nor its state:
// a failed Save As does not retarget the archive.
void tst_Archive_File::failedSaveKeepsState()
{
    QFETCH(bool, compressed);
    QFETCH(bool, encripted);
    QFETCH(QString, failure);
    QTemporaryDir dir;
    auto a = Full_Archive();
    a->FilePath = dir.filePath(QStringLiteral("old.arcx"));
    a->Compressed = !compressed;
    a->Encripted = !encripted;
    a->SetNeedSave(true);
    a->IsNew = true;

    QString target = dir.filePath(QStringLiteral("taken.arc"));
    if (failure == u"target is a folder") {
        QVERIFY(QDir().mkpath(target));
    } else if (failure == u"missing folder") {
        target = dir.filePath(QStringLiteral("missing/new.arc"));
    } else {
        if (::geteuid() == 0)
            QSKIP("permissions do not stop the superuser");
        Write_All(target, "old");
        QFile::setPermissions(target, QFile::ReadOwner);
    }
    bool raised = false;
    try {
        Save_Archive_File(*a, target, compressed, encripted);
    } catch (const TError &e) {
        raised = true;
        QVERIFY2(!e.message().isEmpty(), "the error names a reason");
    }
    QVERIFY(raised);
    QVERIFY(a->NeedSave());
    QCOMPARE(a->FilePath, dir.filePath(QStringLiteral("old.arcx")));
    QCOMPARE(a->Compressed, !compressed);
    QCOMPARE(a->Encripted, !encripted);
    if (failure == u"read-only file")
        QCOMPARE(Read_All(target), QByteArray("old"));
    else
        QVERIFY(!QFileInfo(target).isFile());

    // Save through the archive's own path fails the same way and keeps IsNew
    a->FilePath = target;
    QVERIFY_THROWS_EXCEPTION(TError, a->Save());
    QVERIFY(a->IsNew);
    QVERIFY(a->NeedSave());
}

void tst_Archive_File::failedSaveKeepsOldFile()
{
    // GIVEN a saved archive
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.arc"));
    auto a = Full_Archive();
    Save_Archive_File(*a, path, false, false);
    const QByteArray before = Read_All(path);

    // WHEN it is nested too deeply to be read back and saved again
    TDocument *doc = a->AUnit->Documents[0].get();
    for (int i = 0; i < Max_Archive_Depth; ++i)
        doc = &Add(doc->Docs, doc, QStringLiteral("deeper"));
    a->SetNeedSave(true);
    QVERIFY_THROWS_EXCEPTION(TError, Save_Archive_File(*a, path, false, false));

    // THEN the old file and the model's state are as they were
    QCOMPARE(Read_All(path), before);
    QVERIFY(a->NeedSave());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.arc")});
}

void tst_Archive_File::readOnlyFolder()
{
    if (::geteuid() == 0)
        QSKIP("permissions do not stop the superuser");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.arc"));
    auto a = Full_Archive();
    Save_Archive_File(*a, path, false, false);
    const QByteArray before = Read_All(path);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    QFile::setPermissions(path, QFile::ReadOwner);
    a->AUnit->Name = QStringLiteral("changed");
    QVERIFY_THROWS_EXCEPTION(TError, Save_Archive_File(*a, path, false, false));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(Read_All(path), before);
}

void tst_Archive_File::damagedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("compressed");
    QTest::addColumn<bool>("encripted");
    QTest::addColumn<bool>("raises");

    auto full = Full_Archive();
    const QByteArray plain = Archive_To_Node(*full).AsStream();
    const QByteArray zipped = Compress_Bytes(plain);
    QTest::newRow("zlib truncated") << zipped.left(zipped.size() / 2) << true << false << true;
    QTest::newRow("zlib header only") << zipped.left(2) << true << false << true;
    QByteArray flipped = zipped;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x55);
    QTest::newRow("zlib damaged") << flipped << true << false << true;
    QTest::newRow("plain read as compressed") << plain << true << false << true;
    QTest::newRow("encrypted, length not a multiple of 8") << QByteArray(13, 'x') << false << true << false;
    QTest::newRow("encrypted, empty") << QByteArray() << false << true << false;
    QTest::newRow("encrypted, random blocks") << QByteArray(64, '\x5A') << false << true << false;
    QTest::newRow("compressed read as plain") << zipped << false << false << false;
}

void tst_Archive_File::damagedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, compressed);
    QFETCH(bool, encripted);
    QFETCH(bool, raises);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.arc"));
    Write_All(path, bytes);
    try {
        const auto a = Load_Archive_File(path, compressed, encripted);
        QVERIFY2(!raises, "an error was expected");
        QCOMPARE(a->Name, QString());
        QVERIFY(!a->AUnit->HasItems());
    } catch (const TError &e) {
        QVERIFY2(raises, qPrintable(e.message()));
        QVERIFY(!e.message().isEmpty());
    }

    // a missing file is an error in every container
    QVERIFY_THROWS_EXCEPTION(TError, Load_Archive_File(dir.filePath(QStringLiteral("none.arc")), compressed, encripted));
}

void tst_Archive_File::deepTree_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<bool>("loads");
    // the top unit is one level, so Max_Archive_Depth - 1 documents still fit
    QTest::newRow("deepest accepted") << Max_Archive_Depth - 1 << true;
    QTest::newRow("one too deep") << Max_Archive_Depth << false;
    QTest::newRow("thousands deep") << 2000 << false;
}

void tst_Archive_File::deepTree()
{
    QFETCH(int, depth);
    QFETCH(bool, loads);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deep.arc"));
    Write_All(path, Deep_Text(depth));
    if (!loads) {
        QVERIFY_THROWS_EXCEPTION(TError, Load_Archive_File(path, false, false));
        return;
    }
    // counting, listing, saving and destroying walk the whole chain
    auto a = Load_Archive_File(path, false, false);
    QCOMPARE(a->DocumentsCount(), 2);
    QCOMPARE(a->FilesCount(), 0);
    a->Fill_Lists();
    QCOMPARE(a->Document_List.size(), depth);
    QCOMPARE(a->Document_List.last()->Name, QStringLiteral("D%1").arg(depth - 1));
    const QString again = dir.filePath(QStringLiteral("again.arcx"));
    QVERIFY(Save_Archive_File(*a, again, true, false));
    const auto back = Load_Archive_File(again, true, false);
    back->Fill_Lists();
    QCOMPARE(back->Document_List.size(), depth);
}

void tst_Archive_File::compressedPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("compressed");
    QTest::newRow(".arcx") << QStringLiteral("/tmp/a.arcx") << true;
    QTest::newRow(".ARCX") << QStringLiteral("a.ARCX") << true;
    QTest::newRow(".arcX") << QStringLiteral("C:\\Office\\a.arcX") << true;
    QTest::newRow(".arc") << QStringLiteral("a.arc") << false;
    QTest::newRow(".archive") << QStringLiteral("a.archive") << false;
    QTest::newRow(".arcx.arc") << QStringLiteral("a.arcx.arc") << false;
    QTest::newRow("folder named .arcx") << QStringLiteral("/data/x.arcx/file") << false;
    QTest::newRow("no extension") << QStringLiteral("arcx") << false;
}

void tst_Archive_File::compressedPath()
{
    QFETCH(QString, path);
    QFETCH(bool, compressed);
    QCOMPARE(Is_Compressed_Archive_Path(path), compressed);
}

QTEST_GUILESS_MAIN(tst_Archive_File)
#include "tst_archive_file.moc"
