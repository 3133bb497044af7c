// The main window's regions, menus, captions and mirroring.

#include "ui/main/main_window.h"
#include "ui/main/property_host.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSplitter>

#include "local/localization.h"
#include "local/tkeyboardlayout.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/main/archive_tree.h"
#include "ui/main/side_bar_icons.h"

namespace {

const QColor Window_Color(41, 41, 41);
const QColor Side_Bar_Color(64, 64, 64);
const QColor Splitter_Color(26, 26, 26);
const QColor Property_Host_Color(68, 68, 68);
const QColor Property_Header_Color(98, 98, 98);
const QColor Preview_Color(30, 30, 30);
const QColor Status_Color(104, 33, 122);
const QColor Full_View_Color(146, 46, 171);
const QColor Badge_Color(0, 112, 223);

constexpr int Side_Bar_Width = 73;
constexpr int Tree_Width = 347;
constexpr int Splitter_Width = 4;
constexpr int Property_Host_Width = 530;
constexpr int Status_Height = 28;
constexpr int Full_View_Width = 25;
constexpr int Save_Image_Top = 32;
constexpr int Property_Image_Top = 107;
constexpr int Find_Image_Top = 179;
constexpr int Image_Size = 32;
constexpr int Badge_Size = 22;
constexpr int Tree_Font_RTL_Growth = 2;

void Fill_Background(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

TVelLabel *Status_Label(QWidget *parent, const char *name, bool bold, Qt::Alignment alignment)
{
    auto *label = new TVelLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->SetTransparent(true);
    label->SetFontColor(Qt::white);
    label->SetVericalCenter(true);
    label->SetShowAccelChar(false);
    QFont font(QStringLiteral("Tahoma"), 10);
    font.setBold(bold);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

QLabel *Side_Image(QWidget *parent, const char *name, const QPixmap &picture, int top)
{
    auto *image = new QLabel(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->setPixmap(picture);
    image->setGeometry((Side_Bar_Width - Image_Size) / 2, top, Image_Size, Image_Size);
    image->setCursor(Qt::PointingHandCursor);
    image->setAttribute(Qt::WA_Hover);
    return image;
}

} // namespace

void Tfrm_Main::Create_Layout()
{
    resize(1000, 602);
    Fill_Background(this, Window_Color);
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("pnl_Client"));
    Fill_Background(client, Window_Color);
    auto *rows = new QVBoxLayout(client);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);

    auto *body = new QWidget(client);
    body->setObjectName(QStringLiteral("pnl_Body"));
    auto *columns = new QHBoxLayout(body);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);

    Create_Side_Bar();
    pnl_Side_Bar->setParent(body);
    columns->addWidget(pnl_Side_Bar);

    splt_Tree = new QSplitter(Qt::Horizontal, body);
    splt_Tree->setObjectName(QStringLiteral("splt_Tree"));
    splt_Tree->setHandleWidth(Splitter_Width);
    splt_Tree->setOpaqueResize(true);
    splt_Tree->setChildrenCollapsible(false);
    splt_Tree->setStyleSheet(QStringLiteral("QSplitter::handle { background: %1; }").arg(Splitter_Color.name()));
    columns->addWidget(splt_Tree, 1);

    trv = new TArchive_Tree(splt_Tree);
    trv->setObjectName(QStringLiteral("trv"));
    trv->setMinimumWidth(60);
    splt_Tree->addWidget(trv);

    auto *work = new QWidget(splt_Tree);
    work->setObjectName(QStringLiteral("pnl_Work"));
    auto *workColumns = new QHBoxLayout(work);
    workColumns->setContentsMargins(0, 0, 0, 0);
    workColumns->setSpacing(0);
    splt_Tree->addWidget(work);

