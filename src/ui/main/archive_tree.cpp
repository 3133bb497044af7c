#include "ui/main/archive_tree.h"

#include "archive/tarchitem.h"
#include "local/localization.h"
#include "text/app_paths.h"
#include "text/text_cleanup.h"
#include "ui/controls/msg_box.h"
#include "ui/main/control_bridge.h"
#include "ui/main/tree_node.h"
#include "ui/main/tree_node_delegate.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDrag>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {

constexpr char App_Title[] = "Tarsel Archive";
const char *const Drag_Mime = "application/x-tarsel-tree-nodes";
constexpr int Toolbar_Width = 119;
constexpr int Toolbar_Height = 26;

// Only nodes of this tree's own type hold an item; a plain item (a builder's holder) does not.
TTree_Node *As_Node(QTreeWidgetItem *node)
{
    return node && node->type() == TTree_Node::Node_Type ? static_cast<TTree_Node *>(node) : nullptr;
}

QString Document_Text(const TDocument *document)
{
    return document->Name == QLatin1String("Document") ? Translate(QStringLiteral("Document")) : document->Name;
}

QString Folder_Text(const TDocArchive *folder)
{
    if (folder->Name.isEmpty() || folder->Name == QLatin1String("Documents"))
        return Translate(QStringLiteral("Documents"));
    return folder->Name;
}

QString Own_Folder_Text(const TDocArchive *folder)
{
    if (folder->Name.isEmpty() || folder->Name == QLatin1String("TArchive"))
        return Translate(QStringLiteral("Documents"));
    return Translate(folder->Name);
}

bool Own_Folder_Shown(const TUnit *unit)
{
    return !unit->Archive->Docs.empty() || !unit->Archive->Subs.empty();
}

// A unit opens one level when it shows anything beyond its documents and folders.
bool Unit_Opens(const TUnit *unit)
{
    return !unit->Units.empty() || Own_Folder_Shown(unit) || !unit->Persons->Persons.empty();
}

bool Is_Own_Folder(const TArchItem *item)
{
    auto *unit = dynamic_cast<const TUnit *>(item ? item->Parent : nullptr);
    return unit && unit->Archive.get() == item;
}

// A node is shown when every node above it is expanded.
bool Is_Visible_Node(const QTreeWidgetItem *node)
{
    if (node->isHidden())
        return false;
    for (const QTreeWidgetItem *p = node->parent(); p; p = p->parent())
        if (!p->isExpanded() || p->isHidden())
            return false;
    return true;
}

bool Is_Under(const QTreeWidgetItem *node, const QTreeWidgetItem *ancestor)
{
    for (const QTreeWidgetItem *p = node; p; p = p->parent())
        if (p == ancestor)
            return true;
    return false;
}

// Rows from the top-level node down, to compare nodes in the tree's flat order.
QList<int> Path_Of(const QTreeWidgetItem *node)
{
    QList<int> path;
    for (; node; node = node->parent())
        path.prepend(node->parent() ? node->parent()->indexOfChild(const_cast<QTreeWidgetItem *>(node))
                                    : node->treeWidget()->indexOfTopLevelItem(const_cast<QTreeWidgetItem *>(node)));
    return path;
}

QIcon Toolbar_Icon(int kind)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(220, 220, 220), 1.2));
    switch (kind) {
    case 0: // documents group: a folder with a plus
        p.drawRect(QRectF(1.5, 4.5, 11, 8));
        p.drawLine(QPointF(1.5, 4.5), QPointF(4, 2.5));
        p.drawLine(QPointF(4, 2.5), QPointF(7, 2.5));
        p.setPen(QPen(QColor(0, 132, 255), 1.6));
        p.drawLine(QPointF(12, 10), QPointF(12, 15.5));
        p.drawLine(QPointF(9.25, 12.75), QPointF(14.75, 12.75));
        break;
    case 1: // document: a page with a plus
        p.drawRect(QRectF(3.5, 1.5, 8, 11));
        p.drawLine(QPointF(5.5, 5), QPointF(9.5, 5));
        p.drawLine(QPointF(5.5, 7.5), QPointF(9.5, 7.5));
        p.setPen(QPen(QColor(0, 132, 255), 1.6));
        p.drawLine(QPointF(12, 10), QPointF(12, 15.5));
        p.drawLine(QPointF(9.25, 12.75), QPointF(14.75, 12.75));
        break;
    default: { // files: a paper clip
        QPainterPath clip;
        clip.moveTo(10, 5);
        clip.lineTo(10, 12);
        clip.arcTo(QRectF(5, 9.5, 5, 5), 0, -180);
        clip.lineTo(5, 3.5);
        clip.arcTo(QRectF(5, 1, 4, 4), 180, -180);
        clip.lineTo(9, 11);
        p.drawPath(clip);
        break;
    }
    }
    return QIcon(pixmap);
}

} // namespace

TArchive_Tree::TArchive_Tree(QWidget *parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("trv"));
    setColumnCount(1);
    setHeaderHidden(true);
    setFrameShape(QFrame::NoFrame);
    setIndentation(19);
    setUniformRowHeights(true);
    setRootIsDecorated(true);
    setAnimated(false);
    setExpandsOnDoubleClick(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
    setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_Hover);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    QPalette palette = this->palette();
    const QColor background(26, 26, 26);
    const QColor text(234, 234, 234);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::Window, background);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::WindowText, text);
        // The delegate draws the selection; the view's own highlight stays invisible.
        palette.setColor(group, QPalette::Highlight, background);
        palette.setColor(group, QPalette::HighlightedText, text);
    }
    setPalette(palette);
    setAutoFillBackground(true);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(12);
    setFont(font);

    auto *delegate = new TTree_Node_Delegate(this);
    delegate->Set_Commit([this](const QModelIndex &index, const QString &text) {
        Node_Text_Edited(itemFromIndex(index), text);
    });
    delegate->Set_Key_Hook([this](QKeyEvent *event) {
        if (!(event->modifiers() & Qt::ControlModifier))
            return false;
        if (event->key() == Qt::Key_Equal || event->key() == Qt::Key_Plus) {
            Set_Tree_Zoom(this->font().pointSize() + 1);
            return true;
        }
        if (event->key() == Qt::Key_Minus) {
            Set_Tree_Zoom(this->font().pointSize() - 1);
            return true;
        }
        return false;
    });
    setItemDelegate(delegate);

    connect(this, &QTreeWidget::itemExpanded, this, &TArchive_Tree::Node_Expanded);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current, QTreeWidgetItem *) { Current_Changed(current); });
    connect(this, &QTreeWidget::itemSelectionChanged, this, &TArchive_Tree::Limit_Selection);

    Create_Menus();
    Create_Toolbar();
    Place_Toolbar();
}

TArchive_Tree::~TArchive_Tree()
{
    // The nodes go with the widget; the index goes first so they need not leave it one by one.
    FClearing = true;
    FNodes.clear();
}

// ---------------------------------------------------------------------------------------
// Index of nodes

TTree_Node *TArchive_Tree::New_Node(TArchItem *item, const QString &text)
{
    return new TTree_Node(this, item, text);
}

void TArchive_Tree::Register_Node(TTree_Node *node)
{
    if (node->Item())
        FNodes.insert(node->Item(), node);
}

void TArchive_Tree::Forget_Node(TTree_Node *node)
{
    if (!FClearing && node->Item())
        FNodes.remove(node->Item(), node);
}

void TArchive_Tree::Delete_Children(QTreeWidgetItem *node)
{
    if (!node)
        return;
    const QList<QTreeWidgetItem *> children = node->takeChildren();
    qDeleteAll(children);
}

TArchItem *TArchive_Tree::Item_Of_Node(QTreeWidgetItem *node) const
{
    TTree_Node *own = As_Node(node);
    return own ? own->Item() : nullptr;
}

