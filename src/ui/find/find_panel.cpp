#include "ui/find/find_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QScopedValueRollback>
#include <QSet>
#include <QVBoxLayout>

#include "archive/tarchitem.h"
#include "local/localization.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/find/archive_changes.h"
#include "ui/main/control_bridge.h"
#include "ui/properties/panel_widgets.h"

namespace {

const QColor Header_Color(210, 71, 38);
const QColor Header_Text(232, 232, 232);
constexpr int Item_Role = Qt::UserRole;

QPixmap Search_Picture()
{
    QPixmap picture(36, 36);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Header_Text, 3));
    p.drawEllipse(QRectF(6, 6, 17, 17));
    p.setPen(QPen(Header_Text, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(21, 21), QPointF(30, 30));
    return picture;
}

// Restores the cursor however the search ends.
struct TWait_Cursor
{
    TWait_Cursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWait_Cursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

Tfrm_Find::Tfrm_Find(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frm_Find"));
    Style_Panel(this);

    VelPanel1 = new TVelPanel(this);
    VelPanel1->setObjectName(QStringLiteral("VelPanel1"));
    VelPanel1->SetColor(Header_Color);
    VelPanel1->SetBorderStyle(TVelPanel::bsNone);
    VelPanel1->setFixedHeight(66);
    // the header keeps its left-to-right order in every language
    VelPanel1->setLayoutDirection(Qt::LeftToRight);
    Image1 = new TVelLabel(VelPanel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(Search_Picture());
    Image1->setCursor(Qt::PointingHandCursor);
    lbl_Search = new TVelLabel(VelPanel1);
    lbl_Search->setObjectName(QStringLiteral("lbl_Search"));
    lbl_Search->SetTransparent(true);
    lbl_Search->SetFontColor(Header_Text);
    lbl_Search->SetVericalCenter(true);
    lbl_Search->setFont(QFont(QStringLiteral("Arial"), 16));
    lbl_Search->setCursor(Qt::PointingHandCursor);
    auto *headerRow = new QHBoxLayout(VelPanel1);
    headerRow->setContentsMargins(14, 0, 14, 0);
    headerRow->setSpacing(10);
    headerRow->addWidget(Image1);
    headerRow->addWidget(lbl_Search, 1);
    const auto close = [] { Control_Show_Find(); };
    connect(VelPanel1, &TVelPanel::OnClick, this, close);
    connect(lbl_Search, &TVelLabel::OnClick, this, close);
    connect(Image1, &TVelLabel::OnClick, this, close);

    pnl = new QWidget(this);
    pnl->setObjectName(QStringLiteral("pnl"));
    lbl_Find_Text = New_Panel_Label(pnl, "lbl_Find_Text");
    txt_Find = new TVelEdit(pnl);
    txt_Find->setObjectName(QStringLiteral("txt_Find"));
    Style_Field(txt_Find);
    txt_Find->setFixedHeight(30);
    txt_Find->installEventFilter(this);
    bt_Find = New_Ok_Button(pnl);
    bt_Find->setObjectName(QStringLiteral("bt_Find"));
    Show_Modified_Look(bt_Find, true);
    connect(bt_Find, &TVelPanel::OnClick, this, &Tfrm_Find::Run_Search);
    chk_Titles_Only = new QCheckBox(pnl);
    chk_Titles_Only->setObjectName(QStringLiteral("chk_Titles_Only"));
    chk_Titles_Only->setChecked(true);
    lbl_Results = New_Panel_Label(pnl, "lbl_Results");
    pnl_Result = new QWidget(pnl);
    pnl_Result->setObjectName(QStringLiteral("pnl_Result"));
    lst_Result = new QListWidget(pnl_Result);
    lst_Result->setObjectName(QStringLiteral("lst_Result"));
    lst_Result->setFrameShape(QFrame::NoFrame);
    lst_Result->setUniformItemSizes(true);
    QPalette listPalette = lst_Result->palette();
    listPalette.setColor(QPalette::Base, Panel_Look::Field);
    listPalette.setColor(QPalette::Text, Qt::white);
    lst_Result->setPalette(listPalette);
    auto *resultRows = new QVBoxLayout(pnl_Result);
    resultRows->setContentsMargins(0, 0, 0, 0);
    resultRows->addWidget(lst_Result);
    connect(lst_Result, &QListWidget::itemClicked, this, &Tfrm_Find::lst_ResultClick);

    auto *findRow = new QHBoxLayout;
    findRow->setSpacing(8);
    findRow->addWidget(txt_Find, 1);
    findRow->addWidget(bt_Find);
    auto *rows = new QVBoxLayout(pnl);
    rows->setContentsMargins(16, 12, 16, 12);
    rows->setSpacing(6);
    rows->addWidget(lbl_Find_Text);
    rows->addLayout(findRow);
    rows->addWidget(chk_Titles_Only);
    rows->addSpacing(6);
    rows->addWidget(lbl_Results);
    rows->addWidget(pnl_Result, 1);

    auto *form = new QVBoxLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->setSpacing(0);
    form->addWidget(VelPanel1);
    form->addWidget(pnl, 1);
    Localize();
}

void Tfrm_Find::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Localize();
    txt_Find->setFocus();
}

void Tfrm_Find::Localize()
{
    const bool rtl = Local_Is_RTL();
    pnl->setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
    setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
    VelPanel1->setLayoutDirection(Qt::LeftToRight);
    QFont searchFont = lbl_Search->font();
    searchFont.setPointSize(rtl ? 18 : 16);
    lbl_Search->setFont(searchFont);

    lbl_Search->SetCaption(Translate(QStringLiteral("Search")));
    bt_Find->SetCaption(Translate(QStringLiteral("Find")));
    chk_Titles_Only->setText(Translate(QStringLiteral("Search in titles only")));
    lbl_Results->SetCaption(Translate(QStringLiteral("Find Result")) + u':');
    lbl_Find_Text->SetCaption(Translate(QStringLiteral("Text to find")) + u':');
    txt_Find->SetTextHint(Translate(QStringLiteral("Enter text to find")));
}

void Tfrm_Find::Clear()
{
    txt_Find->SetText(QString());
    Clear_Results();
    FLists_Archive = nullptr;
}

void Tfrm_Find::Clear_Results()
{
    lst_Result->clear();
}

void Tfrm_Find::Refill_Lists()
{
    if (!Archive)
        return;
    try {
        Archive->Fill_Lists();
        FLists_Archive = Archive;
        FLists_Stamp = Archive_Change_Stamp();
    } catch (...) {
        // the search then runs on the lists as they are
    }
}

void Tfrm_Find::Bring_Lists_Up_To_Date()
{
    if (!Archive || (FLists_Archive == Archive && FLists_Stamp == Archive_Change_Stamp()))
        return;
    Refill_Lists();
    if (lst_Result->count() == 0)
        return;
    // A hit whose item left the tree would refer to a destroyed item: only addresses are
    // compared here, nothing is read through them.
    QSet<const TArchItem *> live;
    live.reserve(Archive->Document_List.size() + Archive->Unit_List.size() + Archive->Person_List.size()
                 + Archive->Subject_List.size() + Archive->Archive_List.size());
    for (const TArchItem *item : Archive->Document_List)
        live.insert(item);
    for (const TArchItem *item : Archive->Unit_List)
        live.insert(item);
    for (const TArchItem *item : Archive->Person_List)
        live.insert(item);
    for (const TArchItem *item : Archive->Subject_List)
        live.insert(item);
    for (const TArchItem *item : Archive->Archive_List)
        live.insert(item);
    for (int row = lst_Result->count() - 1; row >= 0; --row) {
        const auto *item = reinterpret_cast<const TArchItem *>(lst_Result->item(row)->data(Item_Role).value<quintptr>());
        if (!live.contains(item))
            delete lst_Result->takeItem(row);
    }
}

void Tfrm_Find::Add_Result(TArchItem *item)
{
    auto *entry = new QListWidgetItem(item->Name);
    entry->setData(Item_Role, QVariant::fromValue(quintptr(item)));
    lst_Result->addItem(entry);
}

TArchItem *Tfrm_Find::Result_Item(int row) const
{
    const QListWidgetItem *entry = lst_Result->item(row);
    return entry ? reinterpret_cast<TArchItem *>(entry->data(Item_Role).value<quintptr>()) : nullptr;
}

void Tfrm_Find::Run_Search()
{
    // A search started again while this one lets events run would clear the list under it.
    if (!Archive || FSearching)
        return;
    const QScopedValueRollback<bool> searching(FSearching, true);
    TMain_Busy_Scope busy;
    TWait_Cursor wait;
    TArchive *archive = Archive;
    Bring_Lists_Up_To_Date();
    Clear_Results();
    const QString text = txt_Find->Text();

    const auto pass = [&](const auto &items) {
        for (TArchItem *item : items)
            Add_Result(item);
        QCoreApplication::processEvents();
    };
    pass(archive->Find_in_Archives(text));
    const QList<TDocument *> titles = archive->Find_in_Documents_Title(text);
    pass(titles);
    pass(archive->Find_in_Units(text));
    pass(archive->Find_in_Persons(text));
    pass(archive->Find_in_Subjects(text));
    if (!chk_Titles_Only->isChecked()) {
        // Every text of the documents; those already listed by their title stay listed once.
        const QSet<TDocument *> listed(titles.cbegin(), titles.cend());
        QList<TDocument *> more;
        for (TDocument *d : archive->Find_in_Documents(text))
            if (!listed.contains(d))
                more.append(d);
        pass(more);
    }
}

void Tfrm_Find::lst_ResultClick(QListWidgetItem *entry)
{
    if (!entry)
        return;
    const int row = lst_Result->row(entry);
    Select_Result(row);
}

void Tfrm_Find::Select_Result(int row)
{
    if (row < 0 || row >= lst_Result->count())
        return;
    TArchItem *item = Result_Item(row);
    Bring_Lists_Up_To_Date();
    // the entry itself is gone when its item left the tree
    for (int i = 0; i < lst_Result->count(); ++i) {
        if (Result_Item(i) == item) {
            if (item) {
                emit Item_Chosen(item);
                Control_Select_Item(item);
            }
            return;
        }
    }
}

bool Tfrm_Find::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txt_Find && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Run_Search();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
