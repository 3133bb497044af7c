#include "ui/options/language_dialog.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "local/options.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/options/language_choice.h"

namespace {

const QColor Dialog_Color(36, 36, 36);
const QColor Text_Color(212, 212, 212);
const QColor Selected_Row(48, 48, 48);

// Rows drawn flat: a lighter band for the selection and a dotted frame around it.
class TLanguage_Row_Delegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->fillRect(option.rect, selected ? Selected_Row : Dialog_Color);
        painter->setPen(Text_Color);
        painter->setFont(option.font);
        const QRect text = option.rect.adjusted(3, 0, -1, 0);
        painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        if (selected) {
            painter->setPen(QPen(Text_Color, 1, Qt::DotLine));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), Tfrm_Select_Language::Row_Height};
    }
};

} // namespace

Tfrm_Select_Language::Tfrm_Select_Language(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frm_Select_Language"));
    setModal(true);
    // The list names every language in its own script; the dialog itself is never translated.
    setLayoutDirection(Qt::LeftToRight);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Dialog_Color);
    palette.setColor(QPalette::WindowText, Text_Color);
    palette.setColor(QPalette::Base, Dialog_Color);
    palette.setColor(QPalette::Text, Text_Color);
    setPalette(palette);
    setFont(QFont(QStringLiteral("Tahoma"), 12));
    setFixedSize(Design_Width, Design_Height);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    lbl_Select_Language = new TVelLabel(QStringLiteral("  Select Language"), this);
    lbl_Select_Language->setObjectName(QStringLiteral("lbl_Select_Language"));
    lbl_Select_Language->SetColor(QColor(22, 22, 22));
    lbl_Select_Language->SetFontColor(Qt::white);
    lbl_Select_Language->SetVericalCenter(true);
    lbl_Select_Language->setFixedHeight(41);
    layout->addWidget(lbl_Select_Language);

    lst_Languages = new QListWidget(this);
    lst_Languages->setObjectName(QStringLiteral("lst_Languages"));
    lst_Languages->setFrameShape(QFrame::NoFrame);
    lst_Languages->setItemDelegate(new TLanguage_Row_Delegate(lst_Languages));
    lst_Languages->setUniformItemSizes(true);
    lst_Languages->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lst_Languages->setPalette(palette);
    auto *listBox = new QVBoxLayout;
    listBox->setContentsMargins(8, 10, 8, 10);
    listBox->addWidget(lst_Languages);
    layout->addLayout(listBox, 1);
    connect(lst_Languages, &QListWidget::itemDoubleClicked, this, &Tfrm_Select_Language::bt_OkClick);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(8, 0, 12, 14);
    buttonRow->addStretch(1);
    bt_Ok = new TVelPanel(this);
    bt_Ok->setObjectName(QStringLiteral("bt_Ok"));
    bt_Ok->SetCaption(QStringLiteral("OK"));
    bt_Ok->SetColor(QColor(69, 69, 69));
    bt_Ok->SetFontColor(Qt::white);
    bt_Ok->setFont(QFont(QStringLiteral("Arial"), 12));
    bt_Ok->SetBorderStyle(TVelPanel::bsNone);
    bt_Ok->SetVerticalAlignment(TVelPanel::taVerticalCenter);
    bt_Ok->SetAlignment(Qt::AlignHCenter);
    bt_Ok->setFixedSize(96, 32);
    bt_Ok->setCursor(Qt::PointingHandCursor);
    bt_Ok->setFocusPolicy(Qt::StrongFocus);
    bt_Ok->installEventFilter(this);
    buttonRow->addWidget(bt_Ok);
    layout->addLayout(buttonRow);
    connect(bt_Ok, &TVelPanel::OnClick, this, &Tfrm_Select_Language::bt_OkClick);

    lst_Languages->installEventFilter(this);
}

Tfrm_Select_Language::~Tfrm_Select_Language() = default;

void Tfrm_Select_Language::Fill_Languages()
{
    lst_Languages->clear();
    arrLanguages = Get_Languages(QString());
    lst_Languages->addItems(Language_Rows(arrLanguages));
    if (lst_Languages->count() > 0)
        lst_Languages->setCurrentRow(0);
    QCoreApplication::processEvents();
    lst_Languages->viewport()->update();
}

void Tfrm_Select_Language::bt_OkClick()
{
    const int row = lst_Languages->currentRow();
    if (row >= 0 && row < arrLanguages.size()) {
        Current_Options.Language = arrLanguages[row].Language;
        Current_Options.Language_File = arrLanguages[row].FileName;
    }
    Save_Options_And_Language();
    accept();
}

void Tfrm_Select_Language::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Center_On_Parent();
    Fill_Languages();
    lst_Languages->setFocus();
}

bool Tfrm_Select_Language::eventFilter(QObject *watched, QEvent *event)
{
    // Enter takes the selected language from the list as from the button.
    if ((watched == lst_Languages || watched == bt_Ok) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || (watched == bt_Ok && key == Qt::Key_Space)) {
            bt_OkClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_Select_Language::Center_On_Parent()
{
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (!owner)
        return;
    const QRect frame = owner->geometry();
    move(frame.center() - QPoint(width() / 2, height() / 2));
}
