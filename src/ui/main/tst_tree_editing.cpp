#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include "local/localization.h"
#include "ui/main/control_bridge.h"
#include "ui/main/tst_tree_fixture.h"

namespace {

const QRegularExpression Id_Pattern(QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"));

} // namespace

class tst_TreeEditing : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void addCommands_data();
    void addCommands();
    void addCommandsRefuseOtherKinds_data();
    void addCommandsRefuseOtherKinds();
    void addPersonGoesToTheLoadedGroupNode();
    void addPersonWithoutGroupNodeGoesUnderTheUnit();
    void addingUnderAFolderNeverOpenedShowsAllOfIt_data();
    void addingUnderAFolderNeverOpenedShowsAllOfIt();
    void namingTheNewItemRenamesItAndNotTheParent();
    void insertKeys_data();
    void insertKeys();
    void renameCleansTheText_data();
    void renameCleansTheText();
    void renameThroughTheEditor();
    void escapeCancelsTheEdit();
    void personsGroupIsNotEditable();
    void deletePairs_data();
    void deletePairs();
    void deleteAsksAndNoKeepsTheItem();
    void deleteOfAnItemWithItemsIsRefusedWithoutAsking();
    void menuDeleteCountsAsAChangeWhateverTheAnswer();
    void deleteWaitsForARunningLoop();
    void deleteKeyOnTheSelectedNode();

private:
    std::unique_ptr<TTree_Fixture> F;
    std::unique_ptr<TArchive_Tree> Tree;

    TArchItem *Item(const QString &which) const;
    QTreeWidgetItem *Node(const QString &which) const { return Tree->Node_Of_Item(Item(which)); }
    // Opens what has to be open for the node of an item that is not loaded at first.
    void Load_For(const QString &which);
    void Finish_Edit(const QString &text);
};

TArchItem *tst_TreeEditing::Item(const QString &which) const
{
    const QHash<QString, TArchItem *> items = {
        {"archive", F->Archive.get()},
        {"top", F->Top},
        {"sales", F->Sales},
        {"empty unit", F->Empty_Unit},
        {"persons", F->Top->Persons.get()},
        {"sales persons", F->Sales->Persons.get()},
        {"alice", F->Alice},
        {"bob", F->Bob},
        {"lease", F->Lease},
        {"annex", F->Annex},
        {"page", F->Page},
        {"letters", F->Letters},
        {"letter", F->Letter_1},
        {"old", F->Old},
        {"old 1", F->Old_1},
        {"tenders", F->Tenders},
        {"tender", F->Tender_A},
        {"alice doc", F->Alice_Doc},
        {"alice subj", F->Alice_Subj},
        {"alice folder", F->Alice_Folder},
        {"loose", F->Loose},
        {"doc", F->Doc_Lower},
        {"own", F->Top->Archive.get()},
        {"own 1", F->Own_1},
    };
    Q_ASSERT(items.contains(which));
    return items.value(which);
}

void tst_TreeEditing::Load_For(const QString &which)
{
    QVERIFY(Tree->Locate_Item_Node(Tree->Root_Node(), Item(which)));
}

void tst_TreeEditing::Finish_Edit(const QString &text)
{
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits the edit from the event loop.
    QTRY_VERIFY(!Tree->Is_Editing());
}

void tst_TreeEditing::init()
{
    Reset_Localization();
    F = std::make_unique<TTree_Fixture>();
    Tree = std::make_unique<TArchive_Tree>();
    Tree->resize(347, 600);
    Tree->Set_Archive(F->Archive.get());
    Tree->Build_Tree();
    Tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(Tree.get()));
}

void tst_TreeEditing::cleanup()
{
    Tree.reset();
    F.reset();
    Set_Msg_Box_Answerer({});
    Reset_Localization();
}

// ---------------------------------------------------------------------------------------
// Adding

