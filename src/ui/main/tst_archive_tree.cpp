#include <QKeyEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "archive/archive_file.h"
#include "local/localization.h"
#include "ui/main/item_counts.h"
#include "ui/main/tst_tree_fixture.h"

Q_DECLARE_METATYPE(TNode_Kind)

namespace {

QStringList Visible_Actions(const QMenu *menu)
{
    QStringList names;
    for (const QAction *a : menu->actions())
        if (a->isVisible() && !a->isSeparator())
            names << a->objectName();
    return names;
}

} // namespace

class tst_ArchiveTree : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void buildsUnitsAndDocumentsAtOnceAndFoldersOnDemand();
    void nodeTexts_data();
    void nodeTexts();
    void emptyFolderNameBecomesDocumentsInTheArchive();
    void sampleArchiveBuildsAsStored();
    void expandingLoadsFolderContentsOnce();
    void expandingSubjectsPersonsAndGroups();
    void emptyFolderLosesItsButtonOnceOpened();
    void nodeOfItemFollowsNodesThatComeAndGo();
    void findNodeUnderSearchesOnlyThatSubtree();
    void childNodeOfKind();
    void locateItemNodeLoadsTheWayDown_data();
    void locateItemNodeLoadsTheWayDown();
    void locateOfNothing();
    void updateItemShowsTheStoredName();
    void refreshReloadsFromTheArchive();
    void countsFollowTheSelection();
    void formatCount_data();
    void formatCount();
    void zoomStepsFromTheShownSizeAndStopsAtTheLimits();
    void retranslateFolderNodes();
    void selectionStaysAmongVisibleSiblings();
    void rightClickSelectsTheNodeUnderTheMouse();
    void treeMenuForEachKind_data();
    void treeMenuForEachKind();
    void laterCommandsStayHiddenUntilAvailable();
    void documentMenuOnlyForDocuments();
    void toolbarPlaceAndButtons_data();
    void toolbarPlaceAndButtons();
    void clearTreeForgetsEverything();

private:
    std::unique_ptr<TTree_Fixture> F;
    std::unique_ptr<TArchive_Tree> Tree;

    QTreeWidgetItem *Root() const { return Tree->Root_Node(); }
    QTreeWidgetItem *Top_Node() const { return Tree->Node_Of_Item(F->Top); }
};

void tst_ArchiveTree::init()
{
    Reset_Localization();
    F = std::make_unique<TTree_Fixture>();
    Tree = std::make_unique<TArchive_Tree>();
    Tree->resize(347, 500);
    Tree->Set_Archive(F->Archive.get());
    Tree->Build_Tree();
}

void tst_ArchiveTree::cleanup()
{
    Tree.reset();
    F.reset();
    Reset_Localization();
}

void tst_ArchiveTree::buildsUnitsAndDocumentsAtOnceAndFoldersOnDemand()
{
    QCOMPARE(Tree->topLevelItemCount(), 1);
    QCOMPARE(Root()->text(0), QStringLiteral("Test Archive"));
    QCOMPARE(Tree->Item_Of_Node(Root()), F->Archive.get());
    QVERIFY(Root()->isExpanded());
    QCOMPARE(Tree->currentItem(), Root());
    QCOMPARE(Child_Texts(Root()), (QStringList{"Document", "document", "Documents", "Top"}));

    // The top unit: its documents with their sub-documents, folders, own folder, persons, units.
    QCOMPARE(Child_Texts(Top_Node()), (QStringList{"Lease", "Letters", "Documents", "Persons", "Sales", "Empty Unit"}));
    QVERIFY(Top_Node()->isExpanded());
    QCOMPARE(Child_Texts(Tree->Node_Of_Item(F->Annex)), QStringList{"Page"});

    // Folders and persons groups wait for their expansion, with a button meanwhile.
    for (TArchItem *lazy : {static_cast<TArchItem *>(F->Letters), static_cast<TArchItem *>(F->Top->Archive.get()),
                            static_cast<TArchItem *>(F->Top->Persons.get()), static_cast<TArchItem *>(F->Loose)}) {
        QTreeWidgetItem *node = Tree->Node_Of_Item(lazy);
        QVERIFY2(node, qPrintable(lazy->Name));
        QCOMPARE(node->childCount(), 0);
        QCOMPARE(node->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        QVERIFY(!Tree->Is_Loaded(node));
    }
    QVERIFY(!Tree->Node_Of_Item(F->Alice));

    // A unit with a person shows the group and opens; one without shows neither.
    QTreeWidgetItem *sales = Tree->Node_Of_Item(F->Sales);
    QCOMPARE(Child_Texts(sales), QStringList{"Persons"});
    QVERIFY(sales->isExpanded());
    QCOMPARE(Tree->Node_Of_Item(F->Empty_Unit)->childCount(), 0);
    QVERIFY(!Tree->Node_Of_Item(F->Empty_Unit)->isExpanded());
}

void tst_ArchiveTree::nodeTexts_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("exact");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("persons");

    QTest::newRow("english") << QString() << "Document" << "Documents" << "Persons";
    QTest::newRow("arabic") << ":/langs/arabic.local" << "وثيقة" << "الوثائق" << "الأشخاص";
}

