#include <QSignalSpy>
#include <QTest>

#include "local/localization.h"
#include "ui/main/control_bridge.h"
#include "ui/main/tst_tree_fixture.h"

class tst_TreeDrop : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void kindTable_data();
    void kindTable();
    void acceptance_data();
    void acceptance();
    void unitOntoSiblingUnit();
    void documentOntoCollapsedFolderReloadsIt();
    void documentOntoExpandedFolderMovesTheNode();
    void subjectAndFolderMoves_data();
    void subjectAndFolderMoves();
    void personOntoUnitWithoutPersonsGroupNode();
    void personOntoPersonsGroup_data();
    void personOntoPersonsGroup();
    void personsGroupOntoUnit();
    void personsGroupOntoPersonsGroup_data();
    void personsGroupOntoPersonsGroup();
    void severalNodesNeverGoUnderTheirOwnDescendant();
    void severalNodesOfMixedKinds();
    void dropWaitsForARunningLoop();
    void refusedDropChangesNothing();

private:
    std::unique_ptr<TTree_Fixture> F;
    std::unique_ptr<TArchive_Tree> Tree;

    QTreeWidgetItem *Node(TArchItem *item) const { return Tree->Locate_Item_Node(Tree->Root_Node(), item); }
    TArchItem *Item(const QString &which) const;
    void Select(const QList<TArchItem *> &items);
};

TArchItem *tst_TreeDrop::Item(const QString &which) const
{
    const QHash<QString, TArchItem *> items = {
        {"archive", F->Archive.get()},  {"top", F->Top},
        {"sales", F->Sales},            {"empty unit", F->Empty_Unit},
        {"persons", F->Top->Persons.get()}, {"sales persons", F->Sales->Persons.get()},
        {"alice", F->Alice},            {"bob", F->Bob},
        {"lease", F->Lease},            {"annex", F->Annex},
        {"page", F->Page},              {"letters", F->Letters},
        {"letter", F->Letter_1},        {"old", F->Old},
        {"tenders", F->Tenders},        {"tender", F->Tender_A},
        {"alice subj", F->Alice_Subj},  {"alice folder", F->Alice_Folder},
        {"loose", F->Loose},            {"doc", F->Doc_Lower},
    };
    Q_ASSERT(items.contains(which));
    return items.value(which);
}

void tst_TreeDrop::Select(const QList<TArchItem *> &items)
{
    Tree->setCurrentItem(Node(items.first()));
    for (TArchItem *item : items)
        Node(item)->setSelected(true);
}

void tst_TreeDrop::init()
{
    Reset_Localization();
    F = std::make_unique<TTree_Fixture>();
    Tree = std::make_unique<TArchive_Tree>();
    Tree->resize(347, 600);
    Tree->Set_Archive(F->Archive.get());
    Tree->Build_Tree();
}

void tst_TreeDrop::cleanup()
{
    Tree.reset();
    F.reset();
}

void tst_TreeDrop::kindTable_data()
{
    using K = TNode_Kind;
    QTest::addColumn<int>("dragged");
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("accepted");
    const QList<K> all = {K::Archive,        K::Unit,     K::Persons_Group, K::Person,
                          K::Subject,        K::Documents_Group, K::Document};
    const QHash<K, QList<K>> accepts = {
        {K::Person, {K::Unit, K::Persons_Group}},
        {K::Unit, {K::Unit}},
        {K::Document, {K::Archive, K::Unit, K::Person, K::Document, K::Subject, K::Documents_Group}},
        {K::Subject, {K::Documents_Group, K::Subject, K::Person}},
        {K::Persons_Group, {K::Unit, K::Persons_Group}},
        {K::Documents_Group, {K::Archive, K::Unit, K::Person, K::Documents_Group}},
        {K::Archive, all},
    };
    const QHash<K, const char *> names = {{K::Archive, "archive"},   {K::Unit, "unit"},
                                          {K::Persons_Group, "persons group"}, {K::Person, "person"},
                                          {K::Subject, "subject"},   {K::Documents_Group, "documents group"},
                                          {K::Document, "document"}};
    for (K dragged : all)
        for (K target : all)
            QTest::addRow("%s onto %s", names.value(dragged), names.value(target))
                << int(dragged) << int(target) << accepts.value(dragged).contains(target);
}