    // The property host keeps its place between the tree and the preview; the panels that
    // fill it are not part of this window yet, so it stays hidden.
    pnl_Property_Host = new TVelPanel(work);
    pnl_Property_Host->setObjectName(QStringLiteral("pnl_Property_Host"));
    pnl_Property_Host->SetColor(Property_Host_Color);
    pnl_Property_Host->SetBorderStyle(TVelPanel::bsNone);
    pnl_Property_Host->setFixedWidth(Property_Host_Width);
    auto *hostRows = new QVBoxLayout(pnl_Property_Host);
    hostRows->setContentsMargins(0, 0, 0, 0);
    hostRows->setSpacing(0);
    pnl_Properties = new TVelPanel(pnl_Property_Host);
    pnl_Properties->setObjectName(QStringLiteral("pnl_Properties"));
    pnl_Properties->SetColor(Property_Header_Color);
    pnl_Properties->SetBorderStyle(TVelPanel::bsNone);
    pnl_Properties->setFixedHeight(66);
    lbl_Properties = new TVelLabel(pnl_Properties);
    lbl_Properties->setObjectName(QStringLiteral("lbl_Properties"));
    lbl_Properties->SetTransparent(true);
    lbl_Properties->SetFontColor(QColor(232, 232, 232));
    lbl_Properties->setFont(QFont(QStringLiteral("Arial"), 18));
    lbl_Properties->setGeometry(60, 16, 300, 34);
    hostRows->addWidget(pnl_Properties);
    hostRows->addStretch(1);
    pnl_Property_Host->hide();
    workColumns->addWidget(pnl_Property_Host);

    // The preview area: the pages of the selected document will be shown here.
    pnl_Prv = new QWidget(work);
    pnl_Prv->setObjectName(QStringLiteral("pnl_Prv"));
    Fill_Background(pnl_Prv, Preview_Color);
    workColumns->addWidget(pnl_Prv, 1);

    splt_Tree->setStretchFactor(0, 0);
    splt_Tree->setStretchFactor(1, 1);
    splt_Tree->setSizes({Tree_Width, 1000 - Side_Bar_Width - Tree_Width - Splitter_Width});
    connect(splt_Tree, &QSplitter::splitterMoved, this, [this] { trv->Place_Toolbar(); });

    rows->addWidget(body, 1);
    Create_Status_Bar();
    pnl_Status->setParent(client);
    rows->addWidget(pnl_Status);

    setCentralWidget(client);
}

void Tfrm_Main::Create_Side_Bar()
{
    pnl_Side_Bar = new TVelPanel(this);
    pnl_Side_Bar->setObjectName(QStringLiteral("pnl_Side_Bar"));
    pnl_Side_Bar->SetColor(Side_Bar_Color);
    pnl_Side_Bar->SetBorderStyle(TVelPanel::bsNone);
    pnl_Side_Bar->setFixedWidth(Side_Bar_Width);

    const QColor on(255, 255, 255);
    const QColor off(190, 190, 190);
    img_Save_on = Save_Icon(on);
    img_Save_off = Save_Icon(off);
    img_Property_On = Property_Icon(on);
    img_Property_off = Property_Icon(off);
    img_Find_on = Find_Icon(on);
    img_Find_off = Find_Icon(off);

    img_Save = Side_Image(pnl_Side_Bar, "img_Save", img_Save_off, Save_Image_Top);
    img_Save->installEventFilter(this);
    // The Properties and Find commands have no panels behind them in this window yet.
    img_Property = Side_Image(pnl_Side_Bar, "img_Property", img_Property_off, Property_Image_Top);
    img_Property->hide();
    img_Find = Side_Image(pnl_Side_Bar, "img_Find", img_Find_off, Find_Image_Top);
    img_Find->hide();

    lbl_Save_Count = new QLabel(pnl_Side_Bar);
    lbl_Save_Count->setObjectName(QStringLiteral("lbl_Save_Count"));
    lbl_Save_Count->setAlignment(Qt::AlignCenter);
    lbl_Save_Count->setFixedSize(Badge_Size, Badge_Size);
    lbl_Save_Count->setStyleSheet(QStringLiteral("QLabel { background: %1; color: white; border-radius: %2px; }")
                                      .arg(Badge_Color.name())
                                      .arg(Badge_Size / 2));
    QFont badgeFont(QStringLiteral("Tahoma"), 8);
    badgeFont.setBold(true);
    lbl_Save_Count->setFont(badgeFont);
    lbl_Save_Count->setAttribute(Qt::WA_TransparentForMouseEvents);
    lbl_Save_Count->hide();
    Place_Save_Badge();
}

