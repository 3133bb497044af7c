#include "ui/help/help_card.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "local/localization.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/help/form_pictures.h"

namespace {

const QColor Card_Color(246, 246, 246);
const QColor Header_Color(0, 138, 204);
const QColor Menu_Color(232, 232, 232);
const QColor Page_Text(48, 48, 48);
const QColor Current_Entry(128, 128, 128);
const QColor Other_Entry(0, 128, 192);
const QColor Grid_Line(200, 200, 200);
const QColor Key_Row(0, 119, 176);

struct TOther_Key
{
    const char *Key;
    const char *Command;
};

const TOther_Key Other_Keys[] = {
    {"F2", "Edit Item Name"},
    {"Delete", "Delete Item"},
    {"F4", "Item Properties"},
    {"F5", "Refresh"},
};

QFont Sized(QFont font, int points)
{
    font.setPointSize(points);
    return font;
}

// The texts hold CR LF where the guide breaks its lines.
QString Lines(const QString &text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return result;
}

TVelLabel *Page_Label(QWidget *parent, bool bold = false)
{
    auto *label = new TVelLabel(parent);
    label->SetTransparent(true);
    label->SetFontColor(Page_Text);
    label->SetShowAccelChar(false);
    label->setWordWrap(true);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

TVelLabel *Cell(QWidget *parent, const QColor &background, const QColor &text, bool bold)
{
    auto *label = new TVelLabel(parent);
    label->SetColor(background);
    label->SetFontColor(text);
    label->SetShowAccelChar(false);
    label->SetVericalCenter(true);
    label->setWordWrap(true);
    label->setMinimumHeight(38);
    // the text keeps a few pixels from the grid lines
    label->SetBorderWidth(8);
    QFont font = label->font();
    font.setBold(bold);
    font.setPointSize(9);
    label->setFont(font);
    return label;
}

} // namespace

const QList<Tfrm_Help_Add::TShortcut_Row> &Tfrm_Help_Add::Shortcut_Table()
{
    static const QList<TShortcut_Row> table = {
        {"Section", {"Add Document", "Add Section", "Add Person", "Add Documents Group"}},
        {"Person", {"Add Document", "Add Subject", "", "Add Documents Group"}},
        {"Document", {"Add Document", "", "Assign Files", ""}},
        {"Subject", {"Add Document", "Add Subject", "", ""}},
        {"Person Branch", {"Add Person", "", "", ""}},
        {"Document Branch", {"Add Document", "Add Subject", "", "Add Documents Group"}},
    };
    return table;
}

const QStringList &Tfrm_Help_Add::Shortcut_Keys()
{
    static const QStringList keys = {QStringLiteral("Insert"), QStringLiteral("Ctrl Insert"),
                                     QStringLiteral("Shift Insert"), QStringLiteral("Ctrl Shift Insert")};
    return keys;
}

Tfrm_Help_Add::Tfrm_Help_Add(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frm_Help_Add"));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Card_Color);
    palette.setColor(QPalette::WindowText, Page_Text);
    setPalette(palette);
    setFont(QFont(QStringLiteral("Tahoma"), 10));
    resize(Design_Width, Design_Height);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    VelPanel1 = new TVelPanel(this);
    VelPanel1->setObjectName(QStringLiteral("VelPanel1"));
    VelPanel1->SetColor(Header_Color);
    VelPanel1->SetBorderStyle(TVelPanel::bsNone);
    VelPanel1->setFixedHeight(66);
    VelPanel1->setCursor(Qt::PointingHandCursor);
    auto *header = new QHBoxLayout(VelPanel1);
    header->setContentsMargins(18, 0, 18, 0);
    header->setSpacing(12);
    Image3 = new QLabel(VelPanel1);
    Image3->setPixmap(Help_Icon(32));
    Image3->setFixedSize(32, 32);
    Image3->installEventFilter(this);
    lbl_Help = new TVelLabel(VelPanel1);
    lbl_Help->SetTransparent(true);
    lbl_Help->SetFontColor(QColor(232, 232, 232));
    lbl_Help->SetVericalCenter(true);
    lbl_Help->setFont(QFont(QStringLiteral("Arial"), 16));
    header->addWidget(Image3);
    header->addWidget(lbl_Help, 1);
    connect(VelPanel1, &TVelPanel::OnClick, this, &QWidget::hide);
    connect(lbl_Help, &TVelLabel::OnClick, this, &QWidget::hide);
    layout->addWidget(VelPanel1);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);

