#include "ui/main/tree_node_delegate.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

TTree_Node_Delegate::TTree_Node_Delegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

void TTree_Node_Delegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);

    QFont font = opt.font;
    if (opt.state & QStyle::State_MouseOver)
        font.setUnderline(true);
    const QFontMetrics metrics(font);
    constexpr int padding = 2;

    // The field covers the text only, not the row, as the platform tree draws it.
    QRect field = opt.rect;
    field.setWidth(qMin(opt.rect.width(), metrics.horizontalAdvance(opt.text) + 2 * padding));
    if (opt.direction == Qt::RightToLeft)
        field.moveRight(opt.rect.right());

    painter->save();
    const bool selected = opt.state & QStyle::State_Selected;
    if (selected || (FDrop_Target.isValid() && FDrop_Target == index))
        painter->fillRect(field, QColor(Tree_Selection_Grey, Tree_Selection_Grey, Tree_Selection_Grey));
    QColor colour = index.data(Qt::ForegroundRole).value<QColor>();
    if (!colour.isValid())
        colour = opt.palette.color(QPalette::Text);
    painter->setPen(colour);
    painter->setFont(font);
    painter->drawText(field.adjusted(padding, 0, -padding, 0), Qt::AlignVCenter | Qt::AlignLeading | Qt::TextSingleLine,
                      metrics.elidedText(opt.text, Qt::ElideRight, field.width() - 2 * padding + 1));
    painter->restore();
}

QWidget *TTree_Node_Delegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    // The tree's palette hides selected text (its highlight is the background colour).
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Base, QColor(255, 255, 255));
    palette.setColor(QPalette::Text, QColor(0, 0, 0));
    palette.setColor(QPalette::Highlight, QColor(0, 120, 215));
    palette.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    editor->setPalette(palette);
    return editor;
}

void TTree_Node_Delegate::setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const
{
    auto *edit = qobject_cast<QLineEdit *>(editor);
    if (edit && FCommit)
        FCommit(index, edit->text());
}

bool TTree_Node_Delegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && FKey_Hook && FKey_Hook(static_cast<QKeyEvent *>(event)))
        return true;
    return QStyledItemDelegate::eventFilter(object, event);
}
