#include "archive/tarchitem.h"
#include "archive/archive_file.h"
#include "local/localization.h"

#include <QTemporaryDir>
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

TDocument *Add_Doc_With_File(TOwnList<TDocument> &list, TArchItem *parent)
{
    TDocument *d = Add(list, parent, QStringLiteral("doc"));
    d->Digital_Files.append({QStringLiteral("2017-03-05\\scan.png"), 0});
    return d;
}

template<class T>
QStringList Names(const TOwnList<T> &list)
{
    QStringList names;
    for (const auto &item : list)
        names << (item ? item->Name : QStringLiteral("<empty>"));
    return names;
}

struct TCounts
{
    int Units, Persons, Documents, Subjects, Files;
};

TCounts Counts_Of(const TArchItem &item)
{
    return {item.UnitsCount(), item.PersonsCount(), item.DocumentsCount(), item.SubjectsCount(), item.FilesCount()};
}

#define COMPARE_COUNTS(item, u, p, d, s, f)                                                                            \
    do {                                                                                                               \
        const TCounts c = Counts_Of(item);                                                                             \
        QCOMPARE(c.Units, u);                                                                                          \
        QCOMPARE(c.Persons, p);                                                                                        \
        QCOMPARE(c.Documents, d);                                                                                      \
        QCOMPARE(c.Subjects, s);                                                                                       \
        QCOMPARE(c.Files, f);                                                                                          \
    } while (false)

using TBuilder = std::function<void(TArchive &)>;

QList<TBuilder> &Builders()
{
    static QList<TBuilder> builders;
    return builders;
}

} // namespace

class tst_TArchItem : public QObject
{
    Q_OBJECT

private slots:
    void newArchive();
    void createdItems();
    void archiveCountsReachEveryHolder_data();
    void archiveCountsReachEveryHolder();
    void subDocumentCounts();
    void nestedFolderCounts();
    void emptyFileNameNotCounted();
    void unitAndPersonCounts();
    void hasItems();
    void removeRefusals();
    void removeKeepsOrder();
    void removeUnitWithFolderContents();
    void removedItemLeavesFlatLists();
    void compactList();
    void movePersonThroughUnits();
    void movePersonAddedOnGroup();
    void movePersons();
    void moveFolderOutOfArchive();
    void moveRejectedTargets();
    void moveSubjectAndUnit();
    void moveDocument();
    void itemPath();
    void movesKeepWithinDepth_data();
    void movesKeepWithinDepth();
    void depthOfItems();
    void destroyLargeArchive();
};

void tst_TArchItem::newArchive()
{
    const std::unique_ptr<TArchive> a = New_Archive();
    QCOMPARE(a->Name, Translate(QStringLiteral("Archive")));
    QVERIFY(a->IsNew);
    QCOMPARE(a->FilePath, QStringLiteral("New Archive.arc"));
    QVERIFY(!a->NeedSave());
    QCOMPARE(a->AUnit->Name, Translate(QStringLiteral("My Archive")));
    QCOMPARE(a->AUnit->Parent, a.get());
    QCOMPARE(a->AUnit->Documents.size(), size_t(1));
    QCOMPARE(a->AUnit->Documents[0]->Name, QStringLiteral("Document"));
    QCOMPARE(a->AUnit->Documents[0]->Parent, a->AUnit.get());
    QVERIFY(a->Documents.empty() && a->Archives.empty());
    COMPARE_COUNTS(*a, 1, 0, 1, 0, 0);
}

void tst_TArchItem::createdItems()
{
    TArchive a;
    QVERIFY(!a.IsNew && !a.Compressed && !a.Encripted);
    QVERIFY(a.Name.isEmpty() && a.FilePath.isEmpty());
    QCOMPARE(a.AUnit->Parent, &a);
    TUnit u;
    QCOMPARE(u.Persons->Name, QStringLiteral("Persons"));
    QCOMPARE(u.Persons->Parent, &u);
    QCOMPARE(u.Archive->Name, QStringLiteral("Documents"));
    QCOMPARE(u.Archive->Parent, &u);
    QCOMPARE(TDocArchive().Name, QStringLiteral("Documents"));
    QCOMPARE(TGroup().Name, QStringLiteral("Group"));
    QVERIFY(TPerson().Name.isEmpty());
    QVERIFY(TDocument().Name.isEmpty());
}