void Tfrm_Main::Place_Save_Badge()
{
    // at the picture's lower corner on the side away from the edge of the window
    const QRect image = img_Save->geometry();
    const int x = pnl_Side_Bar->isRightToLeft() ? image.left() - Badge_Size / 2
                                                 : image.right() + 1 - Badge_Size / 2;
    lbl_Save_Count->move(x, image.bottom() + 1 - Badge_Size / 2);
}

void Tfrm_Main::Create_Status_Bar()
{
    pnl_Status = new TVelPanel(this);
    pnl_Status->setObjectName(QStringLiteral("pnl_Status"));
    pnl_Status->SetColor(Status_Color);
    pnl_Status->SetBorderStyle(TVelPanel::bsNone);
    pnl_Status->setFixedHeight(Status_Height);
    auto *row = new QHBoxLayout(pnl_Status);
    row->setContentsMargins(8, 0, 0, 0);
    row->setSpacing(0);

    const auto pair = [&](TVelLabel *&caption, const char *captionName, TVelLabel *&count, const char *countName) {
        caption = Status_Label(pnl_Status, captionName, false, Qt::AlignRight);
        caption->setMinimumWidth(70);
        count = Status_Label(pnl_Status, countName, true, Qt::AlignLeft);
        count->setMinimumWidth(70);
        count->setContentsMargins(6, 0, 0, 0);
        row->addWidget(caption);
        row->addWidget(count);
    };
    pair(lbl_Docs, "lbl_Docs", lbl_Doc_Count, "lbl_Doc_Count");
    pair(lbl_Files, "lbl_Files", lbl_Files_Count, "lbl_Files_Count");
    pair(lbl_Subs, "lbl_Subs", lbl_Sub_Count, "lbl_Sub_Count");
    pair(lbl_Persons, "lbl_Persons", lbl_Persons_Count, "lbl_Persons_Count");
    pair(lbl_Units, "lbl_Units", lbl_Units_Count, "lbl_Units_Count");
    row->addStretch(1);

    pnl_Full_View = new TVelPanel(pnl_Status);
    pnl_Full_View->setObjectName(QStringLiteral("pnl_Full_View"));
    pnl_Full_View->SetColor(Full_View_Color);
    pnl_Full_View->SetBorderStyle(TVelPanel::bsNone);
    pnl_Full_View->setFixedWidth(Full_View_Width);
    pnl_Full_View->setCursor(Qt::PointingHandCursor);
    connect(pnl_Full_View, &TVelPanel::OnClick, this, &Tfrm_Main::Toggle_Full_View);
    row->addWidget(pnl_Full_View);
}

QList<TVelLabel *> Tfrm_Main::Count_Labels() const
{
    return {lbl_Doc_Count, lbl_Files_Count, lbl_Sub_Count, lbl_Persons_Count, lbl_Units_Count};
}

QList<TVelLabel *> Tfrm_Main::Count_Caption_Labels() const
{
    return {lbl_Docs, lbl_Files, lbl_Subs, lbl_Persons, lbl_Units};
}

QAction *Tfrm_Main::Add_Menu_Action(QMenu *menu, const char *name, void (Tfrm_Main::*slot)(),
                                    const QKeySequence &shortcut)
{
    auto *action = new QAction(this);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // the keys work also while the menu bar is hidden in the full view
        addAction(action);
    }
    if (slot)
        connect(action, &QAction::triggered, this, slot);
    menu->addAction(action);
    return action;
}