    auto *pages = new QVBoxLayout;
    pages->setContentsMargins(22, 18, 22, 18);
    pnl_Edit = new QWidget(this);
    pnl_Edit->setObjectName(QStringLiteral("pnl_Edit"));
    pnl_Move = new QWidget(this);
    pnl_Move->setObjectName(QStringLiteral("pnl_Move"));
    Build_Edit_Page();
    Build_Move_Page();
    pages->addWidget(pnl_Edit);
    pages->addWidget(pnl_Move);
    pages->addStretch(1);
    body->addLayout(pages, 1);

    // in a left-to-right language the menu stands at the right edge, mirrored at the left
    pnl_Menu = new QWidget(this);
    pnl_Menu->setObjectName(QStringLiteral("pnl_Menu"));
    pnl_Menu->setAutoFillBackground(true);
    QPalette menuPalette = pnl_Menu->palette();
    menuPalette.setColor(QPalette::Window, Menu_Color);
    pnl_Menu->setPalette(menuPalette);
    pnl_Menu->setFixedWidth(170);
    auto *menu = new QVBoxLayout(pnl_Menu);
    menu->setContentsMargins(14, 20, 14, 14);
    menu->setSpacing(10);
    lbl_Edit = new TVelLabel(pnl_Menu);
    lbl_Move = new TVelLabel(pnl_Menu);
    for (TVelLabel *entry : {lbl_Edit, lbl_Move}) {
        entry->SetTransparent(true);
        entry->SetShowAccelChar(false);
        entry->setWordWrap(true);
        entry->setCursor(Qt::PointingHandCursor);
        menu->addWidget(entry);
    }
    lbl_Edit->setObjectName(QStringLiteral("lbl_Edit"));
    lbl_Move->setObjectName(QStringLiteral("lbl_Move"));
    menu->addStretch(1);
    connect(lbl_Edit, &TVelLabel::OnClick, this, &Tfrm_Help_Add::Show_Edit_Page);
    connect(lbl_Move, &TVelLabel::OnClick, this, &Tfrm_Help_Add::Show_Move_Page);
    body->addWidget(pnl_Menu);

    layout->addLayout(body, 1);

    Localize();
    Show_Edit_Page();
}

Tfrm_Help_Add::~Tfrm_Help_Add() = default;

void Tfrm_Help_Add::Build_Edit_Page()
{
    auto *page = new QVBoxLayout(pnl_Edit);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(12);
    lbl_Edit_Intro = Page_Label(pnl_Edit);
    lbl_Short_Cuts = Page_Label(pnl_Edit, true);
    page->addWidget(lbl_Edit_Intro);
    page->addWidget(lbl_Short_Cuts);

    // grid lines are the frame's colour showing between the cells
    auto *grid = new QWidget(pnl_Edit);
    grid->setAutoFillBackground(true);
    QPalette palette = grid->palette();
    palette.setColor(QPalette::Window, Grid_Line);
    grid->setPalette(palette);
    grd_Short_Cuts = new QGridLayout(grid);
    grd_Short_Cuts->setContentsMargins(1, 1, 1, 1);
    grd_Short_Cuts->setSpacing(1);

    QList<TVelLabel *> keyRow{Cell(grid, Key_Row, Qt::white, true)};
    for (const QString &key : Shortcut_Keys()) {
        TVelLabel *cell = Cell(grid, Key_Row, Qt::white, true);
        cell->SetCaption(key);
        keyRow.append(cell);
    }
    Table_Cells.append(keyRow);
    for (qsizetype r = 0; r < Shortcut_Table().size(); ++r) {
        QList<TVelLabel *> row{Cell(grid, QColor(238, 244, 250), Page_Text, true)};
        for (int c = 0; c < 4; ++c)
            row.append(Cell(grid, Qt::white, Page_Text, false));
        Table_Cells.append(row);
    }
    for (qsizetype r = 0; r < Table_Cells.size(); ++r) {
        for (qsizetype c = 0; c < Table_Cells[r].size(); ++c)
            grd_Short_Cuts->addWidget(Table_Cells[r][c], int(r), int(c));
    }
    for (int c = 0; c < 5; ++c)
        grd_Short_Cuts->setColumnStretch(c, 1);
    grd_Short_Cuts->setColumnMinimumWidth(0, 100);
    page->addWidget(grid);

    auto *others = new QGridLayout;
    others->setHorizontalSpacing(16);
    others->setVerticalSpacing(4);
    int row = 0;
    for (const TOther_Key &key : Other_Keys) {
        TVelLabel *name = Page_Label(pnl_Edit, true);
        name->SetCaption(QString::fromLatin1(key.Key));
        TVelLabel *command = Page_Label(pnl_Edit);
        Other_Key_Commands.append(command);
        others->addWidget(name, row, 0);
        others->addWidget(command, row, 1);
        ++row;
    }
    others->setColumnStretch(1, 1);
    page->addSpacing(6);
    page->addLayout(others);
}