void tst_TreeEditing::addCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("on");
    QTest::addColumn<QString>("name");

    QTest::newRow("document under the archive") << "document" << "archive" << "Document";
    QTest::newRow("document under a unit") << "document" << "top" << "Document";
    QTest::newRow("document under a person") << "document" << "alice" << "Document";
    QTest::newRow("document under a document") << "document" << "lease" << "Document";
    QTest::newRow("document under a subject") << "document" << "tenders" << "Document";
    QTest::newRow("document under a folder") << "document" << "letters" << "Document";
    QTest::newRow("folder under the archive") << "folder" << "archive" << "Documents";
    QTest::newRow("folder under a unit") << "folder" << "top" << "Documents";
    QTest::newRow("folder under a person") << "folder" << "alice" << "Documents";
    QTest::newRow("folder under a folder") << "folder" << "letters" << "Documents";
    QTest::newRow("person under a persons group") << "person" << "persons" << "Person";
    QTest::newRow("subject under a subject") << "subject" << "tenders" << "Subject";
    QTest::newRow("subject under a folder") << "subject" << "letters" << "Subject";
    QTest::newRow("subject under a person") << "subject" << "alice" << "Subject";
    QTest::newRow("unit under a unit") << "unit" << "sales" << "Section";
}

void tst_TreeEditing::addCommands()
{
    QFETCH(QString, command);
    QFETCH(QString, on);
    QFETCH(QString, name);
    Load_For(on);
    QTreeWidgetItem *node = Node(on);
    TArchItem *parent = Item(on);
    node->setExpanded(true);
    const int before = node->childCount();
    QSignalSpy saves(Tree.get(), &TArchive_Tree::Need_To_Save);

    QTreeWidgetItem *added = nullptr;
    if (command == "document")
        added = Tree->Add_Document(node);
    else if (command == "folder")
        added = Tree->Add_Documents_Group(node);
    else if (command == "person")
        added = Tree->Add_Person(node);
    else if (command == "subject")
        added = Tree->Add_Subject(node);
    else if (command == "unit")
        added = Tree->Add_Unit(node);
    QVERIFY(added);
    TArchItem *item = Tree->Item_Of_Node(added);
    QVERIFY(item);

    QCOMPARE(item->Name, name);
    QCOMPARE(added->text(0), Translate(name));
    QCOMPARE(item->Parent, parent);
    QVERIFY2(Id_Pattern.match(item->Id).hasMatch(), qPrintable(item->Id));
    // The last child, opened, selected and being named.
    QCOMPARE(added->parent(), node);
    QCOMPARE(node->childCount(), before + 1);
    QCOMPARE(node->child(node->childCount() - 1), added);
    QVERIFY(node->isExpanded());
    QCOMPARE(Tree->currentItem(), added);
    QVERIFY(Tree->Is_Editing());
    QCOMPARE(saves.count(), 1);
    QVERIFY(F->Archive->NeedSave());

    // At the end of the list the command names, in the model.
    bool last = false;
    if (auto *u = dynamic_cast<TUnit *>(parent); u && command == "unit")
        last = u->Units.back().get() == item;
    else if (auto *g = dynamic_cast<TPersons_Group *>(parent))
        last = g->Persons.back().get() == item;
    else if (auto *d = dynamic_cast<TDocument *>(item))
        last = Documents_List_Of(parent)->back().get() == d;
    else if (auto *s = dynamic_cast<TSubject *>(item)) {
        if (auto *p = dynamic_cast<TPerson *>(parent))
            last = p->Subjects.back().get() == s;
        else if (auto *f = dynamic_cast<TDocArchive *>(parent))
            last = f->Subs.back().get() == s;
        else
            last = static_cast<TSubject *>(parent)->Subs.back().get() == s;
    } else if (auto *f = dynamic_cast<TDocArchive *>(item)) {
        if (auto *a = dynamic_cast<TArchive *>(parent))
            last = a->Archives.back().get() == f;
        else if (auto *u2 = dynamic_cast<TUnit *>(parent))
            last = u2->Archives.back().get() == f;
        else if (auto *p = dynamic_cast<TPerson *>(parent))
            last = p->Archives.back().get() == f;
        else
            last = static_cast<TDocArchive *>(parent)->Archives.back().get() == f;
    }
    QVERIFY(last);
}

void tst_TreeEditing::addCommandsRefuseOtherKinds_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("on");
    QTest::newRow("document under a persons group") << "document" << "persons";
    QTest::newRow("folder under a document") << "folder" << "lease";
    QTest::newRow("folder under a subject") << "folder" << "tenders";
    QTest::newRow("person under a document") << "person" << "lease";
    QTest::newRow("subject under a unit") << "subject" << "top";
    QTest::newRow("subject under a document") << "subject" << "lease";
    QTest::newRow("unit under the archive") << "unit" << "archive";
    QTest::newRow("unit under a person") << "unit" << "alice";
}