void tst_TreeDrop::kindTable()
{
    QFETCH(int, dragged);
    QFETCH(int, target);
    QFETCH(bool, accepted);
    QCOMPARE(Drag_Kind_Accepted(TNode_Kind(dragged), TNode_Kind(target)), accepted);
}

void tst_TreeDrop::acceptance_data()
{
    QTest::addColumn<QString>("dragged");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("unit onto a sibling unit") << "sales" << "empty unit" << true;
    QTest::newRow("unit onto its own parent") << "sales" << "top" << false;
    QTest::newRow("unit onto itself") << "sales" << "sales" << false;
    QTest::newRow("unit onto its own child unit") << "top" << "sales" << false;
    QTest::newRow("unit onto a folder") << "sales" << "letters" << false;
    QTest::newRow("document onto a document") << "doc" << "lease" << true;
    QTest::newRow("document onto its own sub-document") << "lease" << "page" << false;
    QTest::newRow("document onto its parent") << "annex" << "lease" << false;
    QTest::newRow("document onto a persons group") << "doc" << "persons" << false;
    QTest::newRow("document onto a person") << "doc" << "alice" << true;
    QTest::newRow("document onto the archive") << "lease" << "archive" << true;
    QTest::newRow("subject onto a folder") << "tenders" << "loose" << true;
    QTest::newRow("subject onto a unit") << "tenders" << "top" << false;
    QTest::newRow("subject onto a document") << "tenders" << "lease" << false;
    QTest::newRow("folder onto its own nested folder") << "letters" << "old" << false;
    QTest::newRow("folder onto the archive") << "letters" << "archive" << true;
    QTest::newRow("folder onto a subject") << "letters" << "tenders" << false;
    QTest::newRow("person onto another unit") << "alice" << "sales" << true;
    QTest::newRow("person onto another persons group") << "alice" << "sales persons" << true;
    QTest::newRow("person onto its own group") << "alice" << "persons" << false;
    QTest::newRow("person onto a document") << "alice" << "lease" << false;
    QTest::newRow("persons group onto another unit") << "persons" << "empty unit" << true;
    QTest::newRow("persons group onto its own unit") << "persons" << "top" << false;
    QTest::newRow("persons group onto a folder") << "persons" << "letters" << false;
    QTest::newRow("the archive onto anything") << "archive" << "lease" << false;
    QTest::newRow("no target") << "doc" << "" << false;
}

void tst_TreeDrop::acceptance()
{
    QFETCH(QString, dragged);
    QFETCH(QString, target);
    QFETCH(bool, accepted);
    Tree->setCurrentItem(Node(Item(dragged)));
    QCOMPARE(Tree->Drop_Accepted(target.isEmpty() ? nullptr : Node(Item(target))), accepted);
}

void tst_TreeDrop::unitOntoSiblingUnit()
{
    QSignalSpy saves(Tree.get(), &TArchive_Tree::Need_To_Save);
    QTreeWidgetItem *sales = Node(F->Sales);
    QTreeWidgetItem *empty = Node(F->Empty_Unit);
    Tree->setCurrentItem(sales);
    Tree->Drop_Nodes(empty);
    QCOMPARE(F->Sales->Parent, static_cast<TArchItem *>(F->Empty_Unit));
    QCOMPARE(F->Empty_Unit->Units.size(), size_t(1));
    QCOMPARE(F->Top->Units.size(), size_t(1));
    QCOMPARE(sales->parent(), empty);
    QCOMPARE(Node(F->Sales), sales);
    QCOMPARE(Child_Texts(sales), QStringList{"Persons"});
    QCOMPARE(saves.count(), 1);
    QVERIFY(F->Archive->NeedSave());
}