TNode_Kind TArchive_Tree::Kind_Of_Node(QTreeWidgetItem *node) const
{
    TTree_Node *own = As_Node(node);
    return own ? own->Kind() : TNode_Kind::None;
}

void TArchive_Tree::Open_Units(QTreeWidgetItem *node)
{
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem *child = node->child(i);
        if (Kind_Of_Node(child) != TNode_Kind::Unit)
            continue;
        if (Unit_Opens(static_cast<TUnit *>(Item_Of_Node(child))))
            child->setExpanded(true);
        Open_Units(child);
    }
}

QTreeWidgetItem *TArchive_Tree::Root_Node() const
{
    return topLevelItem(0);
}

QTreeWidgetItem *TArchive_Tree::Node_Of_Item(TArchItem *item) const
{
    return item ? Find_Node_Under(nullptr, item) : nullptr;
}

QTreeWidgetItem *TArchive_Tree::Find_Node_Under(QTreeWidgetItem *node, TArchItem *item) const
{
    if (!item)
        return nullptr;
    if (!node)
        node = Root_Node();
    if (!node)
        return nullptr;
    // The index holds every node of the item; the one under node that comes first in the
    // tree's order is what a depth-first walk would meet first.
    QTreeWidgetItem *best = nullptr;
    QList<int> bestPath;
    for (auto it = FNodes.constFind(item); it != FNodes.cend() && it.key() == item; ++it) {
        TTree_Node *candidate = it.value();
        if (candidate->treeWidget() != this || !Is_Under(candidate, node))
            continue;
        if (!best) {
            best = candidate;
            continue;
        }
        if (bestPath.isEmpty())
            bestPath = Path_Of(best);
        QList<int> path = Path_Of(candidate);
        if (path < bestPath) {
            best = candidate;
            bestPath = path;
        }
    }
    return best;
}

QTreeWidgetItem *TArchive_Tree::Child_Node_Of_Kind(QTreeWidgetItem *node, TNode_Kind kind) const
{
    if (!node)
        return nullptr;
    for (int i = 0; i < node->childCount(); ++i)
        if (Kind_Of_Node(node->child(i)) == kind)
            return node->child(i);
    return nullptr;
}

// ---------------------------------------------------------------------------------------
// Building

void TArchive_Tree::Set_Archive(TArchive *archive)
{
    FArchive = archive;
}

void TArchive_Tree::Clear_Tree()
{
    setUpdatesEnabled(false);
    FClearing = true;
    FNodes.clear();
    clear();
    FClearing = false;
    setUpdatesEnabled(true);
    Current_Changed(nullptr);
    viewport()->update();
}

void TArchive_Tree::Build_Tree()
{
    if (!FArchive)
        return;
    TMain_Busy_Scope busy;
    setUpdatesEnabled(false);
    QTreeWidgetItem *root = Root_Node();
    if (!root) {
        root = New_Node(FArchive, FArchive->Name);
        addTopLevelItem(root);
    }
    // The contents are built detached and attached in one step: one insertion for the view.
    QTreeWidgetItem holder;
    QList<QTreeWidgetItem *> expand;
    for (auto &document : FArchive->Documents)
        if (document)
            Add_Document_Nodes(&holder, document.get(), true);
    for (auto &folder : FArchive->Archives) {
        if (!folder)
            continue;
        if (folder->Name.isEmpty())
            folder->Name = QStringLiteral("Documents");
        TTree_Node *node = New_Node(folder.get(), Folder_Text(folder.get()));
        node->Set_Has_Children(true);
        holder.addChild(node);
    }
    if (FArchive->AUnit) {
        Add_Unit_Nodes(&holder, FArchive->AUnit.get(), true);
    }
    root->addChildren(holder.takeChildren());
    Open_Units(root);
    setUpdatesEnabled(true);
    QCoreApplication::processEvents();
    root->setExpanded(true);
    setCurrentItem(root);
}

void TArchive_Tree::Add_Unit_Nodes(QTreeWidgetItem *parent, TUnit *unit, bool add_self)
{
    if (!parent || !unit)
        return;
    QTreeWidgetItem *node = parent;
    if (add_self) {
        node = New_Node(unit, unit->Name);
        parent->addChild(node);
    }
    for (auto &document : unit->Documents)
        if (document)
            Add_Document_Nodes(node, document.get(), true);
    for (auto &folder : unit->Archives)
        if (folder)
            Add_Folder_Node(node, folder.get());
    if (Own_Folder_Shown(unit)) {
        TTree_Node *own = New_Node(unit->Archive.get(), Own_Folder_Text(unit->Archive.get()));
        own->Set_Has_Children(true);
        node->addChild(own);
    }
    if (!unit->Persons->Persons.empty()) {
        TTree_Node *persons = New_Node(unit->Persons.get(), Translate(QStringLiteral("Persons")));
        persons->Set_Has_Children(true);
        node->addChild(persons);
    }
    for (auto &sub : unit->Units)
        if (sub)
            Add_Unit_Nodes(node, sub.get(), true);
    // Nodes still being built are opened by Build_Tree once they are in the tree.
    if (node->treeWidget() == this && Unit_Opens(unit))
        node->setExpanded(true);
}

void TArchive_Tree::Add_Document_Nodes(QTreeWidgetItem *parent, TDocument *document, bool add_self)
{
    if (!parent || !document)
        return;
    QTreeWidgetItem *node = parent;
    if (add_self) {
        node = New_Node(document, Document_Text(document));
        parent->addChild(node);
    }
    for (auto &sub : document->Docs)
        if (sub)
            Add_Document_Nodes(node, sub.get(), true);
}

void TArchive_Tree::Add_Person_Nodes(QTreeWidgetItem *node, TPerson *person)
{
    if (!node || !person)
        return;
    if (Item_Of_Node(node) != person) {
        QTreeWidgetItem *own = New_Node(person, person->Name);
        node->addChild(own);
        node = own;
    }
    for (auto &document : person->Documents)
        if (document)
            Add_Document_Nodes(node, document.get(), true);
    for (auto &subject : person->Subjects)
        if (subject)
            Add_Subject_Node(node, subject.get());
    for (auto &folder : person->Archives)
        if (folder)
            Add_Folder_Node(node, folder.get());
}

void TArchive_Tree::Add_Subject_Node(QTreeWidgetItem *parent, TSubject *subject)
{
    if (!parent || !subject)
        return;
    TTree_Node *node = New_Node(subject, subject->Name);
    node->Set_Has_Children(!subject->Subs.empty() || !subject->Docs.empty());
    parent->addChild(node);
}

void TArchive_Tree::Add_Folder_Node(QTreeWidgetItem *parent, TDocArchive *folder)
{
    if (!parent || !folder)
        return;
    if (Item_Of_Node(parent) == folder) {
        As_Node(parent)->Set_Has_Children(true);
        return;
    }
    TTree_Node *node = New_Node(folder, Folder_Text(folder));
    node->Set_Has_Children(true);
    parent->addChild(node);
}

bool TArchive_Tree::Is_Loaded(QTreeWidgetItem *node) const
{
    return node && (node->childCount() > 0 || node->childIndicatorPolicy() != QTreeWidgetItem::ShowIndicator);
}

void TArchive_Tree::Ensure_Loaded(QTreeWidgetItem *node)
{
    // Without child nodes nothing of the item's contents is shown, so loading them shows
    // exactly what the archive holds there.
    if (node && node->childCount() == 0)
        Load_Children(node);
}