void Tfrm_Main::Create_Menus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    // light captions on the window's dark colour
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, Window_Color);
    palette.setColor(QPalette::Button, Window_Color);
    palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
    palette.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    palette.setColor(QPalette::Highlight, QColor(0, 112, 223));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    bar->setPalette(palette);

    mnu_File = bar->addMenu(QString());
    mnu_File->setObjectName(QStringLiteral("mnu_File"));
    mnu_New = Add_Menu_Action(mnu_File, "mnu_New", &Tfrm_Main::mnu_NewClick, QKeySequence(Qt::CTRL | Qt::Key_N));
    mnu_Open = Add_Menu_Action(mnu_File, "mnu_Open", &Tfrm_Main::mnu_OpenClick, QKeySequence(Qt::CTRL | Qt::Key_O));
    mnu_Save = Add_Menu_Action(mnu_File, "mnu_Save", &Tfrm_Main::mnu_SaveClick, QKeySequence(Qt::CTRL | Qt::Key_S));
    mnu_SaveAs = Add_Menu_Action(mnu_File, "mnu_SaveAs", &Tfrm_Main::mnu_SaveAsClick);
    mnu_File->addSeparator();
    // Printing has no preview behind it in this window yet.
    mnu_Printer_Setup = Add_Menu_Action(mnu_File, "mnu_Printer_Setup", nullptr);
    mnu_Printer_Setup->setVisible(false);
    mnu_Print = Add_Menu_Action(mnu_File, "mnu_Print", nullptr);
    mnu_Print->setVisible(false);
    mnu_File->addSeparator();
    mnu_Preferences = Add_Menu_Action(mnu_File, "mnu_Preferences", &Tfrm_Main::mnu_PreferencesClick);
    mnu_Preferences->setVisible(false);
    mnu_File->addSeparator();
    mnu_Revert_File = Add_Menu_Action(mnu_File, "mnu_Revert_File", &Tfrm_Main::mnu_Revert_FileClick);
    mnu_Close_Archive = Add_Menu_Action(mnu_File, "mnu_Close_Archive", &Tfrm_Main::mnu_Close_ArchiveClick,
                                        QKeySequence(Qt::CTRL | Qt::Key_F4));
    mnu_File->addSeparator();
    mnu_Exit = Add_Menu_Action(mnu_File, "mnu_Exit", &Tfrm_Main::mnu_ExitClick);
    connect(mnu_File, &QMenu::aboutToShow, this, &Tfrm_Main::Update_Menus);

    // Edit holds only Find, which has no find panel behind it yet.
    mnu_Edit = bar->addMenu(QString());
    mnu_Edit->setObjectName(QStringLiteral("mnu_Edit"));
    mnu_Find = Add_Menu_Action(mnu_Edit, "mnu_Find", nullptr);
    mnu_Find->setVisible(false);
    mnu_Edit->menuAction()->setVisible(false);
    connect(mnu_Edit, &QMenu::aboutToShow, this, &Tfrm_Main::Update_Menus);

    QMenu *document = trv->Document_Menu();
    bar->addMenu(document);
    document->menuAction()->setVisible(false);

    mnu_View = bar->addMenu(QString());
    mnu_View->setObjectName(QStringLiteral("mnu_View"));
    mnu_View->menuAction()->setVisible(false);

    mnu_Help = bar->addMenu(QString());
    mnu_Help->setObjectName(QStringLiteral("mnu_Help"));
    mnu_How_To = Add_Menu_Action(mnu_Help, "mnu_How_To", &Tfrm_Main::mnu_How_ToClick);
    mnu_How_To->setVisible(false);
    mnu_About = Add_Menu_Action(mnu_Help, "mnu_About", &Tfrm_Main::mnu_AboutClick);
    mnu_About->setVisible(false);
    mnu_Help->menuAction()->setVisible(false);

    // Keys of the whole window
    act_Help_Key = new QAction(this);
    act_Help_Key->setObjectName(QStringLiteral("act_Help_Key"));
    act_Help_Key->setShortcut(QKeySequence(Qt::Key_F1));
    act_Help_Key->setShortcutContext(Qt::WindowShortcut);
    connect(act_Help_Key, &QAction::triggered, this, &Tfrm_Main::Toggle_Help_Card);
    addAction(act_Help_Key);
    act_Full_View_Key = new QAction(this);
    act_Full_View_Key->setObjectName(QStringLiteral("act_Full_View_Key"));
    act_Full_View_Key->setShortcut(QKeySequence(Qt::Key_F11));
    connect(act_Full_View_Key, &QAction::triggered, this, &Tfrm_Main::Toggle_Full_View);
    addAction(act_Full_View_Key);
    act_Leave_Full_View = new QAction(this);
    act_Leave_Full_View->setObjectName(QStringLiteral("act_Leave_Full_View"));
    act_Leave_Full_View->setShortcut(QKeySequence(Qt::Key_Escape));
    act_Leave_Full_View->setEnabled(false);
    connect(act_Leave_Full_View, &QAction::triggered, this, [this] {
        if (FFull_View)
            Toggle_Full_View();
    });
    addAction(act_Leave_Full_View);
}

