#pragma once

#include <QStyledItemDelegate>

#include <functional>

// Draws the archive tree's nodes (text in the kind's colour, the selected node's text on a
// grey field whether or not the tree has the focus, the node under the mouse underlined)
// and hands a confirmed in-place edit to the tree instead of writing it into the node.
class TTree_Node_Delegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using TCommit = std::function<void(const QModelIndex &index, const QString &text)>;
    using TKey_Hook = std::function<bool(QKeyEvent *event)>;

    explicit TTree_Node_Delegate(QObject *parent = nullptr);

    void Set_Commit(TCommit commit) { FCommit = std::move(commit); }
    // Keys the editor passes to the tree first (the zoom keys work while editing).
    void Set_Key_Hook(TKey_Hook hook) { FKey_Hook = std::move(hook); }
    // The node drawn as the target of a drag, or an invalid index.
    void Set_Drop_Target(const QPersistentModelIndex &index) { FDrop_Target = index; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    TCommit FCommit;
    TKey_Hook FKey_Hook;
    QPersistentModelIndex FDrop_Target;
};

// Colour of the selected node's text field.
inline constexpr int Tree_Selection_Grey = 105;