void TArchive_Tree::Load_Children(QTreeWidgetItem *node)
{
    TArchItem *item = Item_Of_Node(node);
    if (!item)
        return;
    if (Kind_Of_Node(node) == TNode_Kind::Archive) {
        Build_Tree();
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    // Built under a detached holder, then attached at once: one insertion however many.
    QTreeWidgetItem holder;
    switch (Kind_Of_Node(node)) {
    case TNode_Kind::Documents_Group: {
        auto *folder = static_cast<TDocArchive *>(item);
        for (auto &document : folder->Docs)
            if (document)
                Add_Document_Nodes(&holder, document.get(), true);
        for (auto &subject : folder->Subs)
            if (subject)
                Add_Subject_Node(&holder, subject.get());
        for (auto &sub : folder->Archives)
            if (sub)
                Add_Folder_Node(&holder, sub.get());
        break;
    }
    case TNode_Kind::Subject: {
        auto *subject = static_cast<TSubject *>(item);
        for (auto &document : subject->Docs)
            if (document)
                Add_Document_Nodes(&holder, document.get(), true);
        for (auto &sub : subject->Subs)
            if (sub)
                Add_Subject_Node(&holder, sub.get());
        break;
    }
    case TNode_Kind::Persons_Group:
        for (auto &person : static_cast<TPersons_Group *>(item)->Persons)
            if (person)
                Add_Person_Nodes(&holder, person.get());
        break;
    case TNode_Kind::Person: {
        // The person's own node stands for it, so its contents come directly under it.
        auto *person = static_cast<TPerson *>(item);
        for (auto &document : person->Documents)
            if (document)
                Add_Document_Nodes(&holder, document.get(), true);
        for (auto &subject : person->Subjects)
            if (subject)
                Add_Subject_Node(&holder, subject.get());
        for (auto &folder : person->Archives)
            if (folder)
                Add_Folder_Node(&holder, folder.get());
        break;
    }
    case TNode_Kind::Unit:
        Add_Unit_Nodes(&holder, static_cast<TUnit *>(item), false);
        break;
    case TNode_Kind::Document:
        for (auto &sub : static_cast<TDocument *>(item)->Docs)
            if (sub)
                Add_Document_Nodes(&holder, sub.get(), true);
        break;
    default:
        break;
    }
    node->addChildren(holder.takeChildren());
    if (Kind_Of_Node(node) == TNode_Kind::Unit) {
        Open_Units(node);
        if (Unit_Opens(static_cast<TUnit *>(item)))
            node->setExpanded(true);
    }
    setUpdatesEnabled(updates);
    QGuiApplication::restoreOverrideCursor();
}

void TArchive_Tree::Node_Expanded(QTreeWidgetItem *node)
{
    if (!node || node->childCount() > 0 || !Item_Of_Node(node))
        return;
    Load_Children(node);
    // An empty folder loses its button once it has been opened.
    if (node->childCount() == 0 && Kind_Of_Node(node) != TNode_Kind::Archive)
        As_Node(node)->Set_Has_Children(false);
}

void TArchive_Tree::Refresh_Selected_Node()
{
    QTreeWidgetItem *node = Selected_Node();
    if (!node || !Item_Of_Node(node))
        return;
    setUpdatesEnabled(false);
    Delete_Children(node);
    As_Node(node)->Set_Has_Children(true);
    // An expanded node would not report its expansion again; load it directly.
    if (node->isExpanded())
        Load_Children(node);
    else
        node->setExpanded(true);
    if (node->childCount() == 0 && !node->isExpanded())
        Load_Children(node);
    As_Node(node)->Set_Has_Children(node->childCount() > 0);
    setUpdatesEnabled(true);
}

QTreeWidgetItem *TArchive_Tree::Locate_Item_Node(QTreeWidgetItem *start, TArchItem *item)
{
    if (!start || !item)
        return nullptr;
    if (QTreeWidgetItem *found = Find_Node_Under(start, item))
        return found;
    TArchive *archive = Archive_Of(item);
    if (!archive)
        return nullptr;
    TMain_Busy_Scope busy;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QList<TArchItem *> path;
    archive->Get_Item_Path(item, path);
    // From the top down, each ancestor's node is loaded and opened, so the item is reached
    // however deep it lies below the loaded part of the tree.
    QTreeWidgetItem *current = start;
    QTreeWidgetItem *result = nullptr;
    for (auto it = path.crbegin(); it != path.crend(); ++it) {
        QTreeWidgetItem *node = Find_Node_Under(current, *it);
        // A person sits under its unit's persons group node, which is not among its ancestors.
        if (!node && Kind_Of_Item(*it) == TNode_Kind::Person) {
            if (QTreeWidgetItem *group = Child_Node_Of_Kind(current, TNode_Kind::Persons_Group)) {
                Ensure_Loaded(group);
                group->setExpanded(true);
                node = Find_Node_Under(group, *it);
            }
        }
        if (!node)
            continue;
        current = node;
        Ensure_Loaded(node);
        node->setExpanded(true);
    }
    result = Find_Node_Under(start, item);
    // A person sits under its unit's persons group node, which is not among its ancestors.
    if (!result && Kind_Of_Item(item) == TNode_Kind::Person) {
        if (QTreeWidgetItem *group = Child_Node_Of_Kind(current, TNode_Kind::Persons_Group)) {
            Ensure_Loaded(group);
            group->setExpanded(true);
            result = Find_Node_Under(start, item);
        }
    }
    QCoreApplication::processEvents();
    QGuiApplication::restoreOverrideCursor();
    return result;
}

void TArchive_Tree::Update_Item(TArchItem *item)
{
    if (QTreeWidgetItem *node = Node_Of_Item(item))
        node->setText(0, item->Name);
}

void TArchive_Tree::Set_Tree_Zoom(int size)
{
    FTreeZoom = qBound(6, size, 24);
    QFont f = font();
    f.setPointSize(FTreeZoom);
    setFont(f);
}

void TArchive_Tree::Retranslate_Folder_Nodes()
{
    for (auto it = FNodes.cbegin(); it != FNodes.cend(); ++it) {
        TTree_Node *node = it.value();
        if (node->Kind() == TNode_Kind::Documents_Group) {
            auto *folder = static_cast<TDocArchive *>(node->Item());
            if (Is_Own_Folder(folder))
                node->setText(0, Own_Folder_Text(folder));
            else
                node->setText(0, folder->Name.isEmpty() ? Translate(QStringLiteral("Documents")) : Translate(folder->Name));
        } else if (node->Kind() == TNode_Kind::Persons_Group) {
            node->setText(0, Translate(node->Item()->Name));
        }
    }
}

// ---------------------------------------------------------------------------------------
// Selection

QTreeWidgetItem *TArchive_Tree::Selected_Node() const
{
    return currentItem();
}

void TArchive_Tree::Current_Changed(QTreeWidgetItem *current)
{
    TArchItem *item = Item_Of_Node(current);
    if (!current) {
        Clear_Item_Counts();
        mnu_Document->menuAction()->setVisible(false);
        emit Selected_Item_Changed(nullptr);
    } else if (item) {
        Show_Item_Counts(item);
        mnu_Document->menuAction()->setVisible(Kind_Of_Node(current) == TNode_Kind::Document);
        emit Selected_Item_Changed(item);
    }
    Place_Toolbar();
}

void TArchive_Tree::Limit_Selection()
{
    static bool limiting = false;
    QTreeWidgetItem *current = currentItem();
    if (limiting || !current)
        return;
    limiting = true;
    const QTreeWidgetItem *parent = current->parent();
    for (QTreeWidgetItem *node : selectedItems())
        if (node != current && (node->parent() != parent || !Is_Visible_Node(node)))
            node->setSelected(false);
    limiting = false;
}

void TArchive_Tree::Show_Item_Counts(TArchItem *item)
{
    emit Item_Counts_Changed(item->DocumentsCount(), item->SubjectsCount(), item->PersonsCount(), item->UnitsCount(),
                             item->FilesCount());
}

void TArchive_Tree::Clear_Item_Counts()
{
    emit Item_Counts_Changed(0, 0, 0, 0, 0);
}

// ---------------------------------------------------------------------------------------
// Menus and toolbar

QAction *TArchive_Tree::Add_Action(QMenu *menu, const char *name, void (TArchive_Tree::*slot)())
{
    QAction *action = menu->addAction(QString::fromLatin1(name));
    action->setObjectName(QString::fromLatin1(name));
    if (slot)
        connect(action, &QAction::triggered, this, slot);
    return action;
}

void TArchive_Tree::Create_Menus()
{
    pop_Tree = new QMenu(this);
    pop_Tree->setObjectName(QStringLiteral("pop_Tree"));
    mnu_Edit_Node = Add_Action(pop_Tree, "mnu_Edit_Node", &TArchive_Tree::mnu_Edit_NodeClick);
    pop_Tree->addSeparator();
    mnu_Add_Unit = Add_Action(pop_Tree, "mnu_Add_Unit", &TArchive_Tree::mnu_Add_UnitClick);
    mnu_Add_Person = Add_Action(pop_Tree, "mnu_Add_Person", &TArchive_Tree::mnu_Add_PersonClick);
    mnu_Add_Subject = Add_Action(pop_Tree, "mnu_Add_Subject", &TArchive_Tree::mnu_Add_SubjectClick);
    mnu_Assign_Files = Add_Action(pop_Tree, "mnu_Assign_Files", &TArchive_Tree::mnu_Assign_FilesClick);
    mnu_Add_Document = Add_Action(pop_Tree, "mnu_Add_Document", &TArchive_Tree::mnu_Add_DocumentClick);
    // Kept for the menu's layout; nothing adds plain groups or persons groups.
    mnu_Add_Group = Add_Action(pop_Tree, "mnu_Add_Group", nullptr);
    mnu_Add_Group->setText(QStringLiteral("Add Group"));
    pop_Tree->addSeparator();
    mnu_Add_Persons_Group = Add_Action(pop_Tree, "mnu_Add_Persons_Group", nullptr);
    mnu_Add_Documents_Group = Add_Action(pop_Tree, "mnu_Add_Documents_Group", &TArchive_Tree::mnu_Add_Documents_GroupClick);
    mnu_Delete_Separator = pop_Tree->addSeparator();
    mnu_Delete_Separator->setVisible(false);
    mnu_Delete = Add_Action(pop_Tree, "mnu_Delete", &TArchive_Tree::mnu_DeleteClick);
    pop_Tree->addSeparator();
    mnu_Print_Doc = Add_Action(pop_Tree, "mnu_Print_Doc", &TArchive_Tree::mnu_Print_DocClick);
    mnu_Save_As_PDF = Add_Action(pop_Tree, "mnu_Save_As_PDF", &TArchive_Tree::mnu_Save_As_PDFClick);
    mnu_Save_As_Tif = Add_Action(pop_Tree, "mnu_Save_As_Tif", &TArchive_Tree::mnu_Save_As_TifClick);
    pop_Tree->addSeparator();
    mnu_Refresh = Add_Action(pop_Tree, "mnu_Refresh", &TArchive_Tree::mnu_RefreshClick);
    pop_Tree->addSeparator();
    mnu_Property = Add_Action(pop_Tree, "mnu_Property", &TArchive_Tree::mnu_PropertyClick);
    mnu_Add_Group->setVisible(false);
    mnu_Add_Persons_Group->setVisible(false);

    mnu_Document = new QMenu(this);
    mnu_Document->setObjectName(QStringLiteral("mnu_Document"));
    mnu_Doc_Edit = Add_Action(mnu_Document, "mnu_Doc_Edit", &TArchive_Tree::mnu_Edit_NodeClick);
    mnu_Main_Assign_Files = Add_Action(mnu_Document, "mnu_Main_Assign_Files", &TArchive_Tree::mnu_Assign_FilesClick);
    mnu_Main_Assign_Files->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F));
    mnu_Main_Add_Document = Add_Action(mnu_Document, "mnu_Main_Add_Document", &TArchive_Tree::mnu_Add_DocumentClick);
    mnu_Document->addSeparator();
    mnu_Main_Delete = Add_Action(mnu_Document, "mnu_Main_Delete", &TArchive_Tree::mnu_DeleteClick);
    mnu_Document->addSeparator();
    mnu_Main_Print = Add_Action(mnu_Document, "mnu_Main_Print", &TArchive_Tree::mnu_Print_DocClick);
    mnu_Main_Save_As_PDF = Add_Action(mnu_Document, "mnu_Main_Save_As_PDF", &TArchive_Tree::mnu_Save_As_PDFClick);
    mnu_Main_Save_As_Tif = Add_Action(mnu_Document, "mnu_Main_Save_As_Tif", &TArchive_Tree::mnu_Save_As_TifClick);
    mnu_Document->addSeparator();
    mnu_Main_Refresh = Add_Action(mnu_Document, "mnu_Main_Refresh", &TArchive_Tree::mnu_RefreshClick);
    mnu_Document->addSeparator();
    mnu_Main_Doc_Property = Add_Action(mnu_Document, "mnu_Main_Doc_Property", &TArchive_Tree::mnu_PropertyClick);
    mnu_Document->menuAction()->setVisible(false);
    connect(mnu_Document, &QMenu::aboutToShow, this, [this] {
        const bool pages = FPreview_Has_Pages && FPreview_Has_Pages();
        mnu_Main_Assign_Files->setVisible(FAssign_Files_Available);
        for (QAction *a : {mnu_Main_Print, mnu_Main_Save_As_PDF, mnu_Main_Save_As_Tif}) {
            a->setVisible(FDocument_Output_Available);
            a->setEnabled(pages);
        }
        mnu_Main_Doc_Property->setVisible(FProperties_Available);
    });
    // Hidden commands must not be reachable by their short-cuts either.
    mnu_Main_Assign_Files->setVisible(false);
    for (QAction *a : {mnu_Main_Print, mnu_Main_Save_As_PDF, mnu_Main_Save_As_Tif, mnu_Main_Doc_Property})
        a->setVisible(false);
    Localize();
}