// One document with one attached file, put at each place a document can live: the
// archive's totals must reach it, and the subject totals must count the subjects on the way.
void tst_TArchItem::archiveCountsReachEveryHolder_data()
{
    QTest::addColumn<int>("builder");
    QTest::addColumn<int>("units");
    QTest::addColumn<int>("persons");
    QTest::addColumn<int>("subjects");

    Builders() = {
        [](TArchive &a) { Add_Doc_With_File(a.Documents, &a); },
        [](TArchive &a) { Add_Doc_With_File(Add(a.Archives, &a)->Docs, nullptr); },
        [](TArchive &a) { Add_Doc_With_File(a.AUnit->Documents, a.AUnit.get()); },
        [](TArchive &a) { Add_Doc_With_File(a.AUnit->Archive->Docs, nullptr); },
        [](TArchive &a) { Add_Doc_With_File(Add(a.AUnit->Archives, a.AUnit.get())->Docs, nullptr); },
        [](TArchive &a) { Add_Doc_With_File(Add(a.AUnit->Units, a.AUnit.get())->Documents, nullptr); },
        [](TArchive &a) { Add_Doc_With_File(Add(a.AUnit->Persons->Persons, a.AUnit.get())->Documents, nullptr); },
        [](TArchive &a) {
            Add_Doc_With_File(Add(Add(a.AUnit->Persons->Persons, a.AUnit.get())->Archives, nullptr)->Docs, nullptr);
        },
        [](TArchive &a) {
            Add_Doc_With_File(Add(Add(a.AUnit->Persons->Persons, a.AUnit.get())->Subjects, nullptr)->Docs, nullptr);
        },
        [](TArchive &a) { Add_Doc_With_File(Add(Add(a.Archives, &a)->Subs, nullptr)->Docs, nullptr); },
        [](TArchive &a) {
            Add_Doc_With_File(Add(Add(a.AUnit->Archive->Subs, nullptr)->Subs, nullptr)->Docs, nullptr);
        },
        [](TArchive &a) {
            TUnit *sub = Add(a.AUnit->Units, a.AUnit.get());
            Add_Doc_With_File(Add(Add(sub->Persons->Persons, sub)->Subjects, nullptr)->Docs, nullptr);
        },
    };
    QTest::newRow("archive documents") << 0 << 1 << 0 << 0;
    QTest::newRow("archive folder") << 1 << 1 << 0 << 0;
    QTest::newRow("top unit documents") << 2 << 1 << 0 << 0;
    QTest::newRow("unit's own folder") << 3 << 1 << 0 << 0;
    QTest::newRow("unit folder") << 4 << 1 << 0 << 0;
    QTest::newRow("sub-unit documents") << 5 << 2 << 0 << 0;
    QTest::newRow("person documents") << 6 << 1 << 1 << 0;
    QTest::newRow("person folder") << 7 << 1 << 1 << 0;
    QTest::newRow("person subject") << 8 << 1 << 1 << 1;
    QTest::newRow("subject in archive folder") << 9 << 1 << 0 << 1;
    QTest::newRow("sub-subject in own folder") << 10 << 1 << 0 << 2;
    QTest::newRow("subject of a sub-unit's person") << 11 << 2 << 1 << 1;
}

void tst_TArchItem::archiveCountsReachEveryHolder()
{
    QFETCH(int, builder);
    QFETCH(int, units);
    QFETCH(int, persons);
    QFETCH(int, subjects);
    TArchive a;
    Builders().at(builder)(a);
    COMPARE_COUNTS(a, units, persons, 1, subjects, 1);
}

void tst_TArchItem::subDocumentCounts()
{
    TDocArchive folder;
    TDocument *doc = Add(folder.Docs, &folder);
    for (int i = 0; i < 2; ++i) {
        TDocument *sub = Add(doc->Docs, doc);
        Add(sub->Docs, sub);
    }
    // only the direct sub-documents count on a document; the holder adds the document
    QCOMPARE(doc->DocumentsCount(), 2);
    QCOMPARE(folder.DocumentsCount(), 3);
    // files are counted through every level
    doc->Docs[0]->Docs[0]->Digital_Files.append({QStringLiteral("a\\b.png"), 0});
    QCOMPARE(doc->FilesCount(), 1);
    QCOMPARE(folder.FilesCount(), 1);
}