void Tfrm_Main::Set_Options_Panel(QWidget *panel)
{
    frm_Options = panel;
    if (panel) {
        panel->setParent(centralWidget());
        panel->hide();
    }
    mnu_Preferences->setVisible(panel != nullptr);
}

void Tfrm_Main::Set_Help_Card(QWidget *card)
{
    frm_Help_Add = card;
    if (card) {
        card->setParent(centralWidget());
        card->hide();
    }
    mnu_How_To->setVisible(card != nullptr);
    mnu_Help->menuAction()->setVisible(mnu_How_To->isVisible() || mnu_About->isVisible());
}

void Tfrm_Main::Localize()
{
    const bool rtl = Local_Is_RTL();
    const Qt::LayoutDirection direction = rtl ? Qt::RightToLeft : Qt::LeftToRight;

    // 1. Writing direction. Qt mirrors every layout, the status bar's included, from the
    //    direction; setting the same direction again moves nothing.
    QApplication::setLayoutDirection(direction);
    if (layoutDirection() != direction)
        setLayoutDirection(direction);
    menuBar()->setLayoutDirection(direction);
    trv->Tree_Menu()->setLayoutDirection(direction);
    Set_Tree_Mirrored(rtl);
    pnl_Status->setLayoutDirection(direction);
    Set_Tree_Font_Direction(rtl);

    // 2.
    Update_Title();

    // 3.
    const QString layout = Active_Local.Target_Lang.Keyboard_Layout.trimmed();
    if (!layout.isEmpty() && FKeyboard) {
        FKeyboard->SetEnglishName(layout);
        QCoreApplication::processEvents();
        FKeyboard->SetEnglishName(layout);
    }

    // 4. Captions
    const auto tr = [](const char *text) { return Translate(QString::fromUtf8(text)); };
    const QString more = QStringLiteral("..");
    mnu_File->setTitle(tr("File"));
    mnu_New->setText(tr("New Archive"));
    mnu_Open->setText(tr("Open Archive") + more);
    mnu_Save->setText(tr("Save"));
    mnu_SaveAs->setText(tr("Save As") + more);
    mnu_Printer_Setup->setText(tr("Printer Setup") + more);
    mnu_Print->setText(tr("Print") + more);
    mnu_Preferences->setText(tr("Preferences") + more);
    mnu_Revert_File->setText(tr("Revert File"));
    mnu_Close_Archive->setText(tr("Close Archive"));
    mnu_Exit->setText(tr("Exit"));
    mnu_Edit->setTitle(tr("Edit"));
    trv->Document_Menu()->setTitle(tr("Document"));
    mnu_Find->setText(tr("Find") + more);
    mnu_View->setTitle(tr("View"));
    mnu_Help->setTitle(tr("Help"));
    mnu_How_To->setText(tr("Data Entry Basics"));
    mnu_About->setText(tr("About Tarsel Archive"));
    img_Property->setToolTip(tr("Properties"));
    lbl_Properties->SetCaption(tr("Properties"));
    img_Find->setToolTip(tr("Search"));
    lbl_Docs->SetCaption(tr("Documents"));
    lbl_Subs->SetCaption(tr("Subjects"));
    lbl_Persons->SetCaption(tr("Persons"));
    lbl_Units->SetCaption(tr("Sections"));
    lbl_Files->SetCaption(tr("Files"));

    // 5. The tree's own menus, toolbar and folder nodes
    trv->Localize();
    if (FProperty_Host)
        FProperty_Host->Localize();

    // 6.
    Arrange_Panels();
    update();

    // 7. Companion windows that are showing
    for (QWidget *companion : {frm_Options, frm_Help_Add}) {
        if (companion && companion->isVisible()) {
            QMetaObject::invokeMethod(companion, "Localize");
            Place_Companion(companion, companion == frm_Help_Add ? 15 : 0);
        }
    }

    // 8.
    trv->Place_Toolbar();
}