void tst_TreeDrop::documentOntoCollapsedFolderReloadsIt()
{
    QTreeWidgetItem *letters = Node(F->Letters);
    QVERIFY(!letters->isExpanded());
    QCOMPARE(letters->childCount(), 0);
    Tree->setCurrentItem(Node(F->Doc_Lower));
    Tree->Drop_Nodes(letters);
    QCOMPARE(F->Doc_Lower->Parent, static_cast<TArchItem *>(F->Letters));
    QCOMPARE(F->Archive->Documents.size(), size_t(1));
    QVERIFY(letters->isExpanded());
    QCOMPARE(letters->childCount(), 53);
    QCOMPARE(letters->child(50)->text(0), QStringLiteral("document"));
    QCOMPARE(Tree->Node_Of_Item(F->Doc_Lower)->parent(), letters);
    QCOMPARE(Child_Texts(Tree->Root_Node()).count(QStringLiteral("document")), 0);
}

void tst_TreeDrop::documentOntoExpandedFolderMovesTheNode()
{
    QTreeWidgetItem *letters = Node(F->Letters);
    letters->setExpanded(true);
    QTreeWidgetItem *doc = Node(F->Doc_Lower);
    Tree->setCurrentItem(doc);
    Tree->Drop_Nodes(letters);
    // The node itself moves to the end, behind the folder's subjects and folders.
    QCOMPARE(doc->parent(), letters);
    QCOMPARE(letters->child(letters->childCount() - 1), doc);
    QCOMPARE(F->Letters->Docs.back().get(), F->Doc_Lower);
    QCOMPARE(Tree->currentItem(), doc);
}

void tst_TreeDrop::subjectAndFolderMoves_data()
{
    QTest::addColumn<QString>("dragged");
    QTest::addColumn<QString>("target");
    QTest::newRow("subject onto a person") << "tenders" << "alice";
    QTest::newRow("subject onto a subject") << "tenders" << "alice subj";
    QTest::newRow("folder onto a person") << "old" << "alice";
    QTest::newRow("folder onto a unit") << "old" << "sales";
    QTest::newRow("sub-document onto the archive") << "annex" << "archive";
}

void tst_TreeDrop::subjectAndFolderMoves()
{
    QFETCH(QString, dragged);
    QFETCH(QString, target);
    TArchItem *item = Item(dragged);
    TArchItem *to = Item(target);
    TArchItem *from = item->Parent;
    Tree->setCurrentItem(Node(item));
    QSignalSpy saves(Tree.get(), &TArchive_Tree::Need_To_Save);
    Tree->Drop_Nodes(Node(to));
    QCOMPARE(item->Parent, to);
    QCOMPARE(saves.count(), 1);
    QTreeWidgetItem *node = Tree->Node_Of_Item(item);
    QVERIFY(node);
    QCOMPARE(Tree->Item_Of_Node(node->parent()), to);
    // Shown once, under the new parent only.
    for (QTreeWidgetItemIterator it(Tree.get()); *it; ++it)
        if (Tree->Item_Of_Node(*it) == item)
            QCOMPARE(*it, node);
    QTreeWidgetItem *old = Tree->Node_Of_Item(from);
    for (int i = 0; old && i < old->childCount(); ++i)
        QVERIFY(Tree->Item_Of_Node(old->child(i)) != item);
}

void tst_TreeDrop::personOntoUnitWithoutPersonsGroupNode()
{
    QTreeWidgetItem *empty = Node(F->Empty_Unit);
    QTreeWidgetItem *alice = Node(F->Alice);
    Tree->setCurrentItem(alice);
    Tree->Drop_Nodes(empty);
    QCOMPARE(F->Alice->Parent, static_cast<TArchItem *>(F->Empty_Unit));
    QCOMPARE(F->Empty_Unit->Persons->Persons.size(), size_t(1));
    QVERIFY(F->Top->Persons->Persons.empty());
    // A persons group node comes for the unit, holding the person's node with its contents.
    QTreeWidgetItem *group = Tree->Child_Node_Of_Kind(empty, TNode_Kind::Persons_Group);
    QVERIFY(group);
    QCOMPARE(group->text(0), Translate("Persons"));
    QCOMPARE(Tree->Item_Of_Node(group), static_cast<TArchItem *>(F->Empty_Unit->Persons.get()));
    QCOMPARE(alice->parent(), group);
    QCOMPARE(Child_Texts(alice), (QStringList{"Alice doc", "Alice subj", "Alice folder"}));
}