void tst_TArchItem::nestedFolderCounts()
{
    TDocArchive outer;
    TDocArchive *inner = Add(outer.Archives, &outer);
    Add_Doc_With_File(inner->Docs, inner);
    Add(inner->Subs, inner);
    COMPARE_COUNTS(*inner, 0, 0, 1, 1, 1);
    COMPARE_COUNTS(outer, 0, 0, 1, 0, 0);
}

void tst_TArchItem::emptyFileNameNotCounted()
{
    TDocument d;
    d.Digital_Files.append({QString(), 0});
    d.Digital_Files.append({QStringLiteral("x\\y.pdf"), 1});
    d.Digital_Files.append({QString(), 2});
    QCOMPARE(d.FilesCount(), 1);
}

void tst_TArchItem::unitAndPersonCounts()
{
    TArchive a;
    TUnit *top = a.AUnit.get();
    TUnit *sub = Add(top->Units, top);
    Add(sub->Units, sub);
    Add(top->Persons->Persons, top);
    Add(sub->Persons->Persons, sub);
    Add(sub->Persons->Persons, sub);
    QCOMPARE(top->UnitsCount(), 2);
    QCOMPARE(a.UnitsCount(), 3);
    QCOMPARE(top->PersonCount(), 1);
    QCOMPARE(top->PersonsCount(), 3);
    QCOMPARE(a.PersonsCount(), 3);
    // empty entries are passed over
    sub->Persons->Persons.push_back(nullptr);
    top->Units.push_back(nullptr);
    QCOMPARE(sub->PersonCount(), 2);
    QCOMPARE(a.UnitsCount(), 3);
    QCOMPARE(a.PersonsCount(), 3);
}

void tst_TArchItem::hasItems()
{
    TUnit u;
    QVERIFY(!u.HasItems());
    Add(u.Archive->Docs, u.Archive.get());
    QVERIFY(u.HasItems());

    TPerson p;
    QVERIFY(!p.HasItems());
    Add(p.Subjects, &p);
    QVERIFY(p.HasItems());

    TSubject s;
    QVERIFY(!s.HasItems());
    Add(s.Subs, &s);
    QVERIFY(s.HasItems());

    TDocArchive f;
    Add(f.Archives, &f);
    QVERIFY(f.HasItems());

    TPersons_Group g;
    QVERIFY(!g.HasItems());
    Add(g.Persons, &g);
    QVERIFY(g.HasItems());
}

void tst_TArchItem::removeRefusals()
{
    TArchive a;
    TDocument *parent = Add(a.Documents, &a, QStringLiteral("parent"));
    TDocument *child = Add(parent->Docs, parent, QStringLiteral("child"));
    TDocument stranger;

    QVERIFY(!a.Remove_Doc_No_Children(parent));
    QVERIFY(!a.Remove_Doc_No_Children(&stranger));
    QVERIFY(!a.Remove_Doc_No_Children(child)); // not in the archive's own list
    QVERIFY(!a.Remove_Doc_No_Children(nullptr));
    QCOMPARE(Names(a.Documents), QStringList{QStringLiteral("parent")});
    QCOMPARE(Names(parent->Docs), QStringList{QStringLiteral("child")});

    QVERIFY(parent->Remove_Doc_No_Children(child));
    QVERIFY(parent->Docs.empty());
    QVERIFY(a.Remove_Doc_No_Children(parent));
    QVERIFY(a.Documents.empty());
}

void tst_TArchItem::removeKeepsOrder()
{
    TPerson p;
    for (const char *n : {"a", "b", "c"})
        Add(p.Subjects, &p, QString::fromLatin1(n));
    QVERIFY(p.Remove_Subject_No_Children(p.Subjects[1].get()));
    QCOMPARE(Names(p.Subjects), (QStringList{"a", "c"}));

    TUnit u;
    for (const char *n : {"u1", "u2", "u3"})
        Add(u.Units, &u, QString::fromLatin1(n));
    Add(u.Units[2]->Persons->Persons, u.Units[2].get());
    QVERIFY(!u.Remove_Unit_No_Children(u.Units[2].get()));
    QVERIFY(u.Remove_Unit_No_Children(u.Units[0].get()));
    QCOMPARE(Names(u.Units), (QStringList{"u2", "u3"}));

    TPersons_Group g;
    Add(g.Persons, &g, "p1");
    Add(g.Persons, &g, "p2");
    Add(g.Persons[0]->Archives, g.Persons[0].get());
    QVERIFY(!g.Remove_Person_No_Children(g.Persons[0].get()));
    QVERIFY(g.Remove_Person_No_Children(g.Persons[1].get()));
    QCOMPARE(Names(g.Persons), QStringList{"p1"});
}

