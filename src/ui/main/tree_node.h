#pragma once

#include <QTreeWidgetItem>

#include "ui/main/tree_rules.h"

class TArchItem;
class TArchive_Tree;

// A node of the archive tree: refers to one item (not owned) and registers itself in its
// tree's index from item to node for as long as it lives, so the index follows every node
// that is added, moved or deleted. Its colour and font come from the item's kind.
class TTree_Node : public QTreeWidgetItem
{
public:
    static constexpr int Node_Type = QTreeWidgetItem::UserType + 1;

    TTree_Node(TArchive_Tree *tree, TArchItem *item, const QString &text);
    ~TTree_Node() override;

    TArchItem *Item() const { return FItem; }
    TNode_Kind Kind() const { return FKind; }

    QVariant data(int column, int role) const override;

    // "Has children" as the tree marks it: an expand button even before children exist.
    void Set_Has_Children(bool on);
    bool Has_Children() const;

private:
    TArchive_Tree *FTree;
    TArchItem *FItem;
    TNode_Kind FKind;
};
