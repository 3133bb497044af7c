#include "ui/main/archive_tree.h"

#include <QMenu>

TArchive_Tree::TArchive_Tree(QWidget *parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
    pop_Tree = new QMenu(this);
    mnu_Document = new QMenu(this);
    pnl_Toolbar = new QWidget(this);
}

TArchive_Tree::~TArchive_Tree() = default;

void TArchive_Tree::Set_Archive(TArchive *archive) { FArchive = archive; }
void TArchive_Tree::Clear_Tree() { clear(); }
void TArchive_Tree::Build_Tree() {}
void TArchive_Tree::Add_Unit_Nodes(QTreeWidgetItem *, TUnit *, bool) {}
void TArchive_Tree::Add_Document_Nodes(QTreeWidgetItem *, TDocument *, bool) {}
void TArchive_Tree::Add_Person_Nodes(QTreeWidgetItem *, TPerson *) {}
void TArchive_Tree::Add_Subject_Node(QTreeWidgetItem *, TSubject *) {}
void TArchive_Tree::Add_Folder_Node(QTreeWidgetItem *, TDocArchive *) {}
TArchItem *TArchive_Tree::Item_Of_Node(QTreeWidgetItem *) const { return nullptr; }
TNode_Kind TArchive_Tree::Kind_Of_Node(QTreeWidgetItem *) const { return TNode_Kind::None; }
QTreeWidgetItem *TArchive_Tree::Node_Of_Item(TArchItem *) const { return nullptr; }
QTreeWidgetItem *TArchive_Tree::Find_Node_Under(QTreeWidgetItem *, TArchItem *) const { return nullptr; }
QTreeWidgetItem *TArchive_Tree::Child_Node_Of_Kind(QTreeWidgetItem *, TNode_Kind) const { return nullptr; }
QTreeWidgetItem *TArchive_Tree::Locate_Item_Node(QTreeWidgetItem *, TArchItem *) { return nullptr; }
QTreeWidgetItem *TArchive_Tree::Root_Node() const { return topLevelItem(0); }
bool TArchive_Tree::Is_Loaded(QTreeWidgetItem *) const { return true; }
void TArchive_Tree::Ensure_Loaded(QTreeWidgetItem *) {}
void TArchive_Tree::Update_Item(TArchItem *) {}
void TArchive_Tree::Refresh_Selected_Node() {}
void TArchive_Tree::Set_Tree_Zoom(int size) { FTreeZoom = size; }
void TArchive_Tree::Retranslate_Folder_Nodes() {}
void TArchive_Tree::Localize() {}
void TArchive_Tree::Place_Toolbar() {}
void TArchive_Tree::Update_Tree_Menu() {}
QTreeWidgetItem *TArchive_Tree::Add_Document(QTreeWidgetItem *) { return nullptr; }
QTreeWidgetItem *TArchive_Tree::Add_Documents_Group(QTreeWidgetItem *) { return nullptr; }
QTreeWidgetItem *TArchive_Tree::Add_Person(QTreeWidgetItem *) { return nullptr; }
QTreeWidgetItem *TArchive_Tree::Add_Subject(QTreeWidgetItem *) { return nullptr; }
QTreeWidgetItem *TArchive_Tree::Add_Unit(QTreeWidgetItem *) { return nullptr; }
void TArchive_Tree::Assign_Document_Files(QTreeWidgetItem *) {}
void TArchive_Tree::Insert_By_Keys(QTreeWidgetItem *, Qt::KeyboardModifiers) {}
bool TArchive_Tree::Delete_Node(QTreeWidgetItem *) { return false; }
void TArchive_Tree::Edit_Node(QTreeWidgetItem *) {}
void TArchive_Tree::Node_Text_Edited(QTreeWidgetItem *, const QString &) {}
bool TArchive_Tree::Drop_Accepted(QTreeWidgetItem *) const { return false; }
void TArchive_Tree::Drop_Nodes(QTreeWidgetItem *) {}
void TArchive_Tree::Set_Properties_Available(bool on) { FProperties_Available = on; }
void TArchive_Tree::Set_Assign_Files_Available(bool on) { FAssign_Files_Available = on; }
void TArchive_Tree::Set_Document_Output_Available(bool on) { FDocument_Output_Available = on; }
void TArchive_Tree::Set_Preview_Has_Pages(std::function<bool()> query) { FPreview_Has_Pages = std::move(query); }
void TArchive_Tree::keyPressEvent(QKeyEvent *event) { QTreeWidget::keyPressEvent(event); }
void TArchive_Tree::mousePressEvent(QMouseEvent *event) { QTreeWidget::mousePressEvent(event); }
void TArchive_Tree::contextMenuEvent(QContextMenuEvent *event) { QTreeWidget::contextMenuEvent(event); }
void TArchive_Tree::resizeEvent(QResizeEvent *event) { QTreeWidget::resizeEvent(event); }
void TArchive_Tree::changeEvent(QEvent *event) { QTreeWidget::changeEvent(event); }
void TArchive_Tree::startDrag(Qt::DropActions) {}
void TArchive_Tree::dragEnterEvent(QDragEnterEvent *event) { QTreeWidget::dragEnterEvent(event); }
void TArchive_Tree::dragMoveEvent(QDragMoveEvent *event) { QTreeWidget::dragMoveEvent(event); }
void TArchive_Tree::dropEvent(QDropEvent *event) { QTreeWidget::dropEvent(event); }
void TArchive_Tree::drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    QTreeWidget::drawBranches(painter, rect, index);
}