// A unit whose own folder keeps only a subject is not childless: removing it would destroy
// the subject.
void tst_TArchItem::removeUnitWithFolderContents()
{
    TUnit top;
    TUnit *u = Add(top.Units, &top, "u");
    Add(u->Archive->Subs, u->Archive.get(), "kept");
    QVERIFY(u->HasItems());
    QVERIFY(!top.Remove_Unit_No_Children(u));
    QCOMPARE(top.Units.size(), size_t(1));
}

void tst_TArchItem::removedItemLeavesFlatLists()
{
    TArchive a;
    TUnit *u = Add(a.AUnit->Units, a.AUnit.get(), "u");
    TDocument *d = Add(a.AUnit->Documents, a.AUnit.get(), "d");
    a.Fill_Lists();
    QVERIFY(a.Unit_List.contains(u) && a.Document_List.contains(d) && a.Archive_List.contains(u->Archive.get()));
    QVERIFY(a.AUnit->Remove_Doc_No_Children(d));
    QVERIFY(a.AUnit->Remove_Unit_No_Children(u));
    QCOMPARE(a.Unit_List, QList<TUnit *>{a.AUnit.get()});
    QVERIFY(a.Document_List.isEmpty());
    QCOMPARE(a.Archive_List, QList<TDocArchive *>{a.AUnit->Archive.get()});
    QVERIFY(a.Find_in_Documents("d").isEmpty());
}

void tst_TArchItem::compactList()
{
    TSubject s;
    Add(s.Docs, &s, "a");
    s.Docs.push_back(nullptr);
    Add(s.Docs, &s, "b");
    s.Docs.push_back(nullptr);
    s.Compact_Docs();
    QCOMPARE(Names(s.Docs), (QStringList{"a", "b"}));

    TUnit u;
    u.Units.push_back(nullptr);
    Add(u.Units, &u, "x");
    u.Compact();
    QCOMPARE(Names(u.Units), QStringList{"x"});
}

void tst_TArchItem::movePersonThroughUnits()
{
    TUnit top;
    TUnit *a = Add(top.Units, &top, "A");
    TUnit *b = Add(top.Units, &top, "B");
    TUnit *c = Add(top.Units, &top, "C");
    Add(a->Persons->Persons, a, "first");
    TPerson *p = Add(a->Persons->Persons, a, "moved");
    Add(a->Persons->Persons, a, "last");

    Move_Person(p, b);
    Move_Person(p, c);
    QCOMPARE(Names(a->Persons->Persons), (QStringList{"first", "last"}));
    QVERIFY(b->Persons->Persons.empty());
    QCOMPARE(Names(c->Persons->Persons), QStringList{"moved"});
    QCOMPARE(p->Parent, c);

    Move_Person(p, c); // current parent
    Move_Person(p, c->Archive.get()); // not a unit
    QCOMPARE(Names(c->Persons->Persons), QStringList{"moved"});
    QCOMPARE(p->Parent, c);
}

void tst_TArchItem::movePersonAddedOnGroup()
{
    TUnit top;
    TUnit *a = Add(top.Units, &top, "A");
    TUnit *b = Add(top.Units, &top, "B");
    TPerson *p = Add(a->Persons->Persons, a->Persons.get(), "p");
    Add(a->Persons->Persons, a, "q");

    // to its own unit: the unit becomes its Parent and it goes last
    QVERIFY(Move_Person(p, a));
    QCOMPARE(Names(a->Persons->Persons), (QStringList{"q", "p"}));
    QCOMPARE(p->Parent, a);
    QVERIFY(!Move_Person(p, a)); // now the unit is its parent: nothing happens
    QCOMPARE(Names(a->Persons->Persons), (QStringList{"q", "p"}));

    Move_Person(p, b);
    QCOMPARE(Names(a->Persons->Persons), QStringList{"q"});
    QCOMPARE(Names(b->Persons->Persons), QStringList{"p"});
    QCOMPARE(p->Parent, b);
}

