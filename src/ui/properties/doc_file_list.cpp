#include "ui/properties/doc_file_list.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int Missing_Role = Qt::UserRole + 1;
const QColor Selected_Back(120, 120, 120);
const QColor Selected_Outline(38, 160, 218);

class TFile_Delegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const bool missing = index.data(Missing_Role).toBool();
        painter->save();
        const QRect r = option.rect;
        if (selected) {
            painter->fillRect(r, Selected_Back);
            painter->setPen(Selected_Outline);
            painter->drawRect(r.adjusted(0, 0, -1, -1));
        } else {
            painter->fillRect(r, option.palette.base());
        }
        painter->setPen(TDoc_File_List::Text_Color(missing, selected));
        painter->setFont(option.font);
        const QRect text = r.adjusted(3, 0, -1, 0);
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          option.fontMetrics.elidedText(index.data().toString(), Qt::ElideMiddle, text.width()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), option.fontMetrics.height() + 6);
    }
};

} // namespace

TDoc_File_List::TDoc_File_List(QWidget *parent)
    : QListWidget(parent)
{
    setObjectName(QStringLiteral("lst_Files"));
    setLayoutDirection(Qt::LeftToRight);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setItemDelegate(new TFile_Delegate(this));
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setFrameShape(QFrame::NoFrame);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

bool TDoc_File_List::Is_Missing(const QListWidgetItem *entry)
{
    return entry && entry->data(Missing_Role).toBool();
}

void TDoc_File_List::Set_Missing(QListWidgetItem *entry, bool missing)
{
    entry->setData(Missing_Role, missing);
}

QColor TDoc_File_List::Text_Color(bool missing, bool selected)
{
    if (!missing)
        return Qt::white;
    return selected ? QColor(103, 5, 39) : QColor(254, 184, 202);
}

bool TDoc_File_List::Move_Current(int step)
{
    const int from = currentRow();
    const int to = from + step;
    if (from < 0 || to < 0 || to >= count())
        return false;
    Move_Entry(from, to);
    return true;
}

void TDoc_File_List::Move_Entry(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= count() || to >= count())
        return;
    QListWidgetItem *entry = takeItem(from);
    insertItem(to, entry);
    clearSelection();
    setCurrentItem(entry);
    entry->setSelected(true);
}

void TDoc_File_List::keyPressEvent(QKeyEvent *event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (ctrl && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        // consumed with Ctrl even at either end, where nothing moves
        if (Move_Current(event->key() == Qt::Key_Up ? -1 : 1))
            emit Reordered();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit Delete_Pressed();
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TDoc_File_List::mousePressEvent(QMouseEvent *event)
{
    QListWidget::mousePressEvent(event);
    if (currentRow() >= 0)
        emit Entry_Pressed(currentRow());
}

void TDoc_File_List::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListWidget::mouseDoubleClickEvent(event);
    if (currentRow() >= 0)
        emit Entry_Double_Clicked(currentRow());
}

void TDoc_File_List::startDrag(Qt::DropActions actions)
{
    if (currentRow() < 0)
        return;
    QListWidget::startDrag(actions);
}

void TDoc_File_List::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->source() == this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDoc_File_List::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->source() == this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDoc_File_List::dropEvent(QDropEvent *event)
{
    if (event->source() != this) {
        event->ignore();
        return;
    }
    const int target = indexAt(event->position().toPoint()).row();
    Move_Entry(currentRow(), target);
    // the entries were moved here; the drag must not remove anything when it ends
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    emit Reordered();
}