void tst_ArchiveTree::nodeTexts()
{
    QFETCH(QString, language);
    QFETCH(QString, exact);
    QFETCH(QString, folder);
    QFETCH(QString, persons);
    if (!language.isEmpty())
        QCOMPARE(Load_Localization(language), QString());
    QCOMPARE(Translate("Document"), exact);
    QCOMPARE(Translate("Documents"), folder);
    QCOMPARE(Translate("Persons"), persons);

    Tree->Clear_Tree();
    Tree->Build_Tree();
    // Only the exact name is the translated word; other spellings show as stored.
    QCOMPARE(Tree->Node_Of_Item(F->Doc_Exact)->text(0), exact);
    QCOMPARE(Tree->Node_Of_Item(F->Doc_Lower)->text(0), QStringLiteral("document"));
    QCOMPARE(Tree->Node_Of_Item(F->Loose)->text(0), folder);
    QCOMPARE(Tree->Node_Of_Item(F->Top->Archive.get())->text(0), folder);
    QCOMPARE(Tree->Node_Of_Item(F->Top->Persons.get())->text(0), persons);
    QCOMPARE(Tree->Node_Of_Item(F->Letters)->text(0), QStringLiteral("Letters"));
    QCOMPARE(Top_Node()->text(0), QStringLiteral("Top"));
}

void tst_ArchiveTree::emptyFolderNameBecomesDocumentsInTheArchive()
{
    QCOMPARE(F->Loose->Name, QStringLiteral("Documents"));
    // Naming it is not a change the user made.
    QVERIFY(!F->Archive->NeedSave());
}

void tst_ArchiveTree::sampleArchiveBuildsAsStored()
{
    std::unique_ptr<TArchive> archive =
        Load_Archive_File(QStringLiteral(TARSEL_SOURCE_DIR "/samples/sample.arc"), false, false);
    TArchive_Tree tree;
    tree.Set_Archive(archive.get());
    tree.Build_Tree();
    QCOMPARE(tree.Root_Node()->text(0), QStringLiteral("Sample Archive"));
    QTreeWidgetItem *company = Child_Named(tree.Root_Node(), QStringLiteral("Al-Noor Trading Company"));
    QVERIFY(company);
    QTreeWidgetItem *lease = Child_Named(company, QStringLiteral("Office lease contract"));
    QVERIFY(lease);
    QCOMPARE(Child_Texts(lease), (QStringList{"Annex A: floor plan", "إشعار تجديد العقد"}));
    QTreeWidgetItem *correspondence = Child_Named(company, QStringLiteral("Correspondence 2024"));
    QVERIFY(correspondence);
    QCOMPARE(correspondence->childCount(), 0);
    correspondence->setExpanded(true);
    QVERIFY(Child_Named(correspondence, QStringLiteral("Incoming")));
    // Every loaded node refers to its own item, and the item leads back to it.
    for (QTreeWidgetItemIterator it(&tree); *it; ++it)
        QCOMPARE(tree.Node_Of_Item(tree.Item_Of_Node(*it)), *it);
}

