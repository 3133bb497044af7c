#include "ui/help/about_box.h"

#include <QDate>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>
#include <QtMath>
#include <zlib.h>

#include "local/localization.h"
#include "text/app_paths.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/help/form_pictures.h"
#include "ui/help/version_info.h"

#ifndef TARSEL_HOMEPAGE
#define TARSEL_HOMEPAGE ""
#endif

namespace {

const QColor Box_Color(45, 45, 48);
const QColor Frame_Color(0, 138, 204);
const QColor Text_Color(212, 212, 212);
const QColor Link_Color(166, 202, 240);
const QColor Link_Hover(0, 255, 255);

const char *const Application_Title = "Tarsel Archive";

TVelLabel *Box_Label(QWidget *parent, const QColor &color, int points)
{
    auto *label = new TVelLabel(parent);
    label->SetTransparent(true);
    label->SetFontColor(color);
    label->SetShowAccelChar(false);
    label->setFont(QFont(QStringLiteral("Tahoma"), points));
    label->installEventFilter(parent);
    return label;
}

QString Build_Date_Text()
{
    const double days = std::floor(Build_Time().Value);
    const QDate date = QDate(1899, 12, 30).addDays(qint64(days));
    return QLocale().toString(date, QLocale::ShortFormat);
}

} // namespace

Tfrm_About::Tfrm_About(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frm_About"));
    setModal(true);
    setFixedSize(Design_Width, Design_Height);
    setWindowOpacity(0.95);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Box_Color);
    palette.setColor(QPalette::WindowText, Text_Color);
    palette.setColor(QPalette::Base, Box_Color);
    palette.setColor(QPalette::Text, Text_Color);
    setPalette(palette);
    setMouseTracking(true);
    installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 14);
    layout->setSpacing(4);

    auto *top = new QHBoxLayout;
    top->setSpacing(14);
    img_Icon = new QLabel(this);
    img_Icon->setPixmap(App_Icon(56));
    img_Icon->setFixedSize(56, 56);
    img_Icon->installEventFilter(this);
    top->addWidget(img_Icon, 0, Qt::AlignTop);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    lbl_App_Name = Box_Label(this, Qt::white, 16);
    lbl_App_Name->setFont(QFont(QStringLiteral("Calibri"), 16));
    lbl_App_Name->SetShadowColor(QColor(192, 192, 192));
    lbl_App_Name->setMinimumHeight(34);
    lbl_Version = Box_Label(this, Text_Color, 10);
    lbl_Date = Box_Label(this, Text_Color, 10);
    lblURL = Box_Label(this, Link_Color, 10);
    lblURL->setCursor(Qt::PointingHandCursor);
    lblURL->setMouseTracking(true);
    texts->addWidget(lbl_App_Name);
    texts->addWidget(lbl_Version);
    texts->addWidget(lbl_Date);
    texts->addWidget(lblURL);
    top->addLayout(texts, 1);
    layout->addLayout(top);

    txt_Credits = new TVelEdit(this);
    txt_Credits->setObjectName(QStringLiteral("txt_Credits"));
    txt_Credits->setReadOnly(true);
    txt_Credits->setFrameShape(QFrame::NoFrame);
    txt_Credits->setFont(QFont(QStringLiteral("Tahoma"), 8));
    txt_Credits->setPalette(palette);
    txt_Credits->setFocusPolicy(Qt::NoFocus);
    txt_Credits->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txt_Credits->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txt_Credits->SetAutoBiDI(false);
    // names of libraries and versions read left to right in every language
    txt_Credits->setLayoutDirection(Qt::LeftToRight);
    txt_Credits->setFixedHeight(34);
    txt_Credits->SetText(QStringLiteral("Built with Qt %1, zlib %2 and libtiff.")
                             .arg(QString::fromLatin1(qVersion()), QString::fromLatin1(zlibVersion())));
    layout->addStretch(1);
    layout->addWidget(txt_Credits);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    bt_Ok = new TVelPanel(this);
    bt_Ok->setObjectName(QStringLiteral("bt_Ok"));
    bt_Ok->SetColor(QColor(69, 69, 69));
    bt_Ok->SetFontColor(Qt::white);
    bt_Ok->setFont(QFont(QStringLiteral("Arial"), 11));
    bt_Ok->SetBorderStyle(TVelPanel::bsNone);
    bt_Ok->SetVerticalAlignment(TVelPanel::taVerticalCenter);
    bt_Ok->SetAlignment(Qt::AlignHCenter);
    bt_Ok->setFixedSize(84, 28);
    bt_Ok->setCursor(Qt::PointingHandCursor);
    buttons->addWidget(bt_Ok);
    layout->addLayout(buttons);
    connect(bt_Ok, &TVelPanel::OnClick, this, &QDialog::accept);
    connect(lblURL, &TVelLabel::OnClick, this, [] {
        const QString page = Product_Web_Page();
        if (!page.isEmpty())
            QDesktopServices::openUrl(QUrl(page));
    });

    Localize();
}