void TArchive_Tree::Create_Toolbar()
{
    pnl_Toolbar = new QWidget(this);
    pnl_Toolbar->setObjectName(QStringLiteral("pnl_Toolbar"));
    pnl_Toolbar->setFixedSize(Toolbar_Width, Toolbar_Height);
    pnl_Toolbar->setAutoFillBackground(true);
    QPalette palette = pnl_Toolbar->palette();
    palette.setColor(QPalette::Window, QColor(55, 55, 55));
    palette.setColor(QPalette::Button, QColor(55, 55, 55));
    palette.setColor(QPalette::ButtonText, QColor(235, 235, 235));
    pnl_Toolbar->setPalette(palette);
    auto make = [this](const char *name, void (TArchive_Tree::*slot)()) {
        auto *button = new QToolButton(pnl_Toolbar);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(28, 24);
        button->setIconSize(QSize(16, 16));
        connect(button, &QToolButton::clicked, this, slot);
        return button;
    };
    bt_Add_Archive = make("bt_Add_Archive", &TArchive_Tree::mnu_Add_Documents_GroupClick);
    bt_Add_Archive->setIcon(Toolbar_Icon(0));
    bt_Add_Document = make("bt_Add_Document", &TArchive_Tree::mnu_Add_DocumentClick);
    bt_Add_Document->setIcon(Toolbar_Icon(1));
    bt_Add_Files = make("bt_Add_Files", &TArchive_Tree::mnu_Assign_FilesClick);
    bt_Add_Files->setIcon(Toolbar_Icon(2));
    bt_More = make("bt_More", &TArchive_Tree::bt_MoreClick);
    bt_More->setText(QStringLiteral("..."));
    bt_More->setToolButtonStyle(Qt::ToolButtonTextOnly);
    pnl_Toolbar->raise();
}