void Tfrm_Main::Set_Tree_Font_Direction(bool rtl)
{
    // Arabic script needs a larger size to read as well as Latin; the change is made only
    // when the direction really changes, so localizing twice keeps the size.
    if (rtl == FTree_Font_RTL)
        return;
    QFont font = trv->font();
    font.setPointSize(font.pointSize() + (rtl ? Tree_Font_RTL_Growth : -Tree_Font_RTL_Growth));
    trv->setFont(font);
    FTree_Font_RTL = rtl;
}

void Tfrm_Main::Set_Tree_Mirrored(bool on)
{
    const Qt::LayoutDirection direction = on ? Qt::RightToLeft : Qt::LeftToRight;
    if (trv->layoutDirection() != direction || !trv->testAttribute(Qt::WA_SetLayoutDirection))
        trv->setLayoutDirection(direction);
    trv->viewport()->update();
}

void Tfrm_Main::Arrange_Panels()
{
    // The regions are docked by the layouts in their one order, side bar, tree, splitter,
    // property host, preview; the layout direction lines them up from the left or from the
    // right. What stays is to keep the tree's width and the badge's side.
    if (splt_Tree->indexOf(trv) != 0)
        splt_Tree->insertWidget(0, trv);
    Place_Save_Badge();
}

void Tfrm_Main::Place_Companion(QWidget *window, int inset)
{
    if (!window)
        return;
    QWidget *client = centralWidget();
    const int height = client->height() - pnl_Status->height();
    const int left = Local_Is_RTL() ? 0 : client->width() - window->width() - inset;
    window->setGeometry(left, 0, window->width(), height);
}

void Tfrm_Main::Toggle_Full_View()
{
    if (!FFull_View) {
        Window_Last_State = windowState() & ~Qt::WindowFullScreen;
        menuBar()->hide();
        FFull_View = true;
        setWindowState(Qt::WindowFullScreen);
    } else {
        menuBar()->show();
        FFull_View = false;
        setWindowState(Window_Last_State);
    }
    act_Leave_Full_View->setEnabled(FFull_View);
    activateWindow();
    setFocus();
}

void Tfrm_Main::Toggle_Help_Card()
{
    if (!frm_Help_Add)
        return;
    if (frm_Help_Add->isVisible()) {
        frm_Help_Add->hide();
        return;
    }
    Place_Companion(frm_Help_Add, 15);
    frm_Help_Add->show();
    frm_Help_Add->raise();
    Place_Companion(frm_Help_Add, 15);
}

void Tfrm_Main::Show_Options()
{
    if (!frm_Options)
        return;
    Place_Companion(frm_Options, 0);
    frm_Options->show();
    frm_Options->raise();
    Place_Companion(frm_Options, 0);
}

bool Tfrm_Main::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == img_Save) {
        switch (event->type()) {
        case QEvent::Enter:
            img_Save->setPixmap(img_Save_on);
            break;
        case QEvent::Leave:
            img_Save->setPixmap(img_Save_off);
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
                && img_Save->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint()))
                img_SaveClick();
            return true;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