Tfrm_About::~Tfrm_About() = default;

QString Tfrm_About::Product_Web_Page()
{
    return QStringLiteral(TARSEL_HOMEPAGE);
}

void Tfrm_About::Localize()
{
    setLayoutDirection(Local_Is_RTL() ? Qt::RightToLeft : Qt::LeftToRight);
    const QString title = Translate(QString::fromLatin1(Application_Title));
    setWindowTitle(title);
    lbl_App_Name->SetCaption(title);
    lbl_Version->SetCaption(Translate(QStringLiteral("Version")) + QStringLiteral("   ")
                            + TVersionInfo().ProductVersion());
    // Left-to-right marks keep a date such as "11 Dec 2026" in its order inside
    // right-to-left text.
    const QString date = Build_Date_Text();
    lbl_Date->SetCaption(Local_Is_RTL() ? QChar(0x200E) + date + QChar(0x200E) : date);
    const QString page = Product_Web_Page();
    lblURL->SetCaption(QUrl(page).host().isEmpty() ? page : QUrl(page).host());
    lblURL->setVisible(!page.isEmpty());
    bt_Ok->SetCaption(Translate(QStringLiteral("OK")));
}

QPoint Tfrm_About::Position_On(const QRect &main, const QSize &box, const QRect &screen)
{
    int left = main.left() + (main.width() - box.width()) / 2;
    if (left < 0)
        left = 20;
    if (left + box.width() > screen.right() + 1)
        left = screen.right() + 1 - box.width() - 10;
    int top = main.top() + (main.height() - box.height()) / 2;
    if (top < 0)
        top = 10;
    if (top + box.height() > screen.bottom() + 1 - 60)
        top = screen.bottom() + 1 - box.height() - 60;
    return {left, top};
}

void Tfrm_About::Place()
{
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect main = owner ? owner->frameGeometry() : screen->availableGeometry();
    move(Position_On(main, size(), screen->availableGeometry()));
}

void Tfrm_About::showEvent(QShowEvent *event)
{
    Localize();
    Place();
    QDialog::showEvent(event);
}

void Tfrm_About::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return;
    case Qt::Key_Escape:
        reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool Tfrm_About::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblURL) {
        if (event->type() == QEvent::Enter)
            lblURL->SetFontColor(Link_Hover);
        else if (event->type() == QEvent::Leave)
            lblURL->SetFontColor(Link_Color);
        if (event->type() == QEvent::MouseButtonPress)
            return false; // the link is clicked, not dragged
    }
    // Pressing on the box or one of its labels drags the window.
    auto *mouse = dynamic_cast<QMouseEvent *>(event);
    if (mouse && mouse->button() == Qt::LeftButton && event->type() == QEvent::MouseButtonPress) {
        Dragging = true;
        Drag_Offset = mouse->globalPosition().toPoint() - frameGeometry().topLeft();
        return false;
    }
    if (mouse && event->type() == QEvent::MouseMove) {
        if (Dragging && (mouse->buttons() & Qt::LeftButton))
            move(mouse->globalPosition().toPoint() - Drag_Offset);
        else if (!isActiveWindow())
            activateWindow();
    }
    if (mouse && event->type() == QEvent::MouseButtonRelease)
        Dragging = false;
    return QDialog::eventFilter(watched, event);
}

void Tfrm_About::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    QPainter p(this);
    p.fillRect(rect(), Box_Color);
    p.fillRect(QRect(0, 0, width(), 4), Frame_Color);
    p.setPen(QColor(70, 70, 74));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