void tst_TreeEditing::addCommandsRefuseOtherKinds()
{
    QFETCH(QString, command);
    QFETCH(QString, on);
    Load_For(on);
    QSignalSpy saves(Tree.get(), &TArchive_Tree::Need_To_Save);
    QTreeWidgetItem *node = Node(on);
    const int before = node->childCount();
    QTreeWidgetItem *added = command == "document" ? Tree->Add_Document(node)
                             : command == "folder" ? Tree->Add_Documents_Group(node)
                             : command == "person" ? Tree->Add_Person(node)
                             : command == "subject" ? Tree->Add_Subject(node)
                                                    : Tree->Add_Unit(node);
    QVERIFY(!added);
    QCOMPARE(node->childCount(), before);
    QCOMPARE(saves.count(), 0);
    QVERIFY(!Tree->Add_Document(nullptr));
}

void tst_TreeEditing::addPersonGoesToTheLoadedGroupNode()
{
    QTreeWidgetItem *top = Node("top");
    QTreeWidgetItem *group = Node("persons");
    QVERIFY(group);
    QTreeWidgetItem *added = Tree->Add_Person(top);
    QVERIFY(added);
    auto *person = static_cast<TPerson *>(Tree->Item_Of_Node(added));
    QCOMPARE(added->parent(), group);
    QCOMPARE(person->Parent, static_cast<TArchItem *>(F->Top->Persons.get()));
    // The group was never opened: it now shows all its persons, not just the new one.
    QCOMPARE(Child_Texts(group), (QStringList{"Alice", "Person"}));
    QCOMPARE(F->Top->Persons->Persons.back().get(), person);
}

void tst_TreeEditing::addPersonWithoutGroupNodeGoesUnderTheUnit()
{
    QTreeWidgetItem *unit = Node("empty unit");
    QVERIFY(!Tree->Child_Node_Of_Kind(unit, TNode_Kind::Persons_Group));
    QTreeWidgetItem *added = Tree->Add_Person(unit);
    QVERIFY(added);
    auto *person = static_cast<TPerson *>(Tree->Item_Of_Node(added));
    QCOMPARE(added->parent(), unit);
    QCOMPARE(person->Parent, static_cast<TArchItem *>(F->Empty_Unit));
    QCOMPARE(F->Empty_Unit->Persons->Persons.size(), size_t(1));
    QCOMPARE(F->Empty_Unit->Persons->Persons.front().get(), person);
}

void tst_TreeEditing::addingUnderAFolderNeverOpenedShowsAllOfIt_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("on");
    QTest::addColumn<int>("children");
    QTest::newRow("document into a folder of 50") << "document" << "letters" << 53;
    QTest::newRow("subject into a folder of 50") << "subject" << "letters" << 53;
    QTest::newRow("folder into a folder of 50") << "folder" << "letters" << 53;
    QTest::newRow("document into the unit's own folder") << "document" << "own" << 2;
    QTest::newRow("person into a persons group") << "person" << "persons" << 2;
}

void tst_TreeEditing::addingUnderAFolderNeverOpenedShowsAllOfIt()
{
    QFETCH(QString, command);
    QFETCH(QString, on);
    QFETCH(int, children);
    QTreeWidgetItem *node = Node(on);
    QCOMPARE(node->childCount(), 0);
    QTreeWidgetItem *added = command == "document" ? Tree->Add_Document(node)
                             : command == "subject" ? Tree->Add_Subject(node)
                             : command == "folder" ? Tree->Add_Documents_Group(node)
                                                   : Tree->Add_Person(node);
    QVERIFY(added);
    QCOMPARE(node->childCount(), children);
    QCOMPARE(node->child(node->childCount() - 1), added);
    // Shown once each: the new item was not loaded a second time.
    QSet<TArchItem *> seen;
    for (int i = 0; i < node->childCount(); ++i)
        seen.insert(Tree->Item_Of_Node(node->child(i)));
    QCOMPARE(seen.size(), children);
    // Opening it again changes nothing.
    node->setExpanded(false);
    node->setExpanded(true);
    QCOMPARE(node->childCount(), children);
}