void Tfrm_Help_Add::Build_Move_Page()
{
    auto *page = new QVBoxLayout(pnl_Move);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(12);
    lbl_Reattach = Page_Label(pnl_Move, true);
    lbl_Reattach_Text = Page_Label(pnl_Move);
    page->addWidget(lbl_Reattach);
    page->addWidget(lbl_Reattach_Text);
}

void Tfrm_Help_Add::Localize()
{
    lbl_Help->SetCaption(Translate(QStringLiteral("Help")));
    const bool rtl = Local_Is_RTL();
    FTag = rtl ? 1 : 0;
    setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
    lbl_Edit->setFont(Sized(lbl_Edit->font(), rtl ? 14 : 12));
    lbl_Move->setFont(Sized(lbl_Move->font(), rtl ? 14 : 12));
    lbl_Help->setFont(Sized(lbl_Help->font(), rtl ? 18 : 16));

    lbl_Edit->SetCaption(Translate(QStringLiteral("Adding\\ Editing Items")));
    lbl_Move->SetCaption(Translate(QStringLiteral("Moving Items")));
    lbl_Edit_Intro->SetCaption(Lines(Translate(QStringLiteral(
        "To add and edit items; select the item in Tree\r\n"
        "and right click the mouse for a pop-up menu, then select a\r\n"
        "command."))));
    lbl_Short_Cuts->SetCaption(Translate(QStringLiteral("Or use Keyboard Short-cuts")) + u':');
    const QList<TShortcut_Row> &table = Shortcut_Table();
    for (qsizetype r = 0; r < table.size(); ++r) {
        const QList<TVelLabel *> &cells = Table_Cells[r + 1];
        cells[0]->SetCaption(Translate(QString::fromLatin1(table[r].Item)));
        for (int c = 0; c < 4; ++c) {
            const QString command = QString::fromLatin1(table[r].Commands[c]);
            cells[c + 1]->SetCaption(command.isEmpty() ? QString() : Translate(command));
        }
    }
    for (qsizetype i = 0; i < Other_Key_Commands.size(); ++i)
        Other_Key_Commands[i]->SetCaption(Translate(QString::fromLatin1(Other_Keys[i].Command)));
    lbl_Reattach->SetCaption(Translate(QStringLiteral("To reattach item")) + u':');
    lbl_Reattach_Text->SetCaption(Lines(Translate(QStringLiteral(
        "By pressing the left button of the mouse; select item\r\n"
        "and drag it to the target item to be attached to; then drop."))));
}

void Tfrm_Help_Add::Show_Edit_Page()
{
    pnl_Move->hide();
    pnl_Edit->show();
    lbl_Edit->SetFontColor(Current_Entry);
    lbl_Move->SetFontColor(Other_Entry);
}

void Tfrm_Help_Add::Show_Move_Page()
{
    pnl_Edit->hide();
    pnl_Move->show();
    lbl_Edit->SetFontColor(Other_Entry);
    lbl_Move->SetFontColor(Current_Entry);
}

QString Tfrm_Help_Add::Table_Text(int row, int column) const
{
    if (row < 0 || row >= Table_Cells.size() || column < 0 || column >= Table_Cells[row].size())
        return {};
    return Table_Cells[row][column]->Caption();
}

void Tfrm_Help_Add::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Localize();
    Show_Edit_Page();
}

bool Tfrm_Help_Add::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image3 && event->type() == QEvent::MouseButtonRelease) {
        hide();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
