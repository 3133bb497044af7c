#include "ui/main/tree_node.h"

#include "ui/main/archive_tree.h"

#include <QColor>
#include <QFont>

namespace {

QColor Kind_Colour(TNode_Kind kind)
{
    switch (kind) {
    case TNode_Kind::Archive:
        return QColor(255, 255, 255);
    case TNode_Kind::Unit:
        return QColor(177, 177, 177);
    case TNode_Kind::Subject:
        return QColor(255, 193, 255);
    case TNode_Kind::Documents_Group:
        return QColor(94, 255, 255);
    case TNode_Kind::Document:
        return QColor(166, 202, 240);
    case TNode_Kind::Persons_Group:
        return QColor(255, 255, 168);
    case TNode_Kind::Person:
        return QColor(255, 255, 198);
    case TNode_Kind::None:
        break;
    }
    return QColor(234, 234, 234);
}

} // namespace

TTree_Node::TTree_Node(TArchive_Tree *tree, TArchItem *item, const QString &text)
    : QTreeWidgetItem(Node_Type)
    , FTree(tree)
    , FItem(item)
    , FKind(Kind_Of_Item(item))
{
    setText(0, text);
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    if (FKind != TNode_Kind::Persons_Group)
        flags |= Qt::ItemIsEditable;
    setFlags(flags);
    FTree->Register_Node(this);
}

TTree_Node::~TTree_Node()
{
    FTree->Forget_Node(this);
}

QVariant TTree_Node::data(int column, int role) const
{
    if (column == 0) {
        switch (role) {
        case TArchive_Tree::Item_Role:
            return QVariant::fromValue(static_cast<void *>(FItem));
        case Qt::ForegroundRole:
            return Kind_Colour(FKind);
        case Qt::FontRole:
            if (FKind == TNode_Kind::Unit || FKind == TNode_Kind::Archive) {
                QFont font = FTree->font();
                if (FKind == TNode_Kind::Archive)
                    font.setFamily(QStringLiteral("Arial"));
                font.setBold(true);
                return font;
            }
            break;
        default:
            break;
        }
    }
    return QTreeWidgetItem::data(column, role);
}

void TTree_Node::Set_Has_Children(bool on)
{
    setChildIndicatorPolicy(on ? QTreeWidgetItem::ShowIndicator : QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

bool TTree_Node::Has_Children() const
{
    return childCount() > 0 || childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
}