void tst_TreeDrop::personOntoPersonsGroup_data()
{
    QTest::addColumn<bool>("open");
    QTest::newRow("group never opened") << false;
    QTest::newRow("group open") << true;
}

void tst_TreeDrop::personOntoPersonsGroup()
{
    QFETCH(bool, open);
    QTreeWidgetItem *group = Node(F->Sales->Persons.get());
    if (open)
        group->setExpanded(true);
    Tree->setCurrentItem(Node(F->Alice));
    Tree->Drop_Nodes(group);
    QCOMPARE(F->Alice->Parent, static_cast<TArchItem *>(F->Sales));
    group->setExpanded(true);
    QCOMPARE(Child_Texts(group), (QStringList{"Bob", "Alice"}));
    QCOMPARE(group->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
}

void tst_TreeDrop::personsGroupOntoUnit()
{
    QTreeWidgetItem *persons = Node(F->Top->Persons.get());
    QTreeWidgetItem *empty = Node(F->Empty_Unit);
    Tree->setCurrentItem(persons);
    QSignalSpy saves(Tree.get(), &TArchive_Tree::Need_To_Save);
    Tree->Drop_Nodes(empty);
    QCOMPARE(saves.count(), 1);
    QVERIFY(F->Top->Persons->Persons.empty());
    QCOMPARE(F->Empty_Unit->Persons->Persons.size(), size_t(1));
    QCOMPARE(F->Alice->Parent, static_cast<TArchItem *>(F->Empty_Unit));
    QTreeWidgetItem *group = Tree->Child_Node_Of_Kind(empty, TNode_Kind::Persons_Group);
    QVERIFY(group);
    group->setExpanded(true);
    QCOMPARE(Child_Texts(group), QStringList{"Alice"});
    QCOMPARE(persons->childCount(), 0);
}

void tst_TreeDrop::personsGroupOntoPersonsGroup_data()
{
    QTest::addColumn<bool>("draggedOpen");
    QTest::addColumn<bool>("targetOpen");
    QTest::newRow("both open") << true << true;
    QTest::newRow("only the dragged one open") << true << false;
    QTest::newRow("only the target open") << false << true;
    QTest::newRow("neither open") << false << false;
}

void tst_TreeDrop::personsGroupOntoPersonsGroup()
{
    QFETCH(bool, draggedOpen);
    QFETCH(bool, targetOpen);
    QTreeWidgetItem *dragged = Node(F->Top->Persons.get());
    QTreeWidgetItem *target = Node(F->Sales->Persons.get());
    dragged->setExpanded(draggedOpen);
    target->setExpanded(targetOpen);
    Tree->setCurrentItem(dragged);
    Tree->Drop_Nodes(target);
    QCOMPARE(F->Sales->Persons->Persons.size(), size_t(2));
    QVERIFY(F->Top->Persons->Persons.empty());
    target->setExpanded(true);
    QCOMPARE(Child_Texts(target), (QStringList{"Bob", "Alice"}));
    QCOMPARE(dragged->childCount(), 0);
    QCOMPARE(dragged->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
    // Each person has one node.
    for (TArchItem *person : {static_cast<TArchItem *>(F->Alice), static_cast<TArchItem *>(F->Bob)}) {
        int nodes = 0;
        for (QTreeWidgetItemIterator it(Tree.get()); *it; ++it)
            nodes += Tree->Item_Of_Node(*it) == person;
        QCOMPARE(nodes, 1);
    }
}

void tst_TreeDrop::severalNodesNeverGoUnderTheirOwnDescendant()
{
    // Two sibling folders are dragged onto a folder inside the second one: the first moves,
    // the second stays where it is, still owned by the archive.
    auto *other = Add_To(F->Top->Archives, F->Top, QStringLiteral("Other"));
    Tree->Clear_Tree();
    Tree->Build_Tree();
    QTreeWidgetItem *old = Node(F->Old);
    Select({other, F->Letters});
    QCOMPARE(Tree->selectedItems().size(), 2);
    QVERIFY(Tree->Drop_Accepted(old));
    Tree->Drop_Nodes(old);

    QCOMPARE(other->Parent, static_cast<TArchItem *>(F->Old));
    QCOMPARE(F->Letters->Parent, static_cast<TArchItem *>(F->Top));
    QCOMPARE(F->Old->Parent, static_cast<TArchItem *>(F->Letters));
    QCOMPARE(F->Top->Archives.size(), size_t(1));
    QCOMPARE(F->Top->Archives.front().get(), F->Letters);
    QTreeWidgetItem *letters = Tree->Node_Of_Item(F->Letters);
    QCOMPARE(letters->parent(), Tree->Node_Of_Item(F->Top));
    QCOMPARE(Tree->Node_Of_Item(F->Old)->parent(), letters);
    QCOMPARE(Tree->Node_Of_Item(other)->parent(), Tree->Node_Of_Item(F->Old));

    // The same with the outer folder current: the drop is refused as a whole.
    auto *third = Add_To(F->Top->Archives, F->Top, QStringLiteral("Third"));
    Tree->Clear_Tree();
    Tree->Build_Tree();
    Select({F->Letters, third});
    QVERIFY(!Tree->Drop_Accepted(Node(F->Old)));
    Tree->Drop_Nodes(Node(F->Old));
    QCOMPARE(third->Parent, static_cast<TArchItem *>(F->Top));
    QCOMPARE(F->Letters->Parent, static_cast<TArchItem *>(F->Top));
}

void tst_TreeDrop::severalNodesOfMixedKinds()
{
    // A document and a unit (siblings) dropped on a folder: the folder takes the document
    // only; the unit stays in its place.
    Select({F->Lease, F->Sales});
    QCOMPARE(Tree->selectedItems().size(), 2);
    QTreeWidgetItem *letters = Node(F->Letters);
    Tree->Drop_Nodes(letters);
    QCOMPARE(F->Lease->Parent, static_cast<TArchItem *>(F->Letters));
    QCOMPARE(F->Sales->Parent, static_cast<TArchItem *>(F->Top));
    QCOMPARE(F->Top->Units.front().get(), F->Sales);
    QCOMPARE(Tree->Node_Of_Item(F->Sales)->parent(), Tree->Node_Of_Item(F->Top));
    QCOMPARE(Tree->Node_Of_Item(F->Lease)->parent(), letters);
}

void tst_TreeDrop::dropWaitsForARunningLoop()
{
    Tree->setCurrentItem(Node(F->Doc_Lower));
    QTreeWidgetItem *letters = Node(F->Letters);
    {
        TMain_Busy_Scope busy;
        QVERIFY(!Tree->Drop_Accepted(letters));
        Tree->Drop_Nodes(letters);
    }
    QCOMPARE(F->Doc_Lower->Parent, static_cast<TArchItem *>(F->Archive.get()));
    QVERIFY(Tree->Drop_Accepted(letters));
}

void tst_TreeDrop::refusedDropChangesNothing()
{
    QSignalSpy saves(Tree.get(), &TArchive_Tree::Need_To_Save);
    Tree->setCurrentItem(Node(F->Top));
    Tree->Drop_Nodes(Node(F->Sales));
    Tree->setCurrentItem(Node(F->Lease));
    Tree->Drop_Nodes(Node(F->Page));
    Tree->Drop_Nodes(nullptr);
    QCOMPARE(saves.count(), 0);
    QCOMPARE(F->Sales->Parent, static_cast<TArchItem *>(F->Top));
    QCOMPARE(F->Lease->Parent, static_cast<TArchItem *>(F->Top));
    QCOMPARE(F->Page->Parent, static_cast<TArchItem *>(F->Annex));
    QVERIFY(!F->Archive->NeedSave());
}

QTEST_MAIN(tst_TreeDrop)
#include "tst_tree_drop.moc"