void tst_TArchItem::movePersons()
{
    TUnit top;
    TUnit *a = Add(top.Units, &top, "A");
    TUnit *b = Add(top.Units, &top, "B");
    Add(b->Persons->Persons, b, "b1");
    Add(a->Persons->Persons, a, "a1");
    Add(a->Persons->Persons, a->Persons.get(), "a2");

    // onto the group's own unit only the person added on the group moves: last, Parent A
    Add(a->Persons->Persons, a, "a3");
    QVERIFY(Move_Persons(a->Persons.get(), a));
    QCOMPARE(Names(a->Persons->Persons), (QStringList{"a1", "a3", "a2"}));
    for (const auto &p : a->Persons->Persons)
        QCOMPARE(p->Parent, a);
    QVERIFY(!Move_Persons(a->Persons.get(), a)); // nothing left to move
    QCOMPARE(Names(a->Persons->Persons), (QStringList{"a1", "a3", "a2"}));

    Move_Persons(a->Persons.get(), b);
    QVERIFY(a->Persons->Persons.empty());
    QCOMPARE(Names(b->Persons->Persons), (QStringList{"b1", "a1", "a3", "a2"}));
    for (const auto &p : b->Persons->Persons)
        QCOMPARE(p->Parent, b);
}

void tst_TArchItem::moveFolderOutOfArchive()
{
    TArchive a;
    Add(a.Archives, &a, "f1");
    TDocArchive *f = Add(a.Archives, &a, "f2");
    Add(a.Archives, &a, "f3");
    Move_Folder(f, a.AUnit.get());
    QCOMPARE(Names(a.Archives), (QStringList{"f1", "f3"}));
    QCOMPARE(Names(a.AUnit->Archives), QStringList{"f2"});
    QCOMPARE(f->Parent, a.AUnit.get());

    // into a folder, then into a person
    TDocArchive *target = a.Archives[0].get();
    Move_Folder(f, target);
    QVERIFY(a.AUnit->Archives.empty());
    QCOMPARE(Names(target->Archives), QStringList{"f2"});
    TPerson *p = Add(a.AUnit->Persons->Persons, a.AUnit.get(), "p");
    Move_Folder(f, p);
    QVERIFY(target->Archives.empty());
    QCOMPARE(f->Parent, p);
    QCOMPARE(Names(p->Archives), QStringList{"f2"});
}

// Kinds that may not receive the item, the item itself, its own subtree, and items no list
// of their parent holds (the top unit, a unit's own folder) change nothing.
void tst_TArchItem::moveRejectedTargets()
{
    TArchive a;
    TUnit *top = a.AUnit.get();
    TDocArchive *f = Add(a.Archives, &a, "f");
    TDocArchive *inner = Add(f->Archives, f, "inner");
    TSubject *s = Add(f->Subs, f, "s");
    TDocument *d = Add(f->Docs, f, "d");
    TPerson *p = Add(top->Persons->Persons, top, "p");

    Move_Folder(f, s);
    Move_Folder(f, d);
    Move_Folder(f, f);
    Move_Folder(f, inner);
    Move_Subject(s, top);
    Move_Subject(s, &a);
    Move_Document(d, f->Docs, top->Persons.get());
    Move_Document(d, f->Docs, d);
    Move_Unit(top, Add(top->Units, top, "sub"));
    Move_Folder(top->Archive.get(), &a);
    Move_Person(p, &a);
    Move_Persons(top->Persons.get(), p);

    QCOMPARE(Names(a.Archives), QStringList{"f"});
    QCOMPARE(Names(f->Archives), QStringList{"inner"});
    QCOMPARE(Names(f->Subs), QStringList{"s"});
    QCOMPARE(Names(f->Docs), QStringList{"d"});
    QCOMPARE(a.AUnit.get(), top);
    QCOMPARE(top->Parent, &a);
    QVERIFY(top->Archive);
    QCOMPARE(top->PersonCount(), 1);
    QCOMPARE(inner->Parent, f);
    QCOMPARE(s->Parent, f);
    QCOMPARE(d->Parent, f);
}