void tst_ArchiveTree::expandingLoadsFolderContentsOnce()
{
    QTreeWidgetItem *letters = Tree->Node_Of_Item(F->Letters);
    letters->setExpanded(true);
    QCOMPARE(letters->childCount(), 52);
    QCOMPARE(letters->child(0)->text(0), QStringLiteral("Letter 1"));
    QCOMPARE(letters->child(49)->text(0), QStringLiteral("Letter 50"));
    // Documents, then subjects, then nested folders.
    QCOMPARE(letters->child(50)->text(0), QStringLiteral("Tenders"));
    QCOMPARE(letters->child(51)->text(0), QStringLiteral("Old"));
    QCOMPARE(letters->child(50)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    QCOMPARE(letters->child(50)->childCount(), 0);

    letters->setExpanded(false);
    letters->setExpanded(true);
    QCOMPARE(letters->childCount(), 52);
}

void tst_ArchiveTree::expandingSubjectsPersonsAndGroups()
{
    QTreeWidgetItem *persons = Tree->Node_Of_Item(F->Top->Persons.get());
    persons->setExpanded(true);
    QCOMPARE(Child_Texts(persons), QStringList{"Alice"});
    // A person comes with its documents, subjects and folders.
    QTreeWidgetItem *alice = Tree->Node_Of_Item(F->Alice);
    QCOMPARE(Child_Texts(alice), (QStringList{"Alice doc", "Alice subj", "Alice folder"}));

    QTreeWidgetItem *subject = Tree->Node_Of_Item(F->Alice_Subj);
    subject->setExpanded(true);
    QCOMPARE(Child_Texts(subject), QStringList{"Alice subj doc"});

    QTreeWidgetItem *own = Tree->Node_Of_Item(F->Top->Archive.get());
    own->setExpanded(true);
    QCOMPARE(Child_Texts(own), QStringList{"Own 1"});

    // A subject without contents has no button.
    auto *bare = Add_To(F->Letters->Subs, F->Letters, QStringLiteral("Bare"));
    Tree->Node_Of_Item(F->Letters)->setExpanded(true);
    QCOMPARE(Tree->Node_Of_Item(bare)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void tst_ArchiveTree::emptyFolderLosesItsButtonOnceOpened()
{
    QTreeWidgetItem *folder = Tree->Node_Of_Item(F->Alice_Folder);
    QVERIFY(!folder);
    Tree->Node_Of_Item(F->Top->Persons.get())->setExpanded(true);
    folder = Tree->Node_Of_Item(F->Alice_Folder);
    QCOMPARE(folder->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    folder->setExpanded(true);
    QCOMPARE(folder->childCount(), 0);
    QCOMPARE(folder->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void tst_ArchiveTree::nodeOfItemFollowsNodesThatComeAndGo()
{
    QVERIFY(!Tree->Node_Of_Item(F->Letter_1));
    QTreeWidgetItem *letters = Tree->Node_Of_Item(F->Letters);
    letters->setExpanded(true);
    QTreeWidgetItem *first = Tree->Node_Of_Item(F->Letter_1);
    QVERIFY(first);
    QCOMPARE(first->parent(), letters);

    // Deleting a subtree takes all of its nodes out of the index.
    QTreeWidgetItem *annex = Tree->Node_Of_Item(F->Annex);
    delete Tree->Node_Of_Item(F->Lease);
    QVERIFY(!Tree->Node_Of_Item(F->Lease));
    QVERIFY(!Tree->Node_Of_Item(F->Annex));
    QVERIFY(!Tree->Node_Of_Item(F->Page));
    Q_UNUSED(annex);

    // A moved node keeps its entry.
    QTreeWidgetItem *old = Tree->Node_Of_Item(F->Old);
    letters->removeChild(old);
    Root()->addChild(old);
    QCOMPARE(Tree->Node_Of_Item(F->Old), old);

    // Refreshing gives new nodes, and the index points at them.
    Tree->setCurrentItem(letters);
    Tree->Refresh_Selected_Node();
    QTreeWidgetItem *again = Tree->Node_Of_Item(F->Letter_1);
    QVERIFY(again);
    QCOMPARE(again->parent(), letters);
    QCOMPARE(again->treeWidget(), Tree.get());
}

void tst_ArchiveTree::findNodeUnderSearchesOnlyThatSubtree()
{
    QTreeWidgetItem *annex = Tree->Node_Of_Item(F->Annex);
    QTreeWidgetItem *lease = Tree->Node_Of_Item(F->Lease);
    QCOMPARE(Tree->Find_Node_Under(lease, F->Annex), annex);
    QCOMPARE(Tree->Find_Node_Under(nullptr, F->Annex), annex);
    QCOMPARE(Tree->Find_Node_Under(lease, F->Lease), lease);
    QVERIFY(!Tree->Find_Node_Under(Tree->Node_Of_Item(F->Sales), F->Annex));
    QVERIFY(!Tree->Find_Node_Under(lease, nullptr));
    // Only loaded nodes are searched.
    QVERIFY(!Tree->Find_Node_Under(nullptr, F->Tender_A));
}

void tst_ArchiveTree::childNodeOfKind()
{
    QTreeWidgetItem *top = Top_Node();
    QCOMPARE(Tree->Child_Node_Of_Kind(top, TNode_Kind::Document), Tree->Node_Of_Item(F->Lease));
    QCOMPARE(Tree->Child_Node_Of_Kind(top, TNode_Kind::Documents_Group), Tree->Node_Of_Item(F->Letters));
    QCOMPARE(Tree->Child_Node_Of_Kind(top, TNode_Kind::Persons_Group), Tree->Node_Of_Item(F->Top->Persons.get()));
    QCOMPARE(Tree->Child_Node_Of_Kind(top, TNode_Kind::Unit), Tree->Node_Of_Item(F->Sales));
    QVERIFY(!Tree->Child_Node_Of_Kind(top, TNode_Kind::Subject));
    QVERIFY(!Tree->Child_Node_Of_Kind(nullptr, TNode_Kind::Unit));

    // A TGroup counts as a documents group.
    auto *group = Add_To(F->Archive->Archives, F->Archive.get(), QStringLiteral("Group"));
    Q_UNUSED(group);
    auto owned = std::make_unique<TGroup>();
    owned->Parent = F->Archive.get();
    TGroup *g = owned.get();
    F->Archive->Archives.push_back(std::move(owned));
    Tree->Clear_Tree();
    Tree->Build_Tree();
    QCOMPARE(Tree->Kind_Of_Node(Tree->Node_Of_Item(g)), TNode_Kind::Documents_Group);
}

void tst_ArchiveTree::locateItemNodeLoadsTheWayDown_data()
{
    QTest::addColumn<QString>("which");
    QTest::newRow("document in a folder") << "Letter_1";
    QTest::newRow("document in a subject in a folder") << "Tender_A";
    QTest::newRow("document in a folder in a folder") << "Old_1";
    QTest::newRow("person under its persons group") << "Alice";
    QTest::newRow("document in a person's subject") << "Alice_Subj_Doc";
    QTest::newRow("already loaded") << "Page";
}

void tst_ArchiveTree::locateItemNodeLoadsTheWayDown()
{
    QFETCH(QString, which);
    const QHash<QString, TArchItem *> items = {
        {"Letter_1", F->Letter_1}, {"Tender_A", F->Tender_A}, {"Old_1", F->Old_1},
        {"Alice", F->Alice},       {"Alice_Subj_Doc", F->Alice_Subj_Doc}, {"Page", F->Page}};
    TArchItem *item = items.value(which);
    const bool loaded = Tree->Node_Of_Item(item);
    QTreeWidgetItem *node = Tree->Locate_Item_Node(Root(), item);
    QVERIFY(node);
    QCOMPARE(Tree->Item_Of_Node(node), item);
    QCOMPARE(node->text(0), item->Name);
    // The way down that had to be loaded is open, so the node is on screen.
    for (QTreeWidgetItem *p = node->parent(); p && !loaded; p = p->parent())
        QVERIFY2(p->isExpanded(), qPrintable(p->text(0)));
    // Nothing appears twice on the way.
    QCOMPARE(Child_Texts(node->parent()).count(node->text(0)), 1);
}

void tst_ArchiveTree::locateOfNothing()
{
    QVERIFY(!Tree->Locate_Item_Node(nullptr, F->Letter_1));
    QVERIFY(!Tree->Locate_Item_Node(Root(), nullptr));
    TDocument detached;
    QVERIFY(!Tree->Locate_Item_Node(Root(), &detached));
    // Starting below the item's branch finds nothing.
    QVERIFY(!Tree->Locate_Item_Node(Tree->Node_Of_Item(F->Sales), F->Letter_1));
}

void tst_ArchiveTree::updateItemShowsTheStoredName()
{
    F->Lease->Name = QStringLiteral("Lease 2025");
    Tree->Update_Item(F->Lease);
    QCOMPARE(Tree->Node_Of_Item(F->Lease)->text(0), QStringLiteral("Lease 2025"));
    // As stored: no translation of the exact word here.
    Tree->Update_Item(F->Doc_Exact);
    QCOMPARE(Tree->Node_Of_Item(F->Doc_Exact)->text(0), QStringLiteral("Document"));
    // An item without a node changes nothing.
    Tree->Update_Item(F->Tender_A);
    Tree->Update_Item(nullptr);
}

void tst_ArchiveTree::refreshReloadsFromTheArchive()
{
    QTreeWidgetItem *top = Top_Node();
    Add_To(F->Top->Documents, F->Top, QStringLiteral("Added outside"));
    Tree->setCurrentItem(top);
    QTest::keyClick(Tree.get(), Qt::Key_F5);
    QCOMPARE(Child_Texts(top),
             (QStringList{"Lease", "Added outside", "Letters", "Documents", "Persons", "Sales", "Empty Unit"}));
    QVERIFY(top->isExpanded());
    QCOMPARE(Child_Texts(Tree->Node_Of_Item(F->Sales)), QStringList{"Persons"});

    // A refreshed node without contents loses its button.
    QTreeWidgetItem *empty = Tree->Node_Of_Item(F->Empty_Unit);
    Tree->setCurrentItem(empty);
    Tree->Refresh_Selected_Node();
    QCOMPARE(empty->childCount(), 0);
    QCOMPARE(empty->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void tst_ArchiveTree::countsFollowTheSelection()
{
    QSignalSpy counts(Tree.get(), &TArchive_Tree::Item_Counts_Changed);
    QSignalSpy selected(Tree.get(), &TArchive_Tree::Selected_Item_Changed);
    F->Lease->Digital_Files.append({QStringLiteral("2024-05-12\\a.pdf"), 0});
    F->Lease->Digital_Files.append({QString(), 1});
    Tree->setCurrentItem(Tree->Node_Of_Item(F->Lease));
    QCOMPARE(counts.count(), 1);
    // documents, subjects, persons, units, files
    QCOMPARE(counts.last(), (QVariantList{1, 0, 0, 0, 1}));
    QCOMPARE(selected.last().at(0).value<TArchItem *>(), static_cast<TArchItem *>(F->Lease));

    Tree->setCurrentItem(Top_Node());
    const TUnit *top = F->Top;
    QCOMPARE(counts.last(), (QVariantList{top->DocumentsCount(), top->SubjectsCount(), top->PersonsCount(),
                                          top->UnitsCount(), top->FilesCount()}));
    QCOMPARE(counts.last().at(2).toInt(), 2);
    QCOMPARE(counts.last().at(3).toInt(), 2);
}

void tst_ArchiveTree::formatCount_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero prints nothing") << 0 << "";
    QTest::newRow("one") << 1 << "1";
    QTest::newRow("grouped") << 1234567 << "1,234,567";
    QTest::newRow("three digits") << 999 << "999";
}

void tst_ArchiveTree::formatCount()
{
    QFETCH(int, n);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale::c());
    QCOMPARE(Format_Count(n), text);
}

void tst_ArchiveTree::zoomStepsFromTheShownSizeAndStopsAtTheLimits()
{
    QCOMPARE(Tree->font().pointSize(), 12);
    QCOMPARE(Tree->font().family(), QStringLiteral("Arial"));
    QTest::keyClick(Tree.get(), Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(Tree->font().pointSize(), 13);
    QTest::keyClick(Tree.get(), Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(Tree.get(), Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(Tree->font().pointSize(), 11);
    QCOMPARE(Tree->Tree_Zoom(), 11);

    Tree->Set_Tree_Zoom(40);
    QCOMPARE(Tree->font().pointSize(), 24);
    QTest::keyClick(Tree.get(), Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(Tree->font().pointSize(), 24);
    Tree->Set_Tree_Zoom(1);
    QCOMPARE(Tree->font().pointSize(), 6);
    QCOMPARE(Tree->Tree_Zoom(), 6);

    // The keys work while a name is being edited, and the edit goes on.
    Tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(Tree.get()));
    Tree->Set_Tree_Zoom(12);
    Tree->Edit_Node(Tree->Node_Of_Item(F->Lease));
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(editor && editor != Tree.get());
    QTest::keyClick(editor, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(Tree->font().pointSize(), 13);
    QVERIFY(Tree->Is_Editing());
}

void tst_ArchiveTree::retranslateFolderNodes()
{
    Tree->Node_Of_Item(F->Top->Persons.get())->setExpanded(true);
    QCOMPARE(Load_Localization(QStringLiteral(":/langs/arabic.local")), QString());
    Tree->Retranslate_Folder_Nodes();
    QCOMPARE(Tree->Node_Of_Item(F->Loose)->text(0), Translate("Documents"));
    QCOMPARE(Tree->Node_Of_Item(F->Top->Archive.get())->text(0), Translate("Documents"));
    QCOMPARE(Tree->Node_Of_Item(F->Top->Persons.get())->text(0), Translate("Persons"));
    // Other nodes keep their texts, the exact "Document" too.
    QCOMPARE(Tree->Node_Of_Item(F->Doc_Exact)->text(0), QStringLiteral("Document"));
    QCOMPARE(Tree->Node_Of_Item(F->Alice)->text(0), QStringLiteral("Alice"));
    QCOMPARE(Tree->Node_Of_Item(F->Letters)->text(0), QStringLiteral("Letters"));

    // Localize does the same and leaves the menus mirrored; twice changes nothing.
    Tree->Localize();
    Tree->Localize();
    QCOMPARE(Tree->Tree_Menu()->layoutDirection(), Qt::RightToLeft);
    QCOMPARE(Tree->Node_Of_Item(F->Loose)->text(0), Translate("Documents"));
    QCOMPARE(Tree->Document_Menu()->title(), Translate("Document"));
}

void tst_ArchiveTree::selectionStaysAmongVisibleSiblings()
{
    QTreeWidgetItem *lease = Tree->Node_Of_Item(F->Lease);
    QTreeWidgetItem *letters = Tree->Node_Of_Item(F->Letters);
    QTreeWidgetItem *sales = Tree->Node_Of_Item(F->Sales);
    QTreeWidgetItem *annex = Tree->Node_Of_Item(F->Annex);
    Tree->setCurrentItem(lease);
    letters->setSelected(true);
    sales->setSelected(true);
    QCOMPARE(Tree->selectedItems().size(), 3);
    // A node under another parent goes out of the selection.
    annex->setSelected(true);
    QVERIFY(!Tree->selectedItems().contains(annex));
    QCOMPARE(Tree->selectedItems().size(), 3);

    // Making a node of another level current leaves it alone in the selection.
    Tree->setCurrentItem(annex, 0, QItemSelectionModel::Select);
    QCOMPARE(Tree->selectedItems(), QList<QTreeWidgetItem *>{annex});
}

void tst_ArchiveTree::rightClickSelectsTheNodeUnderTheMouse()
{
    Tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(Tree.get()));
    QTreeWidgetItem *lease = Tree->Node_Of_Item(F->Lease);
    const QRect rect = Tree->visualItemRect(lease);
    QVERIFY(rect.isValid());
    QTest::mousePress(Tree->viewport(), Qt::RightButton, {}, rect.center());
    QCOMPARE(Tree->currentItem(), lease);
    QVERIFY(lease->isSelected());
    QTest::mouseRelease(Tree->viewport(), Qt::RightButton, {}, rect.center());
    Tree->Tree_Menu()->hide();
}

void tst_ArchiveTree::treeMenuForEachKind_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QStringList>("visible");
    const QString edit = "mnu_Edit_Node";
    const QString refresh = "mnu_Refresh";
    QTest::newRow("archive") << "archive"
                             << QStringList{edit, "mnu_Add_Document", "mnu_Add_Documents_Group", refresh};
    QTest::newRow("top unit: nothing deletes it")
        << "top" << QStringList{edit, "mnu_Add_Unit", "mnu_Add_Person", "mnu_Add_Document", "mnu_Add_Documents_Group", refresh};
    QTest::newRow("unit") << "sales"
                          << QStringList{edit,       "mnu_Add_Unit",           "mnu_Add_Person", "mnu_Add_Document",
                                         "mnu_Add_Documents_Group", "mnu_Delete", refresh};
    QTest::newRow("person") << "alice"
                            << QStringList{edit, "mnu_Add_Subject", "mnu_Add_Document", "mnu_Add_Documents_Group",
                                           "mnu_Delete", refresh};
    QTest::newRow("document") << "lease" << QStringList{edit, "mnu_Add_Document", "mnu_Delete", refresh};
    QTest::newRow("subject") << "subject" << QStringList{edit, "mnu_Add_Subject", "mnu_Add_Document", "mnu_Delete", refresh};
    QTest::newRow("documents group")
        << "letters" << QStringList{edit, "mnu_Add_Subject", "mnu_Add_Document", "mnu_Add_Documents_Group", "mnu_Delete", refresh};
    QTest::newRow("persons group") << "persons" << QStringList{"mnu_Add_Person", refresh};
}

void tst_ArchiveTree::treeMenuForEachKind()
{
    QFETCH(QString, which);
    QFETCH(QStringList, visible);
    Tree->Node_Of_Item(F->Top->Persons.get())->setExpanded(true);
    const QHash<QString, TArchItem *> items = {
        {"archive", F->Archive.get()}, {"top", F->Top},         {"sales", F->Sales},
        {"alice", F->Alice},           {"lease", F->Lease},     {"subject", F->Alice_Subj},
        {"letters", F->Letters},       {"persons", F->Top->Persons.get()}};
    Tree->setCurrentItem(Tree->Node_Of_Item(items.value(which)));
    Tree->Update_Tree_Menu();
    QCOMPARE(Visible_Actions(Tree->Tree_Menu()), visible);
}

void tst_ArchiveTree::laterCommandsStayHiddenUntilAvailable()
{
    QTreeWidgetItem *lease = Tree->Node_Of_Item(F->Lease);
    Tree->setCurrentItem(lease);
    Tree->Update_Tree_Menu();
    const QStringList hidden = Visible_Actions(Tree->Tree_Menu());
    for (const char *name : {"mnu_Property", "mnu_Print_Doc", "mnu_Save_As_PDF", "mnu_Save_As_Tif", "mnu_Assign_Files"})
        QVERIFY2(!hidden.contains(QString::fromLatin1(name)), name);

    bool pages = false;
    Tree->Set_Properties_Available(true);
    Tree->Set_Assign_Files_Available(true);
    Tree->Set_Document_Output_Available(true);
    Tree->Set_Preview_Has_Pages([&pages] { return pages; });
    Tree->Update_Tree_Menu();
    QCOMPARE(Visible_Actions(Tree->Tree_Menu()),
             (QStringList{"mnu_Edit_Node", "mnu_Assign_Files", "mnu_Add_Document", "mnu_Delete", "mnu_Print_Doc",
                          "mnu_Save_As_PDF", "mnu_Save_As_Tif", "mnu_Refresh", "mnu_Property"}));
    auto *print = Tree->Tree_Menu()->findChild<QAction *>(QStringLiteral("mnu_Print_Doc"));
    QVERIFY(!print->isEnabled());
    pages = true;
    Tree->Update_Tree_Menu();
    QVERIFY(print->isEnabled());

    // Each raises its request with the selected item.
    QSignalSpy properties(Tree.get(), &TArchive_Tree::Properties_Requested);
    QSignalSpy files(Tree.get(), &TArchive_Tree::Assign_Files_Requested);
    QSignalSpy printed(Tree.get(), &TArchive_Tree::Print_Requested);
    Tree->Tree_Menu()->findChild<QAction *>(QStringLiteral("mnu_Property"))->trigger();
    Tree->Tree_Menu()->findChild<QAction *>(QStringLiteral("mnu_Assign_Files"))->trigger();
    print->trigger();
    QCOMPARE(properties.count(), 1);
    QCOMPARE(properties.last().at(0).value<TArchItem *>(), static_cast<TArchItem *>(F->Lease));
    QCOMPARE(files.count(), 1);
    QCOMPARE(printed.count(), 1);

    // Shift+Insert on a document assigns files once that exists.
    Tree->Insert_By_Keys(lease, Qt::ShiftModifier);
    QCOMPARE(files.count(), 2);
}

void tst_ArchiveTree::documentMenuOnlyForDocuments()
{
    QMenu *menu = Tree->Document_Menu();
    QVERIFY(!menu->menuAction()->isVisible());
    Tree->setCurrentItem(Tree->Node_Of_Item(F->Lease));
    QVERIFY(menu->menuAction()->isVisible());
    Tree->setCurrentItem(Top_Node());
    QVERIFY(!menu->menuAction()->isVisible());
}

void tst_ArchiveTree::toolbarPlaceAndButtons_data()
{
    QTest::addColumn<bool>("rtl");
    QTest::addColumn<QString>("which");
    QTest::addColumn<QStringList>("buttons");
    QTest::newRow("archive") << false << "archive" << QStringList{"bt_Add_Archive", "bt_Add_Document", "bt_More"};
    QTest::newRow("unit") << false << "top" << QStringList{"bt_Add_Archive", "bt_Add_Document", "bt_More"};
    QTest::newRow("document") << false << "lease" << QStringList{"bt_Add_Document", "bt_More"};
    QTest::newRow("subject, mirrored") << true << "subject" << QStringList{"bt_Add_Document", "bt_More"};
    QTest::newRow("persons group, mirrored") << true << "persons" << QStringList{"bt_More"};
    QTest::newRow("nothing selected") << false << "" << QStringList{};
}

void tst_ArchiveTree::toolbarPlaceAndButtons()
{
    QFETCH(bool, rtl);
    QFETCH(QString, which);
    QFETCH(QStringList, buttons);
    Tree->setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
    Tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(Tree.get()));
    Tree->Node_Of_Item(F->Top->Persons.get())->setExpanded(true);
    const QHash<QString, TArchItem *> items = {
        {"archive", F->Archive.get()}, {"top", F->Top}, {"lease", F->Lease}, {"subject", F->Alice_Subj},
        {"persons", F->Top->Persons.get()}};
    if (which.isEmpty())
        Tree->setCurrentItem(nullptr);
    else
        Tree->setCurrentItem(Tree->Node_Of_Item(items.value(which)));

    QWidget *bar = Tree->Toolbar();
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->size(), QSize(119, 26));
    QCOMPARE(bar->palette().color(QPalette::Window), QColor(55, 55, 55));
    QCOMPARE(bar->y(), 2);
    QCOMPARE(bar->x(), rtl ? 20 : Tree->width() - 119 - 20);
    QStringList shown;
    for (const char *name : {"bt_Add_Archive", "bt_Add_Document", "bt_Add_Files", "bt_More"})
        if (bar->findChild<QToolButton *>(QString::fromLatin1(name))->isVisible())
            shown << QString::fromLatin1(name);
    QCOMPARE(shown, buttons);

    // Follows the tree's width.
    Tree->resize(500, 300);
    QCOMPARE(bar->x(), rtl ? 20 : 500 - 119 - 20);
}

void tst_ArchiveTree::clearTreeForgetsEverything()
{
    QSignalSpy selected(Tree.get(), &TArchive_Tree::Selected_Item_Changed);
    QSignalSpy counts(Tree.get(), &TArchive_Tree::Item_Counts_Changed);
    Tree->Clear_Tree();
    QCOMPARE(Tree->topLevelItemCount(), 0);
    QVERIFY(!Tree->Node_Of_Item(F->Lease));
    QVERIFY(!Tree->Node_Of_Item(F->Archive.get()));
    QVERIFY(!selected.isEmpty());
    QCOMPARE(selected.last().at(0).value<TArchItem *>(), nullptr);
    QCOMPARE(counts.last(), (QVariantList{0, 0, 0, 0, 0}));
    // The items are the archive's: clearing the tree destroys none of them.
    QCOMPARE(F->Lease->Name, QStringLiteral("Lease"));
    Tree->Build_Tree();
    QCOMPARE(Tree->Node_Of_Item(F->Lease)->text(0), QStringLiteral("Lease"));
}

QTEST_MAIN(tst_ArchiveTree)
#include "tst_archive_tree.moc"
