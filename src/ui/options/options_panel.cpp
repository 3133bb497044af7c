#include "ui/options/options_panel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "archive/tarchitem.h"
#include "local/options.h"
#include "ui/controls/color_text.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/help/form_pictures.h"
#include "ui/main/control_bridge.h"
#include "ui/options/language_choice.h"

namespace {

const QColor Form_Color(0, 119, 176);
const QColor Header_Color(0, 138, 204);
const QColor Title_Color(232, 232, 232);
const QColor Ok_Color(0, 98, 145);
const QColor Ok_Rest_Color(0, 116, 170);
const QColor Silver(192, 192, 192);
const QColor Unticked_Text(225, 225, 225);

QFont Sized(QFont font, int points)
{
    font.setPointSize(points);
    return font;
}

TVelLabel *Make_Label(QWidget *parent, const QColor &color)
{
    auto *label = new TVelLabel(parent);
    label->SetTransparent(true);
    label->SetFontColor(color);
    label->SetVericalCenter(true);
    return label;
}

} // namespace

Tfrm_Options::Tfrm_Options(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frm_Options"));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Form_Color);
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);
    setFont(QFont(QStringLiteral("Arial"), 12));
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
    Image1 = new QLabel(VelPanel1);
    Image1->setPixmap(Preferences_Icon(32));
    Image1->setFixedSize(32, 32);
    Image1->installEventFilter(this);
    lbl_Preferences = Make_Label(VelPanel1, Title_Color);
    lbl_Preferences->setFont(QFont(QStringLiteral("Arial"), 18));
    header->addWidget(Image1);
    header->addWidget(lbl_Preferences, 1);
    connect(VelPanel1, &TVelPanel::OnClick, this, &QWidget::hide);
    connect(lbl_Preferences, &TVelLabel::OnClick, this, &QWidget::hide);
    layout->addWidget(VelPanel1);

    pnl = new QWidget(this);
    pnl->setObjectName(QStringLiteral("pnl"));
    auto *body = new QVBoxLayout(pnl);
    body->setContentsMargins(22, 30, 22, 20);
    body->setSpacing(0);

    auto *languageRow = new QHBoxLayout;
    languageRow->setSpacing(10);
    lbl_Language = Make_Label(pnl, Qt::white);
    lbl_Language->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbl_Language->setFixedWidth(92);
    cmb_Languages = new QComboBox(pnl);
    cmb_Languages->setObjectName(QStringLiteral("cmb_Languages"));
    cmb_Languages->setEditable(false);
    cmb_Languages->setFont(QFont(QStringLiteral("Tahoma"), 12));
    cmb_Languages->setMinimumHeight(30);
    cmb_Languages->setStyleSheet(QStringLiteral(
        "QComboBox { background: white; color: black; border: 1px solid rgb(0,98,145); padding: 1px 6px; }"
        "QComboBox QAbstractItemView { background: white; color: black;"
        " selection-background-color: rgb(0,138,204); selection-color: white; }"));
    cmb_Languages->setMinimumWidth(1);
    languageRow->addWidget(lbl_Language);
    languageRow->addWidget(cmb_Languages, 1);
    body->addLayout(languageRow);
    connect(cmb_Languages, &QComboBox::currentIndexChanged, this, [this] { Set_Modified(true); });

    // under the list, where the user looks while no language has been chosen yet
    auto *hintRow = new QHBoxLayout;
    hintRow->setSpacing(10);
    hintRow->addSpacing(102);
    lbl_Select_Language = Make_Label(pnl, QColor(255, 236, 160));
    lbl_Select_Language->setFont(QFont(QStringLiteral("Arial"), 10));
    lbl_Select_Language->setFixedHeight(24);
    lbl_Select_Language->hide();
    hintRow->addWidget(lbl_Select_Language, 1);
    body->addSpacing(4);
    body->addLayout(hintRow);
    body->addSpacing(18);

    img_Check_On = Check_Picture(true);
    img_Check_Off = Check_Picture(false);
    auto *openLastRow = new QHBoxLayout;
    openLastRow->setSpacing(8);
    openLastRow->addSpacing(102);
    img_Open_Last = new QLabel(pnl);
    img_Open_Last->setObjectName(QStringLiteral("img_Open_Last"));
    img_Open_Last->setFixedSize(17, 17);
    img_Open_Last->setCursor(Qt::PointingHandCursor);
    img_Open_Last->installEventFilter(this);
    lbl_Open_Last = Make_Label(pnl, Unticked_Text);
    lbl_Open_Last->setCursor(Qt::PointingHandCursor);
    lbl_Open_Last->setMinimumHeight(26);
    // the longer captions of other languages wrap instead of widening the panel
    lbl_Open_Last->setWordWrap(true);
    lbl_Open_Last->setMinimumWidth(1);
    openLastRow->addWidget(img_Open_Last, 0, Qt::AlignVCenter);
    openLastRow->addWidget(lbl_Open_Last, 1);
    body->addLayout(openLastRow);
    connect(lbl_Open_Last, &TVelLabel::OnClick, this, &Tfrm_Options::Toggle_Open_Last);
    body->addSpacing(44);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    bt_Ok = new TVelPanel(pnl);
    bt_Ok->setObjectName(QStringLiteral("bt_Ok"));
    bt_Ok->SetColor(Ok_Color);
    bt_Ok->SetFontColor(Silver);
    bt_Ok->SetTag(Color_To_Value(Ok_Rest_Color));
    bt_Ok->SetTextTag(QStringLiteral("$00C48400"));
    bt_Ok->SetBorderStyle(TVelPanel::bsNone);
    bt_Ok->SetVerticalAlignment(TVelPanel::taVerticalCenter);
    bt_Ok->SetAlignment(Qt::AlignHCenter);
    bt_Ok->setFixedSize(110, 34);
    bt_Ok->setFocusPolicy(Qt::StrongFocus);
    bt_Ok->setCursor(Qt::PointingHandCursor);
    bt_Ok->setEnabled(false);
    bt_Ok->installEventFilter(this);
    buttonRow->addWidget(bt_Ok);
    body->addLayout(buttonRow);
    body->addStretch(1);
    connect(bt_Ok, &TVelPanel::OnClick, this, &Tfrm_Options::bt_OkClick);
    connect(bt_Ok, &TVelPanel::OnMouseEnter, this, [this] { Highlight_Button(bt_Ok); });
    connect(bt_Ok, &TVelPanel::OnMouseLeave, this, [this] { Unhighlight_Button(bt_Ok); });

    layout->addWidget(pnl, 1);

    Set_Open_Last(false);
    Localize();
}