void tst_TArchItem::moveSubjectAndUnit()
{
    TUnit top;
    TUnit *u1 = Add(top.Units, &top, "u1");
    TUnit *u2 = Add(top.Units, &top, "u2");
    Move_Unit(u1, u2);
    QCOMPARE(Names(top.Units), QStringList{"u2"});
    QCOMPARE(Names(u2->Units), QStringList{"u1"});
    QCOMPARE(u1->Parent, u2);
    Move_Unit(u2, u1); // into its own subtree
    QCOMPARE(Names(top.Units), QStringList{"u2"});

    TPerson *p = Add(u1->Persons->Persons, u1, "p");
    TSubject *s = Add(p->Subjects, p, "s");
    TSubject *t = Add(p->Subjects, p, "t");
    Move_Subject(s, t);
    QCOMPARE(Names(p->Subjects), QStringList{"t"});
    QCOMPARE(Names(t->Subs), QStringList{"s"});
    Move_Subject(s, u1->Archive.get());
    QVERIFY(t->Subs.empty());
    QCOMPARE(Names(u1->Archive->Subs), QStringList{"s"});
    QCOMPARE(s->Parent, u1->Archive.get());
    Move_Subject(s, p);
    QCOMPARE(Names(p->Subjects), (QStringList{"t", "s"}));
}

void tst_TArchItem::moveDocument()
{
    TArchive a;
    TDocument *d = Add(a.Documents, &a, "d");
    Add(a.Documents, &a, "e");
    auto group = std::make_unique<TGroup>();
    group->Parent = &a;
    TGroup *grp = group.get();
    a.Archives.push_back(std::move(group));

    Move_Document(d, a.Documents, grp); // a group is a folder
    QCOMPARE(Names(a.Documents), QStringList{"e"});
    QCOMPARE(Names(grp->Docs), QStringList{"d"});
    QCOMPARE(d->Parent, grp);

    TDocument *e = a.Documents[0].get();
    Move_Document(d, a.Documents, e); // wrong source: nothing
    QCOMPARE(Names(grp->Docs), QStringList{"d"});
    Move_Document(d, grp->Docs, e);
    QVERIFY(grp->Docs.empty());
    QCOMPARE(Names(e->Docs), QStringList{"d"});
    Move_Document(e, a.Documents, d); // into its own sub-document
    QCOMPARE(Names(a.Documents), QStringList{"e"});
}

void tst_TArchItem::itemPath()
{
    TArchive a;
    TUnit *sub = Add(a.AUnit->Units, a.AUnit.get(), "sub");
    TDocArchive *f = Add(sub->Archives, sub, "folder");
    TDocument *d = Add(f->Docs, f, "d");
    QList<TArchItem *> path;
    a.Get_Item_Path(d, path);
    QCOMPARE(path, (QList<TArchItem *>{f, sub, a.AUnit.get(), &a}));

    QList<TArchItem *> appended{d};
    a.Get_Item_Path(f, appended);
    QCOMPARE(appended, (QList<TArchItem *>{d, sub, a.AUnit.get(), &a}));

    QList<TArchItem *> none;
    a.Get_Item_Path(nullptr, none);
    a.Get_Item_Path(&a, none);
    QVERIFY(none.isEmpty());
}

void tst_TArchItem::movesKeepWithinDepth_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("targetDepth");
    QTest::addColumn<bool>("moves");
    // every moved item holds one document, so it needs two levels below the target
    for (const char *kind : {"document", "folder", "subject", "unit", "person", "persons"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, deepest that fits").arg(QLatin1String(kind))))
            << QString::fromLatin1(kind) << Max_Archive_Depth - 2 << true;
        QTest::newRow(qPrintable(QStringLiteral("%1, one level too deep").arg(QLatin1String(kind))))
            << QString::fromLatin1(kind) << Max_Archive_Depth - 1 << false;
    }
}