void TArchive_Tree::Localize()
{
    auto set = [](QAction *action, const char *text, const char *suffix = "") {
        action->setText(Translate(QString::fromLatin1(text)) + QString::fromLatin1(suffix));
    };
    set(mnu_Edit_Node, "Edit");
    set(mnu_Doc_Edit, "Edit");
    set(mnu_Add_Subject, "Add Subject");
    set(mnu_Add_Document, "Add Document");
    set(mnu_Main_Add_Document, "Add Document");
    set(mnu_Assign_Files, "Assign Document Files", "..");
    set(mnu_Main_Assign_Files, "Assign Document Files", "..");
    set(mnu_Add_Documents_Group, "Add Documents Group");
    set(mnu_Delete, "Delete", "..");
    set(mnu_Main_Delete, "Delete", "..");
    set(mnu_Refresh, "Refresh");
    set(mnu_Main_Refresh, "Refresh");
    set(mnu_Property, "Properties", "..");
    set(mnu_Main_Doc_Property, "Properties", "..");
    set(mnu_Print_Doc, "Print", "..");
    set(mnu_Main_Print, "Print", "..");
    set(mnu_Save_As_Tif, "Save Document's Images as TIFF File", "..");
    set(mnu_Main_Save_As_Tif, "Save Document's Images as TIFF File", "..");
    set(mnu_Save_As_PDF, "Save Document's Images as PDF File", "..");
    set(mnu_Main_Save_As_PDF, "Save Document's Images as PDF File", "..");
    set(mnu_Add_Unit, "Add Section");
    set(mnu_Add_Persons_Group, "Add Persons Group");
    set(mnu_Add_Person, "Add Person");
    mnu_Document->setTitle(Translate(QStringLiteral("Document")));
    if (bt_Add_Document) {
        bt_Add_Document->setToolTip(Translate(QStringLiteral("Add Document")));
        bt_Add_Files->setToolTip(Translate(QStringLiteral("Assign Document Files")));
        bt_More->setToolTip(Translate(QStringLiteral("More Commands")));
        bt_Add_Archive->setToolTip(Translate(QStringLiteral("Add Documents Group")));
    }
    const Qt::LayoutDirection direction = Local_Is_RTL() ? Qt::RightToLeft : Qt::LeftToRight;
    pop_Tree->setLayoutDirection(direction);
    mnu_Document->setLayoutDirection(direction);
    Retranslate_Folder_Nodes();
    if (pnl_Toolbar)
        Place_Toolbar();
}

void TArchive_Tree::Place_Toolbar()
{
    if (!pnl_Toolbar)
        return;
    const int left = isRightToLeft() ? 20 : width() - Toolbar_Width - 20;
    pnl_Toolbar->move(left, 2);
    // The buttons keep their places whichever are shown, mirrored with the tree.
    const QList<QToolButton *> order = {bt_Add_Archive, bt_Add_Document, bt_Add_Files, bt_More};
    for (int i = 0; i < order.size(); ++i) {
        const int x = 2 + i * 29;
        order[i]->move(isRightToLeft() ? Toolbar_Width - x - order[i]->width() : x, 1);
    }
    pnl_Toolbar->show();
    pnl_Toolbar->raise();
    QTreeWidgetItem *node = Selected_Node();
    if (!node) {
        for (QToolButton *button : order)
            button->hide();
        return;
    }
    if (!Item_Of_Node(node))
        return;
    using K = TNode_Kind;
    const K kind = Kind_Of_Node(node);
    bt_More->setVisible(window()->isVisible());
    bt_Add_Document->setVisible(kind == K::Archive || kind == K::Document || kind == K::Documents_Group
                                || kind == K::Unit || kind == K::Subject || kind == K::Person);
    bt_Add_Archive->setVisible(kind == K::Archive || kind == K::Documents_Group || kind == K::Unit || kind == K::Person);
    bt_Add_Files->setVisible(kind == K::Document && FAssign_Files_Available);
}

void TArchive_Tree::Update_Tree_Menu()
{
    mnu_Edit_Node->setVisible(true);
    mnu_Property->setVisible(FProperties_Available);
    for (QAction *a : {mnu_Add_Unit, mnu_Add_Person, mnu_Add_Document, mnu_Add_Subject, mnu_Add_Documents_Group,
                       mnu_Add_Persons_Group, mnu_Add_Group, mnu_Delete, mnu_Print_Doc, mnu_Save_As_Tif,
                       mnu_Save_As_PDF, mnu_Assign_Files})
        a->setVisible(false);
    mnu_Refresh->setVisible(true);
    QTreeWidgetItem *node = Selected_Node();
    TArchItem *item = Item_Of_Node(node);
    if (!item)
        return;
    // Delete is offered only where the node's place allows a removal (not the top unit).
    const bool removable = Is_Removable_Pair(Item_Of_Node(node->parent()), item);
    switch (Kind_Of_Node(node)) {
    case TNode_Kind::Archive:
        mnu_Add_Document->setVisible(true);
        mnu_Add_Documents_Group->setVisible(true);
        break;
    case TNode_Kind::Unit:
        for (QAction *a : {mnu_Add_Unit, mnu_Add_Person, mnu_Add_Document, mnu_Add_Documents_Group})
            a->setVisible(true);
        mnu_Delete->setVisible(node != topLevelItem(0) && removable);
        break;
    case TNode_Kind::Person:
        for (QAction *a : {mnu_Add_Document, mnu_Add_Subject, mnu_Add_Documents_Group})
            a->setVisible(true);
        mnu_Delete->setVisible(removable);
        break;
    case TNode_Kind::Document: {
        mnu_Add_Document->setVisible(true);
        mnu_Delete->setVisible(removable);
        const bool pages = FPreview_Has_Pages && FPreview_Has_Pages();
        for (QAction *a : {mnu_Print_Doc, mnu_Save_As_Tif, mnu_Save_As_PDF}) {
            a->setVisible(FDocument_Output_Available);
            a->setEnabled(pages);
        }
        mnu_Assign_Files->setVisible(FAssign_Files_Available);
        break;
    }
    case TNode_Kind::Subject:
        mnu_Add_Document->setVisible(true);
        mnu_Add_Subject->setVisible(true);
        mnu_Delete->setVisible(removable);
        break;
    case TNode_Kind::Documents_Group:
        for (QAction *a : {mnu_Add_Document, mnu_Add_Subject, mnu_Add_Documents_Group})
            a->setVisible(true);
        mnu_Delete->setVisible(removable);
        mnu_Property->setVisible(false);
        break;
    case TNode_Kind::Persons_Group:
        mnu_Add_Person->setVisible(true);
        mnu_Property->setVisible(false);
        mnu_Edit_Node->setVisible(false);
        break;
    case TNode_Kind::None:
        break;
    }
}

void TArchive_Tree::Set_Properties_Available(bool on)
{
    FProperties_Available = on;
}

void TArchive_Tree::Set_Assign_Files_Available(bool on)
{
    FAssign_Files_Available = on;
    mnu_Main_Assign_Files->setVisible(on);
    Place_Toolbar();
}

void TArchive_Tree::Set_Document_Output_Available(bool on)
{
    FDocument_Output_Available = on;
}

void TArchive_Tree::Set_Preview_Has_Pages(std::function<bool()> query)
{
    FPreview_Has_Pages = std::move(query);
}

// ---------------------------------------------------------------------------------------
// Adding

QTreeWidgetItem *TArchive_Tree::Finish_Add(QTreeWidgetItem *node, TArchItem *item, const QString &text)
{
    TTree_Node *child = New_Node(item, text);
    node->addChild(child);
    return child;
}

namespace {

template<class T>
T *Append_New(TOwnList<T> &list, TArchItem *parent, const QString &name)
{
    auto owned = std::make_unique<T>();
    owned->Id = New_Id();
    owned->Parent = parent;
    owned->Name = name;
    T *raw = owned.get();
    list.push_back(std::move(owned));
    return raw;
}

} // namespace