void tst_TreeEditing::namingTheNewItemRenamesItAndNotTheParent()
{
    // A document is shown (selected) and a sub-document is added with Insert.
    QTreeWidgetItem *lease = Node("lease");
    Tree->setCurrentItem(lease);
    QSignalSpy selected(Tree.get(), &TArchive_Tree::Selected_Item_Changed);
    QSignalSpy renamed(Tree.get(), &TArchive_Tree::Item_Renamed);
    QTest::keyClick(Tree.get(), Qt::Key_Insert);
    QTreeWidgetItem *added = Tree->currentItem();
    QVERIFY(added != lease);
    auto *sub = static_cast<TDocument *>(Tree->Item_Of_Node(added));
    QCOMPARE(sub->Parent, static_cast<TArchItem *>(F->Lease));
    // The panels were told the selection moved to the new item before the name is typed.
    QVERIFY(!selected.isEmpty());
    QCOMPARE(selected.last().at(0).value<TArchItem *>(), static_cast<TArchItem *>(sub));

    Finish_Edit(QStringLiteral("Invoice 2"));
    QCOMPARE(sub->Name, QStringLiteral("Invoice 2"));
    QCOMPARE(F->Lease->Name, QStringLiteral("Lease"));
    QCOMPARE(lease->text(0), QStringLiteral("Lease"));
    QCOMPARE(renamed.count(), 1);
    QCOMPARE(renamed.last().at(0).value<TArchItem *>(), static_cast<TArchItem *>(sub));
}

void tst_TreeEditing::insertKeys_data()
{
    QTest::addColumn<QString>("on");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("added"); // kind of the new item, empty for none

    const int none = Qt::NoModifier, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier, alt = Qt::AltModifier;
    QTest::newRow("archive ctrl+shift") << "archive" << (ctrl | shift) << "folder";
    QTest::newRow("archive plain") << "archive" << none << "document";
    QTest::newRow("archive ctrl") << "archive" << ctrl << "";
    QTest::newRow("archive shift") << "archive" << shift << "";
    QTest::newRow("unit ctrl+shift") << "top" << (ctrl | shift) << "folder";
    QTest::newRow("unit plain") << "top" << none << "document";
    QTest::newRow("unit ctrl") << "top" << ctrl << "unit";
    QTest::newRow("unit shift") << "top" << shift << "person";
    QTest::newRow("unit alt alone") << "top" << alt << "";
    QTest::newRow("unit ctrl+alt counts as ctrl") << "top" << (ctrl | alt) << "unit";
    QTest::newRow("person ctrl+shift") << "alice" << (ctrl | shift) << "folder";
    QTest::newRow("person plain") << "alice" << none << "document";
    QTest::newRow("person ctrl") << "alice" << ctrl << "subject";
    QTest::newRow("person shift") << "alice" << shift << "";
    QTest::newRow("document ctrl+shift") << "lease" << (ctrl | shift) << "";
    QTest::newRow("document plain") << "lease" << none << "document";
    QTest::newRow("document ctrl") << "lease" << ctrl << "";
    QTest::newRow("document shift: files, not built here") << "lease" << shift << "";
    QTest::newRow("subject plain") << "tenders" << none << "document";
    QTest::newRow("subject ctrl") << "tenders" << ctrl << "subject";
    QTest::newRow("subject ctrl+shift") << "tenders" << (ctrl | shift) << "";
    QTest::newRow("persons group plain") << "persons" << none << "person";
    QTest::newRow("persons group ctrl") << "persons" << ctrl << "";
    QTest::newRow("folder ctrl+shift") << "letters" << (ctrl | shift) << "folder";
    QTest::newRow("folder plain") << "letters" << none << "document";
    QTest::newRow("folder ctrl") << "letters" << ctrl << "subject";
    QTest::newRow("folder shift") << "letters" << shift << "";
}