// A move that would nest the archive deeper than the file can hold is refused, so every
// tree that moves can build is one that saves and loads back.
void tst_TArchItem::movesKeepWithinDepth()
{
    QFETCH(QString, kind);
    QFETCH(int, targetDepth);
    QFETCH(bool, moves);

    auto a = std::make_unique<TArchive>();
    TUnit *top = a->AUnit.get();
    const bool unitTarget = kind == u"unit" || kind == u"person" || kind == u"persons";
    TUnit *deep = top;
    for (int depth = 1; depth < (unitTarget ? targetDepth : targetDepth - 1); ++depth)
        deep = Add(deep->Units, deep, "level");
    TArchItem *target = deep;
    if (!unitTarget)
        target = Add(deep->Archives, deep, "deep folder");
    QCOMPARE(Item_Depth(target), targetDepth);

    TArchItem *item = nullptr;
    TArchItem *oldParent = nullptr;
    bool moved = false;
    if (kind == u"document") {
        TDocument *d = Add(a->Documents, a.get(), "moved");
        Add(d->Docs, d, "inner");
        item = d;
        oldParent = a.get();
        moved = Move_Document(d, a->Documents, target);
    } else if (kind == u"folder") {
        TDocArchive *f = Add(a->Archives, a.get(), "moved");
        Add(f->Docs, f, "inner");
        item = f;
        oldParent = a.get();
        moved = Move_Folder(f, target);
    } else if (kind == u"subject") {
        TDocArchive *holder = Add(a->Archives, a.get(), "holder");
        TSubject *s = Add(holder->Subs, holder, "moved");
        Add(s->Docs, s, "inner");
        item = s;
        oldParent = holder;
        moved = Move_Subject(s, target);
    } else if (kind == u"unit") {
        TUnit *u = Add(top->Units, top, "moved");
        Add(u->Documents, u, "inner");
        item = u;
        oldParent = top;
        moved = Move_Unit(u, target);
    } else {
        TUnit *holder = Add(top->Units, top, "holder");
        TPerson *p = Add(holder->Persons->Persons, holder, "moved");
        Add(p->Documents, p, "inner");
        item = p;
        oldParent = holder;
        moved = kind == u"person" ? Move_Person(p, target) : Move_Persons(holder->Persons.get(), target);
    }
    QCOMPARE(moved, moves);
    QCOMPARE(item->Parent, moves ? target : oldParent);
    QCOMPARE(Item_Depth(item), moves ? targetDepth + 1 : Item_Depth(oldParent) + 1);

    // whatever the moves allowed saves and reads back
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deep.arc"));
    QVERIFY(Save_Archive_File(*a, path, false, false));
    const auto back = Load_Archive_File(path, false, false);
    QCOMPARE(back->DocumentsCount(), a->DocumentsCount());
}

void tst_TArchItem::depthOfItems()
{
    TArchive a;
    TUnit *top = a.AUnit.get();
    TPerson *onUnit = Add(top->Persons->Persons, top, "p");
    TPerson *onGroup = Add(top->Persons->Persons, top->Persons.get(), "q");
    TSubject *s = Add(onGroup->Subjects, onGroup, "s");
    TDocument *d = Add(s->Docs, s, "d");
    Add(d->Docs, d, "sub");
    Add(top->Archive->Docs, top->Archive.get(), "own");

    // a persons group is no level, whichever Parent the person has
    QCOMPARE(Item_Depth(&a), 0);
    QCOMPARE(Item_Depth(top), 1);
    QCOMPARE(Item_Depth(top->Persons.get()), 1);
    QCOMPARE(Item_Depth(onUnit), 2);
    QCOMPARE(Item_Depth(onGroup), 2);
    QCOMPARE(Item_Depth(d), 4);

    QCOMPARE(Subtree_Height(d), 2);
    QCOMPARE(Subtree_Height(onUnit), 1);
    QCOMPARE(Subtree_Height(top->Persons.get()), 4);
    QCOMPARE(Subtree_Height(top), 5);
    QCOMPARE(Subtree_Height(&a), 6);

    // adding one item: allowed up to the last level
    TUnit *deep = top;
    for (int depth = 1; depth < Max_Archive_Depth - 1; ++depth)
        deep = Add(deep->Units, deep, "level");
    QVERIFY(Fits_Depth(deep));
    QVERIFY(!Fits_Depth(Add(deep->Units, deep, "last")));
}

// Destroying a filled archive must not touch a destroyed item (run under the sanitizer).
void tst_TArchItem::destroyLargeArchive()
{
    auto a = New_Archive();
    TUnit *u = a->AUnit.get();
    for (int i = 0; i < 200; ++i) {
        TUnit *sub = Add(u->Units, u);
        TPerson *p = Add(sub->Persons->Persons, sub);
        TSubject *s = Add(p->Subjects, p);
        for (int j = 0; j < 50; ++j)
            Add(Add(s->Docs, s)->Docs, nullptr);
    }
    a->Fill_Lists();
    QCOMPARE(a->Document_List.size(), 1 + 200 * 50 * 2);
    QCOMPARE(a->DocumentsCount(), 1 + 200 * 50 * 2);
    a.reset();
}

QTEST_GUILESS_MAIN(tst_TArchItem)
#include "tst_tarchitem.moc"