QTreeWidgetItem *TArchive_Tree::Add_Document(QTreeWidgetItem *node)
{
    TArchItem *item = Item_Of_Node(node);
    TOwnList<TDocument> *list = Documents_List_Of(item);
    if (!list || !FArchive)
        return nullptr;
    // Loaded first: once the node has a child, opening it would no longer load the rest.
    Ensure_Loaded(node);
    TDocument *document = Append_New(*list, item, Translate(QStringLiteral("Document")));
    QTreeWidgetItem *child = Finish_Add(node, document, document->Name);
    if (Kind_Of_Node(node) == TNode_Kind::Documents_Group)
        QCoreApplication::processEvents();
    node->setExpanded(true);
    if (Kind_Of_Node(node) != TNode_Kind::Documents_Group)
        QCoreApplication::processEvents();
    FArchive->SetNeedSave(true);
    emit Need_To_Save();
    Edit_Node(child);
    return child;
}

QTreeWidgetItem *TArchive_Tree::Add_Documents_Group(QTreeWidgetItem *node)
{
    TArchItem *item = Item_Of_Node(node);
    TOwnList<TDocArchive> *list = nullptr;
    switch (Kind_Of_Node(node)) {
    case TNode_Kind::Archive:
        list = &static_cast<TArchive *>(item)->Archives;
        break;
    case TNode_Kind::Unit:
        list = &static_cast<TUnit *>(item)->Archives;
        break;
    case TNode_Kind::Person:
        list = &static_cast<TPerson *>(item)->Archives;
        break;
    case TNode_Kind::Documents_Group:
        list = &static_cast<TDocArchive *>(item)->Archives;
        break;
    default:
        break;
    }
    if (!list || !FArchive)
        return nullptr;
    Ensure_Loaded(node);
    // A new folder is named "Documents" by its constructor; its node shows the translation.
    auto owned = std::make_unique<TDocArchive>();
    owned->Id = New_Id();
    owned->Parent = item;
    TDocArchive *folder = owned.get();
    list->push_back(std::move(owned));
    QTreeWidgetItem *child = Finish_Add(node, folder, Folder_Text(folder));
    node->setExpanded(true);
    FArchive->SetNeedSave(true);
    emit Need_To_Save();
    Edit_Node(child);
    return child;
}

QTreeWidgetItem *TArchive_Tree::Add_Person(QTreeWidgetItem *node)
{
    TArchItem *item = Item_Of_Node(node);
    TPersons_Group *group = nullptr;
    if (Kind_Of_Node(node) == TNode_Kind::Unit) {
        group = static_cast<TUnit *>(item)->Persons.get();
        // With the group's node loaded the person goes there, the group as its parent.
        if (QTreeWidgetItem *groupNode = Node_Of_Item(group)) {
            node = groupNode;
            item = group;
        }
    } else if (Kind_Of_Node(node) == TNode_Kind::Persons_Group) {
        group = static_cast<TPersons_Group *>(item);
    }
    if (!group || !FArchive)
        return nullptr;
    Ensure_Loaded(node);
    TPerson *person = Append_New(group->Persons, item, Translate(QStringLiteral("Person")));
    QTreeWidgetItem *child = Finish_Add(node, person, person->Name);
    node->setExpanded(true);
    FArchive->SetNeedSave(true);
    emit Need_To_Save();
    Edit_Node(child);
    return child;
}

QTreeWidgetItem *TArchive_Tree::Add_Subject(QTreeWidgetItem *node)
{
    TArchItem *item = Item_Of_Node(node);
    TOwnList<TSubject> *list = nullptr;
    switch (Kind_Of_Node(node)) {
    case TNode_Kind::Subject:
        list = &static_cast<TSubject *>(item)->Subs;
        break;
    case TNode_Kind::Documents_Group:
        list = &static_cast<TDocArchive *>(item)->Subs;
        break;
    case TNode_Kind::Person:
        list = &static_cast<TPerson *>(item)->Subjects;
        break;
    default:
        break;
    }
    if (!list || !FArchive)
        return nullptr;
    Ensure_Loaded(node);
    TSubject *subject = Append_New(*list, item, Translate(QStringLiteral("Subject")));
    QTreeWidgetItem *child = Finish_Add(node, subject, subject->Name);
    node->setExpanded(true);
    QCoreApplication::processEvents();
    FArchive->SetNeedSave(true);
    emit Need_To_Save();
    Edit_Node(child);
    return child;
}

QTreeWidgetItem *TArchive_Tree::Add_Unit(QTreeWidgetItem *node)
{
    if (Kind_Of_Node(node) != TNode_Kind::Unit || !FArchive)
        return nullptr;
    auto *parent = static_cast<TUnit *>(Item_Of_Node(node));
    Ensure_Loaded(node);
    TUnit *unit = Append_New(parent->Units, parent, Translate(QStringLiteral("Section")));
    QTreeWidgetItem *child = Finish_Add(node, unit, unit->Name);
    node->setExpanded(true);
    QCoreApplication::processEvents();
    FArchive->SetNeedSave(true);
    emit Need_To_Save();
    Edit_Node(child);
    return child;
}

void TArchive_Tree::Assign_Document_Files(QTreeWidgetItem *node)
{
    if (!FAssign_Files_Available || Kind_Of_Node(node) != TNode_Kind::Document)
        return;
    emit Assign_Files_Requested(static_cast<TDocument *>(Item_Of_Node(node)));
}

void TArchive_Tree::Insert_By_Keys(QTreeWidgetItem *node, Qt::KeyboardModifiers modifiers)
{
    if (!Item_Of_Node(node))
        return;
    using K = TNode_Kind;
    modifiers &= ~Qt::KeypadModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    const K kind = Kind_Of_Node(node);
    if (ctrl && shift) {
        if (kind == K::Archive || kind == K::Unit || kind == K::Person || kind == K::Documents_Group)
            Add_Documents_Group(node);
    } else if (modifiers == Qt::NoModifier) {
        if (kind == K::Persons_Group)
            Add_Person(node);
        else
            Add_Document(node);
    } else if (ctrl) {
        if (kind == K::Unit)
            Add_Unit(node);
        else if (kind == K::Person || kind == K::Subject || kind == K::Documents_Group)
            Add_Subject(node);
    } else if (shift) {
        if (kind == K::Unit)
            Add_Person(node);
        else if (kind == K::Document)
            Assign_Document_Files(node);
    }
    if (FArchive)
        FArchive->SetNeedSave(true);
}

// ---------------------------------------------------------------------------------------
// Renaming

void TArchive_Tree::Edit_Node(QTreeWidgetItem *node)
{
    if (!node || Kind_Of_Node(node) == TNode_Kind::Persons_Group)
        return;
    // The node being named is the selected one, so the panels follow it and not the parent.
    if (currentItem() != node)
        setCurrentItem(node);
    scrollToItem(node);
    editItem(node, 0);
}

void TArchive_Tree::Node_Text_Edited(QTreeWidgetItem *node, const QString &text)
{
    TArchItem *item = Item_Of_Node(node);
    if (!item || text.trimmed().isEmpty())
        return;
    const QString name = Clean_Text(text);
    node->setText(0, name);
    item->Name = name;
    if (TArchive *archive = Archive_Of(item))
        archive->SetNeedSave(true);
    emit Need_To_Save();
    Control_Item_Name_Edited(item);
    emit Item_Renamed(item);
}

// ---------------------------------------------------------------------------------------
// Deleting