void tst_TreeEditing::insertKeys()
{
    QFETCH(QString, on);
    QFETCH(int, modifiers);
    QFETCH(QString, added);
    Load_For(on);
    QTreeWidgetItem *node = Node(on);
    Tree->setCurrentItem(node);
    QSignalSpy saves(Tree.get(), &TArchive_Tree::Need_To_Save);
    QTest::keyClick(Tree.get(), Qt::Key_Insert, Qt::KeyboardModifiers(modifiers));

    QTreeWidgetItem *current = Tree->currentItem();
    const TNode_Kind kind = current == node ? TNode_Kind::None : Tree->Kind_Of_Node(current);
    const QHash<QString, TNode_Kind> kinds = {{"", TNode_Kind::None},
                                              {"folder", TNode_Kind::Documents_Group},
                                              {"document", TNode_Kind::Document},
                                              {"unit", TNode_Kind::Unit},
                                              {"person", TNode_Kind::Person},
                                              {"subject", TNode_Kind::Subject}};
    QCOMPARE(int(kind), int(kinds.value(added)));
    QCOMPARE(saves.count(), added.isEmpty() ? 0 : 1);
    if (!added.isEmpty())
        QCOMPARE(Tree->Item_Of_Node(current)->Parent == Item(on) || added == "person", true);
    // The key marks the archive whatever it did.
    QVERIFY(F->Archive->NeedSave());
}

// ---------------------------------------------------------------------------------------
// Renaming

void tst_TreeEditing::renameCleansTheText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("three spaces between words") << "Two   words" << "Two words";
    QTest::newRow("blanks around") << "  Lease 2025 " << "Lease 2025";
    QTest::newRow("tatweel") << QString::fromUtf8("عـقـد") << QString::fromUtf8("عقد");
    QTest::newRow("only spaces: unchanged") << "    " << "Lease";
    QTest::newRow("empty: unchanged") << "" << "Lease";
}

void tst_TreeEditing::renameCleansTheText()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QTreeWidgetItem *node = Node("lease");
    QSignalSpy saves(Tree.get(), &TArchive_Tree::Need_To_Save);
    QSignalSpy renamed(Tree.get(), &TArchive_Tree::Item_Renamed);
    Tree->Node_Text_Edited(node, typed);
    QCOMPARE(F->Lease->Name, stored);
    QCOMPARE(node->text(0), stored);
    const bool changed = stored != QLatin1String("Lease");
    QCOMPARE(saves.count(), changed ? 1 : 0);
    QCOMPARE(renamed.count(), changed ? 1 : 0);
    QCOMPARE(F->Archive->NeedSave(), changed);
}

void tst_TreeEditing::renameThroughTheEditor()
{
    // F2 on the archive root renames the archive.
    Tree->setCurrentItem(Tree->Root_Node());
    QTest::keyClick(Tree.get(), Qt::Key_F2);
    QVERIFY(Tree->Is_Editing());
    Finish_Edit(QStringLiteral("Office   2025"));
    QCOMPARE(F->Archive->Name, QStringLiteral("Office 2025"));
    QCOMPARE(Tree->Root_Node()->text(0), QStringLiteral("Office 2025"));
    QVERIFY(!Tree->Is_Editing());

    // The Edit item of the menu does the same on the selected node.
    Tree->setCurrentItem(Node("sales"));
    Tree->Tree_Menu()->findChild<QAction *>(QStringLiteral("mnu_Edit_Node"))->trigger();
    Finish_Edit(QStringLiteral("Sales and Marketing"));
    QCOMPARE(F->Sales->Name, QStringLiteral("Sales and Marketing"));
}