Tfrm_Options::~Tfrm_Options() = default;

void Tfrm_Options::Localize()
{
    const bool rtl = Local_Is_RTL();
    FTag = rtl ? 1 : 0;
    // The layouts mirror the panel's rows; labels and the list read in the same order.
    setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
    lbl_Preferences->setFont(Sized(lbl_Preferences->font(), rtl ? 18 : 16));
    setFont(Sized(font(), rtl ? 14 : 12));
    lbl_Open_Last->setFont(Sized(lbl_Open_Last->font(), rtl ? 14 : 12));
    bt_Ok->setFont(Sized(bt_Ok->font(), rtl ? 14 : 12));
    lbl_Language->setFont(Sized(lbl_Language->font(), rtl ? 14 : 12));

    lbl_Preferences->SetCaption(Translate(QStringLiteral("Preferences")));
    lbl_Open_Last->SetCaption(Translate(QStringLiteral("Open last Archive on startup")));
    lbl_Language->SetCaption(Translate(QStringLiteral("Language")) + u':');
    bt_Ok->SetCaption(Translate(QStringLiteral("OK")));
    lbl_Select_Language->SetCaption(Translate(QStringLiteral("Select Language")));

    Set_Current_Local();
}

void Tfrm_Options::Set_Current_Local()
{
    const QSignalBlocker blocker(cmb_Languages);
    if (cmb_Languages->count() > 0)
        cmb_Languages->setCurrentIndex(Active_Language_Row(arrLanguages));
}

void Tfrm_Options::Set_Modified(bool value)
{
    FModified = value;
    bt_Ok->SetFontColor(value ? QColor(Qt::white) : Silver);
    bt_Ok->update();
    QCoreApplication::processEvents();
    bt_Ok->setEnabled(FModified);
}

void Tfrm_Options::Set_Open_Last(bool value)
{
    FOpen_Last = value;
    img_Open_Last->setPixmap(value ? img_Check_On : img_Check_Off);
    lbl_Open_Last->SetFontColor(value ? QColor(Qt::white) : Unticked_Text);
}

void Tfrm_Options::Fill_Languages()
{
    const QSignalBlocker blocker(cmb_Languages);
    cmb_Languages->clear();
    arrLanguages = Get_Languages(QString());
    cmb_Languages->addItems(Language_Rows(arrLanguages));
    Set_Current_Local();
}

void Tfrm_Options::Toggle_Open_Last()
{
    Set_Open_Last(!FOpen_Last);
    Set_Modified(true);
}

void Tfrm_Options::bt_OkClick()
{
    if (!FModified)
        return;
    // The archive open now: one closed since the panel was shown is gone, and a new one
    // that was never saved has no file to reopen.
    Archive = Current_Archive;
    if (Archive && !Archive->IsNew)
        Current_Options.Last_Opened_Archive = Archive->FilePath;
    Current_Options.Open_Last_Archive_On_Startup = FOpen_Last;
    const int row = cmb_Languages->currentIndex();
    if (row >= 0 && row < arrLanguages.size()) {
        Current_Options.Language = arrLanguages[row].Language;
        Current_Options.Language_File = arrLanguages[row].FileName;
    }
    bool languageChanged = false;
    const bool saved = Save_Options_And_Language(&languageChanged);
    if (languageChanged)
        Localize();
    Unhighlight_Button(bt_Ok);
    // After a failed save the button stays active, so that the user can try again.
    Set_Modified(!saved);
}

void Tfrm_Options::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Archive = Current_Archive;
    Localize();
    Set_Open_Last(Current_Options.Open_Last_Archive_On_Startup);
    Fill_Languages();
    lbl_Select_Language->setVisible(Current_Options.Language_File.isEmpty());
    // The panel now shows what the options hold: nothing to save yet.
    Set_Modified(false);
}

bool Tfrm_Options::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        hide();
        return true;
    }
    if (watched == img_Open_Last && event->type() == QEvent::MouseButtonRelease) {
        Toggle_Open_Last();
        return true;
    }
    if (watched == bt_Ok) {
        switch (event->type()) {
        case QEvent::FocusIn: Highlight_Button(bt_Ok); break;
        case QEvent::FocusOut: Unhighlight_Button(bt_Ok); break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                bt_OkClick();
                return true;
            }
            break;
        }
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Tfrm_Options::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