bool TArchive_Tree::Delete_Node(QTreeWidgetItem *node)
{
    TArchItem *item = Item_Of_Node(node);
    TArchItem *parent = Item_Of_Node(node ? node->parent() : nullptr);
    if (!item || !parent || !Is_Removable_Pair(parent, item))
        return false;
    // A loop that lets events run may be working on this very item.
    if (Main_Is_Busy()) {
        QApplication::beep();
        return false;
    }
    const bool rtl = Local_Is_RTL();
    const QString refusal = Translate(QStringLiteral("Can't remove Item.|This item has other items belong to it."));
    if (Item_Has_Items(item)) {
        Warning_Box(refusal, rtl);
        return false;
    }
    if (Warning_Confirm_Box(Translate(QStringLiteral("Do you want to remove this Item?")),
                            Translate(QString::fromLatin1(App_Title)), rtl) != IDYES)
        return false;
    // The answer let events run; the item may be held by a loop started meanwhile.
    if (Main_Is_Busy()) {
        QApplication::beep();
        return false;
    }
    if (Remove_Child_Item(parent, item) != TRemoval::Removed) {
        Warning_Box(refusal, rtl);
        return false;
    }
    delete node;
    if (FArchive)
        FArchive->SetNeedSave(true);
    emit Need_To_Save();
    return true;
}

// ---------------------------------------------------------------------------------------
// Drag and drop

namespace {

bool Is_Node_Within(const QTreeWidgetItem *node, const QTreeWidgetItem *ancestor)
{
    return Is_Under(node, ancestor);
}

} // namespace

// Whether dragged itself may go onto target: never onto itself, its parent or below it.
static bool Node_May_Drop(const TArchive_Tree *tree, QTreeWidgetItem *dragged, QTreeWidgetItem *target)
{
    TArchItem *draggedItem = tree->Item_Of_Node(dragged);
    TArchItem *targetItem = tree->Item_Of_Node(target);
    if (!draggedItem || !targetItem)
        return false;
    if (target == dragged || target == dragged->parent() || Is_Node_Within(target, dragged))
        return false;
    if (Is_Within_Item(targetItem, draggedItem))
        return false;
    return Drag_Kind_Accepted(tree->Kind_Of_Node(dragged), tree->Kind_Of_Node(target));
}

bool TArchive_Tree::Drop_Accepted(QTreeWidgetItem *target) const
{
    if (Main_Is_Busy())
        return false;
    QTreeWidgetItem *dragged = Selected_Node();
    return dragged && target && Node_May_Drop(this, dragged, target);
}

void TArchive_Tree::Drop_Nodes(QTreeWidgetItem *target)
{
    if (!Drop_Accepted(target))
        return;
    QList<TArchItem *> items;
    for (QTreeWidgetItem *node : selectedItems())
        items.append(Item_Of_Node(node));
    if (items.isEmpty())
        items.append(Item_Of_Node(Selected_Node()));
    TArchItem *targetItem = Item_Of_Node(target);
    TArchItem *first = Item_Of_Node(Selected_Node());
    setUpdatesEnabled(false);
    for (TArchItem *item : items) {
        // Nodes are looked up again: an earlier step may have rebuilt part of the tree.
        QTreeWidgetItem *node = Node_Of_Item(item);
        target = Node_Of_Item(targetItem);
        if (!node || !target)
            break;
        // Every node is checked on its own: one of several may be of a kind the target does
        // not take, or hold the target; it then stays where it is.
        if (!Node_May_Drop(this, node, target))
            continue;
        switch (Kind_Of_Node(node)) {
        case TNode_Kind::Unit: {
            auto *unit = static_cast<TUnit *>(item);
            Move_Unit(unit, targetItem);
            if (unit->Parent != targetItem)
                break;
            node->parent()->removeChild(node);
            target->addChild(node);
            FArchive->SetNeedSave(true);
            emit Need_To_Save();
            break;
        }
        case TNode_Kind::Persons_Group:
            Drop_Persons_Group(node, target);
            break;
        case TNode_Kind::Person:
            Drop_Person(node, target);
            break;
        case TNode_Kind::Subject:
        case TNode_Kind::Document:
        case TNode_Kind::Documents_Group:
            Drop_Into(node, target);
            break;
        default:
            break;
        }
    }
    setUpdatesEnabled(true);
    if (QTreeWidgetItem *node = Node_Of_Item(first))
        setCurrentItem(node);
}

void TArchive_Tree::Drop_Into(QTreeWidgetItem *dragged, QTreeWidgetItem *target)
{
    TArchItem *item = Item_Of_Node(dragged);
    TArchItem *targetItem = Item_Of_Node(target);
    switch (Kind_Of_Node(dragged)) {
    case TNode_Kind::Subject:
        Move_Subject(static_cast<TSubject *>(item), targetItem);
        break;
    case TNode_Kind::Document:
        if (TOwnList<TDocument> *source = Documents_List_Of(item->Parent))
            Move_Document(static_cast<TDocument *>(item), *source, targetItem);
        break;
    case TNode_Kind::Documents_Group:
        Move_Folder(static_cast<TDocArchive *>(item), targetItem);
        break;
    default:
        return;
    }
    // The model refused (a target it does not take): the tree stays as it is.
    if (item->Parent != targetItem)
        return;
    FArchive->SetNeedSave(true);
    emit Need_To_Save();
    if (target->isExpanded()) {
        dragged->parent()->removeChild(dragged);
        target->addChild(dragged);
    } else {
        delete dragged;
        Delete_Children(target);
        As_Node(target)->Set_Has_Children(true);
        target->setExpanded(true);
    }
}

void TArchive_Tree::Drop_Person(QTreeWidgetItem *dragged, QTreeWidgetItem *target)
{
    auto *person = static_cast<TPerson *>(Item_Of_Node(dragged));
    TArchItem *targetItem = Item_Of_Node(target);
    auto *unit = dynamic_cast<TUnit *>(Kind_Of_Node(target) == TNode_Kind::Persons_Group ? targetItem->Parent : targetItem);
    if (!unit)
        return;
    Move_Person(person, unit);
    if (person->Parent != unit || std::none_of(unit->Persons->Persons.begin(), unit->Persons->Persons.end(),
                                                [person](const auto &p) { return p.get() == person; }))
        return;
    FArchive->SetNeedSave(true);
    emit Need_To_Save();
    if (QTreeWidgetItem *group = Child_Node_Of_Kind(target, TNode_Kind::Persons_Group))
        target = group;
    if (Kind_Of_Node(target) == TNode_Kind::Unit) {
        TTree_Node *group = New_Node(unit->Persons.get(), Translate(QStringLiteral("Persons")));
        group->Set_Has_Children(true);
        target->addChild(group);
        dragged->parent()->removeChild(dragged);
        group->addChild(dragged);
        return;
    }
    if (target->isExpanded() || target->childCount() > 0) {
        dragged->parent()->removeChild(dragged);
        target->addChild(dragged);
    } else {
        delete dragged;
    }
    As_Node(target)->Set_Has_Children(true);
}

void TArchive_Tree::Drop_Persons_Group(QTreeWidgetItem *dragged, QTreeWidgetItem *target)
{
    auto *group = static_cast<TPersons_Group *>(Item_Of_Node(dragged));
    TArchItem *targetItem = Item_Of_Node(target);
    auto *unit = dynamic_cast<TUnit *>(Kind_Of_Node(target) == TNode_Kind::Persons_Group ? targetItem->Parent : targetItem);
    if (!unit || unit->Persons.get() == group || group->Parent == unit)
        return;
    Move_Persons(group, unit);
    FArchive->SetNeedSave(true);
    emit Need_To_Save();
    if (QTreeWidgetItem *existing = Child_Node_Of_Kind(target, TNode_Kind::Persons_Group))
        target = existing;
    auto *draggedNode = As_Node(dragged);
    if (Kind_Of_Node(target) == TNode_Kind::Unit) {
        TTree_Node *node = New_Node(unit->Persons.get(), dragged->text(0));
        node->Set_Has_Children(true);
        target->addChild(node);
        Delete_Children(dragged);
        draggedNode->Set_Has_Children(false);
        return;
    }
    const bool draggedHas = dragged->childCount() > 0;
    const bool targetHas = target->childCount() > 0;
    if (draggedHas && targetHas) {
        const QList<QTreeWidgetItem *> children = dragged->takeChildren();
        target->addChildren(children);
        draggedNode->Set_Has_Children(false);
        QCoreApplication::processEvents();
        As_Node(target)->Set_Has_Children(true);
        QCoreApplication::processEvents();
    } else if (draggedHas) {
        Delete_Children(dragged);
        As_Node(target)->Set_Has_Children(true);
        draggedNode->Set_Has_Children(false);
    } else if (targetHas) {
        target->setExpanded(false);
        Delete_Children(target);
        As_Node(target)->Set_Has_Children(true);
        target->setExpanded(true);
        draggedNode->Set_Has_Children(false);
    } else {
        draggedNode->Set_Has_Children(false);
        As_Node(target)->Set_Has_Children(true);
    }
}