void tst_TreeEditing::escapeCancelsTheEdit()
{
    QSignalSpy saves(Tree.get(), &TArchive_Tree::Need_To_Save);
    Tree->setCurrentItem(Node("lease"));
    QTest::keyClick(Tree.get(), Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText(QStringLiteral("Something else"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QCOMPARE(F->Lease->Name, QStringLiteral("Lease"));
    QCOMPARE(Node("lease")->text(0), QStringLiteral("Lease"));
    QCOMPARE(saves.count(), 0);
}

void tst_TreeEditing::personsGroupIsNotEditable()
{
    Tree->setCurrentItem(Node("persons"));
    QTest::keyClick(Tree.get(), Qt::Key_F2);
    QVERIFY(!Tree->Is_Editing());
    QVERIFY(!(Node("persons")->flags() & Qt::ItemIsEditable));
}

// ---------------------------------------------------------------------------------------
// Deleting

void tst_TreeEditing::deletePairs_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<QStringList>("boxes"); // the messages shown, in order

    const QString ask = QStringLiteral("Do you want to remove this Item?");
    const QString refusal = QStringLiteral("Can't remove Item.|This item has other items belong to it.");
    QTest::newRow("archive / document") << "doc" << true << QStringList{ask};
    QTest::newRow("archive / empty folder") << "empty archive folder" << true << QStringList{ask};
    QTest::newRow("unit / unit") << "empty unit" << true << QStringList{ask};
    QTest::newRow("unit / document") << "unit doc" << true << QStringList{ask};
    QTest::newRow("unit / person directly under it") << "unit person" << true << QStringList{ask};
    QTest::newRow("unit / folder") << "unit folder" << true << QStringList{ask};
    QTest::newRow("document / document") << "page" << true << QStringList{ask};
    QTest::newRow("person / document") << "alice doc" << true << QStringList{ask};
    QTest::newRow("person / subject") << "person subject" << true << QStringList{ask};
    QTest::newRow("person / folder") << "alice folder" << true << QStringList{ask};
    QTest::newRow("subject / subject") << "sub subject" << true << QStringList{ask};
    QTest::newRow("subject / document") << "tender" << true << QStringList{ask};
    QTest::newRow("folder / document") << "letter" << true << QStringList{ask};
    QTest::newRow("folder / subject") << "folder subject" << true << QStringList{ask};
    QTest::newRow("folder / folder") << "old folder" << true << QStringList{ask};
    QTest::newRow("own folder / document") << "own 1" << true << QStringList{ask};
    QTest::newRow("persons group / person") << "bob" << true << QStringList{ask};
    QTest::newRow("the archive root") << "archive" << false << QStringList{};
    QTest::newRow("the top unit") << "top" << false << QStringList{};
    QTest::newRow("a persons group") << "sales persons" << false << QStringList{};
    // Unit / folder has a removal, but the own folder is not in the unit's list of folders.
    QTest::newRow("the unit's own folder, emptied") << "emptied own" << false << QStringList{ask, refusal};
}

void tst_TreeEditing::deletePairs()
{
    QFETCH(QString, which);
    QFETCH(bool, removed);
    QFETCH(QStringList, boxes);
    // Childless items for the rows that need one.
    TArchItem *item = nullptr;
    if (which == "empty archive folder")
        item = Add_To(F->Archive->Archives, F->Archive.get(), QStringLiteral("Empty"));
    else if (which == "unit doc")
        item = Add_To(F->Sales->Documents, F->Sales, QStringLiteral("Unit doc"));
    else if (which == "unit folder")
        item = Add_To(F->Sales->Archives, F->Sales, QStringLiteral("Unit folder"));
    else if (which == "person subject")
        item = Add_To(F->Alice->Subjects, F->Alice, QStringLiteral("Bare"));
    else if (which == "sub subject")
        item = Add_To(F->Tenders->Subs, F->Tenders, QStringLiteral("Sub"));
    else if (which == "folder subject")
        item = Add_To(F->Letters->Subs, F->Letters, QStringLiteral("Bare"));
    else if (which == "old folder")
        item = Add_To(F->Letters->Archives, F->Letters, QStringLiteral("Empty"));
    else if (which == "emptied own")
        item = F->Top->Archive.get();
    else if (which != "unit person")
        item = Item(which);
    Tree->Clear_Tree();
    Tree->Build_Tree();
    if (which == "unit person") {
        item = Tree->Item_Of_Node(Tree->Add_Person(Node("empty unit")));
        QVERIFY(item);
    }
    QTreeWidgetItem *node = Tree->Locate_Item_Node(Tree->Root_Node(), item);
    QVERIFY(node);
    if (which == "emptied own") {
        // Emptied after its node was shown, so that no items of its own stop the removal.
        F->Top->Archive->Docs.clear();
    }
    QTreeWidgetItem *parentNode = node->parent();
    const int before = parentNode ? parentNode->childCount() : 1;

    TBox_Answers answers(IDYES);
    QSignalSpy saves(Tree.get(), &TArchive_Tree::Need_To_Save);
    QCOMPARE(Tree->Delete_Node(node), removed);
    QCOMPARE(saves.count(), removed ? 1 : 0);
    QStringList asked;
    for (const TMsgBoxRequest &request : answers.Asked)
        asked << request.Text;
    QCOMPARE(asked, boxes);
    if (!boxes.isEmpty())
        QCOMPARE(answers.Asked.first().Title, QStringLiteral("Tarsel Archive"));
    if (removed) {
        QCOMPARE(parentNode->childCount(), before - 1);
        QVERIFY(!Tree->Node_Of_Item(item));
    } else {
        QCOMPARE(Tree->Item_Of_Node(Tree->Node_Of_Item(item)), item);
        QCOMPARE(parentNode ? parentNode->childCount() : 1, before);
    }
}

void tst_TreeEditing::deleteAsksAndNoKeepsTheItem()
{
    QTreeWidgetItem *node = Node("doc");
    TBox_Answers answers(IDNO);
    QSignalSpy saves(Tree.get(), &TArchive_Tree::Need_To_Save);
    QVERIFY(!Tree->Delete_Node(node));
    QCOMPARE(answers.Asked.size(), 1);
    QCOMPARE(F->Archive->Documents.size(), size_t(2));
    QCOMPARE(Tree->Node_Of_Item(F->Doc_Lower), node);
    QCOMPARE(saves.count(), 0);
}

void tst_TreeEditing::deleteOfAnItemWithItemsIsRefusedWithoutAsking()
{
    TBox_Answers answers(IDYES);
    QVERIFY(!Tree->Delete_Node(Node("lease")));
    QCOMPARE(answers.Asked.size(), 1);
    QCOMPARE(answers.Asked.first().Text, QStringLiteral("Can't remove Item.|This item has other items belong to it."));
    QVERIFY(answers.Asked.first().Style & MB_ICONEXCLAMATION);
    QVERIFY(Node("lease"));
    QCOMPARE(F->Top->Documents.size(), size_t(1));
}

void tst_TreeEditing::menuDeleteCountsAsAChangeWhateverTheAnswer()
{
    Tree->setCurrentItem(Node("doc"));
    TBox_Answers answers(IDNO);
    QSignalSpy saves(Tree.get(), &TArchive_Tree::Need_To_Save);
    Tree->Tree_Menu()->findChild<QAction *>(QStringLiteral("mnu_Delete"))->trigger();
    QCOMPARE(answers.Asked.size(), 1);
    QVERIFY(Node("doc"));
    QCOMPARE(saves.count(), 1);

    // The Delete key does not.
    QTest::keyClick(Tree.get(), Qt::Key_Delete);
    QCOMPARE(answers.Asked.size(), 2);
    QCOMPARE(saves.count(), 1);
}

void tst_TreeEditing::deleteWaitsForARunningLoop()
{
    Tree->setCurrentItem(Node("doc"));
    TBox_Answers answers(IDYES);
    QSignalSpy saves(Tree.get(), &TArchive_Tree::Need_To_Save);
    {
        TMain_Busy_Scope busy;
        QVERIFY(!Tree->Delete_Node(Node("doc")));
        QTest::keyClick(Tree.get(), Qt::Key_Delete);
        Tree->Tree_Menu()->findChild<QAction *>(QStringLiteral("mnu_Delete"))->trigger();
        Tree->Document_Menu()->findChild<QAction *>(QStringLiteral("mnu_Main_Delete"))->trigger();
    }
    QVERIFY(answers.Asked.isEmpty());
    QCOMPARE(saves.count(), 0);
    QCOMPARE(Tree->Item_Of_Node(Node("doc")), static_cast<TArchItem *>(F->Doc_Lower));
    // Once the loop is over it works again.
    QVERIFY(Tree->Delete_Node(Node("doc")));
}

void tst_TreeEditing::deleteKeyOnTheSelectedNode()
{
    Tree->setCurrentItem(Node("doc"));
    TBox_Answers answers(IDYES);
    QTest::keyClick(Tree.get(), Qt::Key_Delete);
    QCOMPARE(F->Archive->Documents.size(), size_t(1));
    QCOMPARE(F->Archive->Documents.front().get(), F->Doc_Exact);
    QVERIFY(Tree->currentItem());
    // Not while a name is being edited: the key belongs to the editor.
    Tree->setCurrentItem(Tree->Node_Of_Item(F->Doc_Exact));
    QTest::keyClick(Tree.get(), Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QCOMPARE(F->Archive->Documents.size(), size_t(1));
}

QTEST_MAIN(tst_TreeEditing)
#include "tst_tree_editing.moc"