void TArchive_Tree::startDrag(Qt::DropActions)
{
    if (!Selected_Node() || Main_Is_Busy())
        return;
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(Drag_Mime), QByteArray());
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    // The drop itself moves the nodes; what exec reports is not acted upon.
    drag->exec(Qt::MoveAction);
    if (auto *delegate = qobject_cast<TTree_Node_Delegate *>(itemDelegate()))
        delegate->Set_Drop_Target({});
    viewport()->update();
}

void TArchive_Tree::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->source() == this && event->mimeData()->hasFormat(QString::fromLatin1(Drag_Mime)))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TArchive_Tree::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->source() != this) {
        event->ignore();
        return;
    }
    // Auto-scroll near the edges comes with the base class; its verdict is replaced.
    QTreeWidget::dragMoveEvent(event);
    QTreeWidgetItem *target = itemAt(event->position().toPoint());
    const bool accepted = Drop_Accepted(target);
    auto *delegate = qobject_cast<TTree_Node_Delegate *>(itemDelegate());
    if (delegate) {
        delegate->Set_Drop_Target(accepted ? QPersistentModelIndex(indexFromItem(target)) : QPersistentModelIndex());
        viewport()->update();
    }
    if (accepted) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TArchive_Tree::dropEvent(QDropEvent *event)
{
    if (auto *delegate = qobject_cast<TTree_Node_Delegate *>(itemDelegate()))
        delegate->Set_Drop_Target({});
    if (event->source() != this) {
        event->ignore();
        return;
    }
    QTreeWidgetItem *target = itemAt(event->position().toPoint());
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    Drop_Nodes(target);
}

// ---------------------------------------------------------------------------------------
// Keys, mouse, drawing

void TArchive_Tree::keyPressEvent(QKeyEvent *event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (ctrl && (event->key() == Qt::Key_Equal || event->key() == Qt::Key_Plus)) {
        Set_Tree_Zoom(font().pointSize() + 1);
        return;
    }
    if (ctrl && event->key() == Qt::Key_Minus) {
        Set_Tree_Zoom(font().pointSize() - 1);
        return;
    }
    if (state() != QAbstractItemView::EditingState) {
        QTreeWidgetItem *node = Selected_Node();
        switch (event->key()) {
        case Qt::Key_F2:
            if (node)
                Edit_Node(node);
            return;
        case Qt::Key_F5:
            if (node)
                Refresh_Selected_Node();
            return;
        case Qt::Key_Insert:
            if (Item_Of_Node(node))
                Insert_By_Keys(node, event->modifiers());
            return;
        case Qt::Key_Delete:
            if (Item_Of_Node(node))
                Delete_Node(node);
            return;
        default:
            break;
        }
    }
    QTreeWidget::keyPressEvent(event);
}

void TArchive_Tree::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        // A right click selects the node under the mouse; the popup then acts on it.
        if (QTreeWidgetItem *node = itemAt(event->position().toPoint()))
            setCurrentItem(node);
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void TArchive_Tree::contextMenuEvent(QContextMenuEvent *event)
{
    if (!Selected_Node()) {
        event->ignore();
        return;
    }
    Update_Tree_Menu();
    pop_Tree->popup(event->globalPos());
    event->accept();
}

void TArchive_Tree::resizeEvent(QResizeEvent *event)
{
    QTreeWidget::resizeEvent(event);
    Place_Toolbar();
}

void TArchive_Tree::changeEvent(QEvent *event)
{
    QTreeWidget::changeEvent(event);
    if (event->type() == QEvent::LayoutDirectionChange)
        Place_Toolbar();
}

void TArchive_Tree::drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    QTreeWidgetItem *node = itemFromIndex(index);
    // The marker of a node that has (or will load) children, drawn before the expand button
    // as the platform tree draws it: 3 x 2 pixels, 13 pixels before the text.
    if (node && As_Node(node)->Has_Children()) {
        const int top = rect.top() + 8;
        const QRect marker = isRightToLeft() ? QRect(rect.left() + 10, top, 3, 2) : QRect(rect.right() + 1 - 13, top, 3, 2);
        painter->fillRect(marker, QColor(0, 132, 255));
    }
    QTreeWidget::drawBranches(painter, rect, index);
}

// ---------------------------------------------------------------------------------------
// Menu and button handlers

void TArchive_Tree::mnu_Edit_NodeClick()
{
    Edit_Node(Selected_Node());
}

void TArchive_Tree::mnu_Add_UnitClick()
{
    Add_Unit(Selected_Node());
}

void TArchive_Tree::mnu_Add_PersonClick()
{
    Add_Person(Selected_Node());
}

void TArchive_Tree::mnu_Add_SubjectClick()
{
    Add_Subject(Selected_Node());
}

void TArchive_Tree::mnu_Assign_FilesClick()
{
    Assign_Document_Files(Selected_Node());
}

void TArchive_Tree::mnu_Add_DocumentClick()
{
    Add_Document(Selected_Node());
}

void TArchive_Tree::mnu_Add_Documents_GroupClick()
{
    Add_Documents_Group(Selected_Node());
}

void TArchive_Tree::mnu_DeleteClick()
{
    QTreeWidgetItem *node = Selected_Node();
    if (!node || Main_Is_Busy()) {
        if (node)
            QApplication::beep();
        return;
    }
    Delete_Node(node);
    // The menus' Delete counts as a change whatever the answer was.
    if (FArchive)
        FArchive->SetNeedSave(true);
    emit Need_To_Save();
}

void TArchive_Tree::mnu_Print_DocClick()
{
    if (Kind_Of_Node(Selected_Node()) == TNode_Kind::Document && FDocument_Output_Available)
        emit Print_Requested(static_cast<TDocument *>(Item_Of_Node(Selected_Node())));
}

void TArchive_Tree::mnu_Save_As_PDFClick()
{
    if (Kind_Of_Node(Selected_Node()) == TNode_Kind::Document && FDocument_Output_Available)
        emit Save_As_PDF_Requested(static_cast<TDocument *>(Item_Of_Node(Selected_Node())));
}

void TArchive_Tree::mnu_Save_As_TifClick()
{
    if (Kind_Of_Node(Selected_Node()) == TNode_Kind::Document && FDocument_Output_Available)
        emit Save_As_Tif_Requested(static_cast<TDocument *>(Item_Of_Node(Selected_Node())));
}

void TArchive_Tree::mnu_RefreshClick()
{
    Refresh_Selected_Node();
}

void TArchive_Tree::mnu_PropertyClick()
{
    if (TArchItem *item = Item_Of_Node(Selected_Node()); item && FProperties_Available)
        emit Properties_Requested(item);
}

void TArchive_Tree::bt_MoreClick()
{
    if (!Selected_Node())
        return;
    Update_Tree_Menu();
    pop_Tree->popup(QCursor::pos());
}
