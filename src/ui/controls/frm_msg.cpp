#include "ui/controls/frm_msg.h"

#include "ui/controls/msg_box.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include <algorithm>

namespace {
constexpr int Button_Width = 75;
constexpr int Button_Height = 25;
constexpr int Icon_Size = 40;
constexpr int Help_Icon_Size = 16;
constexpr int Close_Size = 16;
const QColor Main_Color(10, 89, 177);
const QColor Title_Color(128, 128, 128);
const QColor Frame_Color(192, 192, 192);

// Sizes are given in points at 96 dots per inch; pixel sizes keep the box the same on any screen.
QFont Font_Of(const QStringList &families, int points, bool bold)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize((points * 96 + 36) / 72);
    font.setBold(bold);
    return font;
}

const QStringList &Calibri()
{
    static const QStringList families{QStringLiteral("Calibri"), QStringLiteral("Carlito"), QStringLiteral("DejaVu Sans")};
    return families;
}

const QStringList &Arial()
{
    static const QStringList families{QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                      QStringLiteral("DejaVu Sans")};
    return families;
}

QStringList Lines_Of(const QString &text)
{
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normal.split(QLatin1Char('\n'));
}

QPixmap Close_Pixmap(bool hover)
{
    QPixmap pixmap(Close_Size, Close_Size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (hover) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(232, 17, 35));
        p.drawRoundedRect(QRectF(0, 0, Close_Size, Close_Size), 2, 2);
    }
    p.setPen(QPen(hover ? QColor(Qt::white) : Title_Color, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
    p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
    return pixmap;
}
} // namespace

QPixmap Msg_Icon_Pixmap(TfrmMsg::TIcon_Kind kind, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    if (kind == TfrmMsg::Icon_None)
        return pixmap;
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1, 1, size - 2, size - 2);
    QString mark;
    QColor fill;
    if (kind == TfrmMsg::Icon_Warning) {
        QPainterPath triangle;
        triangle.moveTo(r.center().x(), r.top() + size * 0.05);
        triangle.lineTo(r.right(), r.bottom() - size * 0.05);
        triangle.lineTo(r.left(), r.bottom() - size * 0.05);
        triangle.closeSubpath();
        p.setPen(QPen(QColor(196, 140, 0), 1));
        p.setBrush(QColor(255, 198, 0));
        p.drawPath(triangle);
        p.setPen(Qt::black);
        QFont f = p.font();
        f.setPixelSize(int(size * 0.55));
        f.setBold(true);
        p.setFont(f);
        p.drawText(r.adjusted(0, size * 0.18, 0, 0), Qt::AlignCenter, QStringLiteral("!"));
        return pixmap;
    }
    switch (kind) {
    case TfrmMsg::Icon_Information: fill = QColor(25, 118, 210); mark = QStringLiteral("i"); break;
    case TfrmMsg::Icon_Question: fill = QColor(25, 118, 210); mark = QStringLiteral("?"); break;
    default: fill = QColor(211, 47, 47); mark = QStringLiteral("\u00D7"); break;
    }
    p.setPen(QPen(fill.darker(120), 1));
    p.setBrush(fill);
    p.drawEllipse(r);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(int(size * (kind == TfrmMsg::Icon_Stop ? 0.8 : 0.62)));
    f.setBold(true);
    p.setFont(f);
    p.drawText(r, Qt::AlignCenter, mark);
    return pixmap;
}

TfrmMsg::TfrmMsg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmMsg"));
    setModal(true);
    setWindowOpacity(240.0 / 255.0);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    lblResult = new QLabel(QStringLiteral("0"), this);
    lblResult->setObjectName(QStringLiteral("lblResult"));
    lblResult->hide();

    imgIcon = new QLabel(this);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setGeometry(8, 35, Icon_Size, Icon_Size);
    imgIcon->hide();

    imgHelp = new QLabel(this);
    imgHelp->setObjectName(QStringLiteral("imgHelp"));
    imgHelp->setPixmap(Msg_Icon_Pixmap(Icon_Question, Help_Icon_Size));
    imgHelp->setToolTip(QStringLiteral("تعليمات"));
    imgHelp->resize(Help_Icon_Size, Help_Icon_Size);
    imgHelp->setCursor(Qt::PointingHandCursor);
    imgHelp->installEventFilter(this);
    imgHelp->hide();

    img_Close = Close_Pixmap(false);
    img_Close_L = Close_Pixmap(true);
    btClose = new QLabel(this);
    btClose->setObjectName(QStringLiteral("btClose"));
    btClose->setPixmap(img_Close);
    btClose->resize(Close_Size, Close_Size);
    btClose->setAttribute(Qt::WA_Hover);
    btClose->installEventFilter(this);

    auto make = [this](const char *name, int result) {
        auto *button = new QPushButton(this);
        button->setObjectName(QLatin1String(name));
        button->resize(Button_Width, Button_Height);
        button->setAutoDefault(false);
        button->installEventFilter(this);
        button->hide();
        connect(button, &QPushButton::clicked, this, [this, result] { Answer(result); });
        return button;
    };
    btOk = make("btOk", IDOK);
    btCancel = make("btCancel", IDCANCEL);
    btAbort = make("btAbort", IDABORT);
    btRetry = make("btRetry", IDRETRY);
    btIgnore = make("btIgnore", IDIGNORE);
    btYes = make("btYes", IDYES);
    btNo = make("btNo", IDNO);
    btHelp = make("btHelp", IDHELP);
}

TfrmMsg::~TfrmMsg() = default;

void TfrmMsg::Set_Message(const QString &text, const QString &title, int style, const QString &strings)
{
    FMsg = text;
    FCaption = title;
    FOption = style;
    Strings = strings;
    FPrepared = false;
}

int TfrmMsg::Result() const
{
    return lblResult->text().toInt();
}

QFont TfrmMsg::Measure_Font(int style)
{
    return Font_Of(Arial(), (style & MB_RTLREADING) ? 12 : 10, true);
}

QFont TfrmMsg::Main_Font(int style)
{
    return Font_Of(Calibri(), (style & MB_RIGHT) ? 14 : 12, false);
}

QFont TfrmMsg::Details_Font(int style)
{
    return Font_Of(Calibri(), (style & MB_RIGHT) ? 12 : 10, false);
}

QFont TfrmMsg::Title_Font()
{
    return Font_Of(Calibri(), 10, false);
}

TfrmMsg::TIcon_Kind TfrmMsg::Icon_For(int style)
{
    if (style & MB_ICONASTERISK)
        return Icon_Information;
    if ((style & MB_ICONEXCLAMATION) == MB_ICONEXCLAMATION)
        return Icon_Warning;
    if (style & MB_ICONQUESTION)
        return Icon_Question;
    if (style & MB_ICONHAND)
        return Icon_Stop;
    return Icon_None;
}

QList<int> TfrmMsg::Button_Set(int style)
{
    switch (style & 0xF) {
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    default: return {IDOK};
    }
}

int TfrmMsg::Text_Flags(int style)
{
    int flags = Qt::AlignTop | Qt::AlignAbsolute;
    flags |= (style & MB_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    flags |= (style & MB_RTLREADING) ? Qt::TextForceRightToLeft : Qt::TextForceLeftToRight;
    return flags;
}

QList<int> TfrmMsg::Logical_Results() const
{
    return Button_Set(FOption);
}

QPushButton *TfrmMsg::Button_Of(int result) const
{
    switch (result) {
    case IDOK: return btOk;
    case IDCANCEL: return btCancel;
    case IDABORT: return btAbort;
    case IDRETRY: return btRetry;
    case IDIGNORE: return btIgnore;
    case IDYES: return btYes;
    case IDNO: return btNo;
    case IDHELP: return btHelp;
    default: return nullptr;
    }
}

QList<QPushButton *> TfrmMsg::Screen_Buttons() const
{
    QList<QPushButton *> shown;
    for (int result : Button_Set(FOption)) {
        QPushButton *button = Button_Of(result);
        if (!button->isHidden())
            shown.append(button);
    }
    std::sort(shown.begin(), shown.end(), [](QPushButton *a, QPushButton *b) { return a->x() < b->x(); });
    return shown;
}

int TfrmMsg::Block_Height(int width, int height, QPainter *painter) const
{
    const int flags = Text_Flags(FOption);
    int y = 20;
    if (!FMain.isEmpty()) {
        const QRect r(55, 38, width - 20 - 55, height - 38);
        const QFont font = Main_Font(FOption);
        int drawn = QFontMetrics(font).boundingRect(r, flags, FMain).height();
        if (painter) {
            painter->setFont(font);
            painter->setPen(Main_Color);
            painter->drawText(r, flags, FMain);
        }
        y = drawn + 35;
    }
    if (!FDetails.isEmpty()) {
        const QRect r(55, y + 15, width - 20 - 55, height - (y + 15));
        const QFont font = Details_Font(FOption);
        int drawn = QFontMetrics(font).boundingRect(r, flags, FDetails).height();
        if (painter) {
            painter->setFont(font);
            painter->setPen(Qt::black);
            painter->drawText(r, flags, FDetails);
        }
        y += drawn;
    }
    int h = y + 20;
    if (FIconKind != Icon_None) {
        if (h < 70)
            h = 90;
    } else if (h < 70) {
        h = 70;
    }
    return h;
}

void TfrmMsg::Prepare()
{
    int width = 10;
    imgIcon->move(8, 35);
    const QFontMetrics measure(Measure_Font(FOption));
    FResult = 0;
    lblResult->setText(QStringLiteral("0"));
    setLayoutDirection((FOption & MB_RTLREADING) ? Qt::RightToLeft : Qt::LeftToRight);

    const qsizetype bar = FMsg.indexOf(QLatin1Char('|'));
    FMain = bar < 0 ? FMsg : FMsg.left(bar);
    FDetails = bar < 0 ? QString() : FMsg.mid(bar + 1);

    FIconKind = Icon_For(FOption);
    imgIcon->setPixmap(Msg_Icon_Pixmap(FIconKind, Icon_Size));
    imgIcon->setVisible(FIconKind != Icon_None);

    for (QPushButton *button : {btOk, btCancel, btAbort, btRetry, btIgnore, btYes, btNo, btHelp})
        button->hide();
    imgHelp->hide();
    if (FOption & MB_RIGHT) {
        btOk->setText(QStringLiteral("موافق"));
        btCancel->setText(QStringLiteral("إلغاء الأمر"));
        btAbort->setText(QStringLiteral("ان&سحاب"));
        btRetry->setText(QStringLiteral("إ&عادة"));
        btIgnore->setText(QStringLiteral("ت&خطّي"));
        btYes->setText(QStringLiteral("&نعم"));
        btNo->setText(QStringLiteral("&لا"));
        btHelp->setText(QStringLiteral("&تعليمات"));
    } else {
        btOk->setText(QStringLiteral("Ok"));
        btCancel->setText(QStringLiteral("Cancel"));
        btAbort->setText(QStringLiteral("&Abort"));
        btRetry->setText(QStringLiteral("&Retry"));
        btIgnore->setText(QStringLiteral("&Ignore"));
        btYes->setText(QStringLiteral("&Yes"));
        btNo->setText(QStringLiteral("&No"));
        btHelp->setText(QStringLiteral("&Help"));
    }

    switch (FOption & MB_DEFBUTTON4) {
    case MB_DEFBUTTON2: DefBut = 2; break;
    case MB_DEFBUTTON3: DefBut = 3; break;
    case MB_DEFBUTTON4: DefBut = 4; break;
    default: DefBut = 1; break;
    }

    for (const QString &part : {FMain, FDetails}) {
        if (part.isEmpty())
            continue;
        for (const QString &line : Lines_Of(part)) {
            const int w = measure.horizontalAdvance(line);
            if (w > width - 160)
                width = w + 160;
        }
    }

    const int h = Block_Height(width, 100000, nullptr);
    FTextHeight = h;
    Layout_Buttons(h, width);
    // a default button beyond the set answers as the first one
    if (DefBut > MaxBut)
        DefBut = 1;
    resize(width, h + 50);
    Place_Close_Image();
    Set_Keyboard_Button(DefBut);
    FPrepared = true;
}

void TfrmMsg::Layout_Buttons(int h, int &width)
{
    const QList<int> set = Button_Set(FOption);
    const int n = int(set.size());
    MaxBut = n;

    if (set.contains(IDYES)) {
        QStringList pieces = Strings.split(QLatin1Char(','));
        for (QString &piece : pieces)
            piece = piece.trimmed();
        if (!pieces.isEmpty() && pieces.back().isEmpty())
            pieces.removeLast();
        QPushButton *targets[] = {btYes, btNo, btCancel};
        for (int i = 0; i < 3 && i < pieces.size(); ++i) {
            if (!pieces.at(i).isEmpty())
                targets[i]->setText(pieces.at(i));
        }
    }

    // a caption wider than the standard button widens every button of the set
    int w = Button_Width;
    for (int result : set) {
        const QPushButton *button = Button_Of(result);
        QString caption = button->text();
        caption.remove(QLatin1Char('&'));
        w = std::max(w, button->fontMetrics().horizontalAdvance(caption) + 16);
    }
    FButtonWidth = w;

    for (QPushButton *button : {btOk, btCancel, btAbort, btRetry, btIgnore, btYes, btNo, btHelp}) {
        button->setGeometry(button->x(), h + 15, w, Button_Height);
        button->setDefault(false);
    }
    if (FOption & MB_HELP) {
        imgHelp->move(8, h + 5);
        imgHelp->show();
    }

    if (n == 1) {
        width = std::max(width, w + 20);
        btOk->move((width - w) / 2, h + 15);
        btOk->show();
        return;
    }
    width = std::max(width, (w + 25) * n - 5);
    QList<int> order = set;
    if (FOption & MB_RIGHT)
        std::reverse(order.begin(), order.end());
    int left = (width - (w + 5) * n + 5) / 2;
    for (int result : order) {
        QPushButton *button = Button_Of(result);
        button->move(left, h + 15);
        button->show();
        left += w + 5;
    }
    if ((FOption & 0xF) == MB_YESNOCANCEL) {
        if ((FOption & MB_DEFBUTTON4) == MB_DEFBUTTON2)
            btNo->setDefault(true);
        else if ((FOption & MB_DEFBUTTON4) == MB_DEFBUTTON3)
            btCancel->setDefault(true);
    }
}

void TfrmMsg::Set_Keyboard_Button(int number)
{
    DefBut = number;
    const QList<int> set = Button_Set(FOption);
    if (number >= 1 && number <= set.size()) {
        // focus shows which button Enter answers with
        if (QPushButton *button = Button_Of(set.at(number - 1)))
            button->setFocus(Qt::TabFocusReason);
    }
}

void TfrmMsg::Place_Close_Image()
{
    btClose->move(width() - 5 - btClose->width(), 1);
    btClose->raise();
}

void TfrmMsg::Answer(int result)
{
    FResult = result;
    lblResult->setText(QString::number(result));
    if (result != IDHELP)
        done(result);
}

void TfrmMsg::Close_Clicked()
{
    Answer((FOption & 0xF) == MB_YESNO ? IDNO : IDCANCEL);
}

bool TfrmMsg::Handle_Key(int key, Qt::KeyboardModifiers modifiers, bool act)
{
    const QList<int> set = Button_Set(FOption);
    if (modifiers & Qt::AltModifier) {
        int result = 0;
        switch (key) {
        case Qt::Key_A: case Qt::Key_S: case 0x0633: result = IDABORT; break;   // seen
        case Qt::Key_G: case Qt::Key_N: case 0x0644: result = IDNO; break;      // lam
        case Qt::Key_I: case Qt::Key_O: case 0x062E: result = IDIGNORE; break;  // khah
        case Qt::Key_K: case Qt::Key_Y: case 0x0646: result = IDYES; break;     // noon
        case Qt::Key_R: case Qt::Key_U: case 0x0639: result = IDRETRY; break;   // ain
        case Qt::Key_H: case Qt::Key_J: case 0x062A: result = IDHELP; break;    // teh
        default: return false;
        }
        const bool shown = result == IDHELP ? (FOption & MB_HELP) != 0 : set.contains(result);
        if (shown && act)
            Answer(result);
        // taken even when the box lacks the button, so no shortcut acts on it
        return true;
    }
    switch (key) {
    case Qt::Key_Escape:
        if (act && (FOption & 0x1))
            Answer(IDCANCEL);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Backtab:
        if (act)
            Set_Keyboard_Button(DefBut <= 1 ? MaxBut : DefBut - 1);
        return true;
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Tab:
        if (act)
            Set_Keyboard_Button(DefBut >= MaxBut ? 1 : DefBut + 1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (act)
            Answer(set.value(DefBut - 1, set.front()));
        return true;
    default:
        return false;
    }
}

bool TfrmMsg::event(QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(e);
        if (Handle_Key(key->key(), key->modifiers()))
            return true;
    } else if (e->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(e);
        if (Handle_Key(key->key(), key->modifiers(), false)) {
            e->accept();
            return true;
        }
    }
    return QDialog::event(e);
}

bool TfrmMsg::eventFilter(QObject *watched, QEvent *e)
{
    switch (e->type()) {
    case QEvent::KeyPress: {
        // the box reads the keys before the focused button does
        auto *key = static_cast<QKeyEvent *>(e);
        if (Handle_Key(key->key(), key->modifiers()))
            return true;
        break;
    }
    case QEvent::ShortcutOverride: {
        auto *key = static_cast<QKeyEvent *>(e);
        if (Handle_Key(key->key(), key->modifiers(), false)) {
            e->accept();
            return true;
        }
        break;
    }
    case QEvent::Enter:
    case QEvent::HoverEnter:
        if (watched == btClose) {
            FCloseHover = true;
            btClose->setPixmap(img_Close_L);
        }
        break;
    case QEvent::Leave:
    case QEvent::HoverLeave:
        if (watched == btClose) {
            FCloseHover = false;
            btClose->setPixmap(img_Close);
        }
        break;
    case QEvent::MouseButtonPress:
        if (watched == btClose || watched == imgHelp)
            return true;
        break;
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(e);
        auto *widget = static_cast<QWidget *>(watched);
        if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint())) {
            if (watched == btClose) {
                Close_Clicked();
                return true;
            }
            if (watched == imgHelp) {
                Answer(IDHELP);
                return true;
            }
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, e);
}

void TfrmMsg::keyPressEvent(QKeyEvent *e)
{
    // Esc and Enter must not reach QDialog, which would reject or press a default button
    if (!Handle_Key(e->key(), e->modifiers()))
        QWidget::keyPressEvent(e);
}

void TfrmMsg::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), MsgColor.isValid() ? MsgColor : QColor(Qt::white));
    painter.setFont(Title_Font());
    painter.setPen(Title_Color);
    painter.drawText(QRect(10, 3, width() - 40 - 10, 20 - 3), Text_Flags(FOption), FCaption);
    Block_Height(width(), height(), &painter);
    painter.setPen(Frame_Color);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TfrmMsg::showEvent(QShowEvent *e)
{
    setWindowTitle(FCaption);
    if (!FPrepared)
        Prepare();
    QDialog::showEvent(e);
    Set_Keyboard_Button(DefBut);
}

void TfrmMsg::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    Place_Close_Image();
}

void TfrmMsg::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        FDragging = true;
        FDragOffset = e->globalPosition().toPoint() - frameGeometry().topLeft();
        e->accept();
        return;
    }
    QDialog::mousePressEvent(e);
}

void TfrmMsg::mouseMoveEvent(QMouseEvent *e)
{
    if (FDragging && (e->buttons() & Qt::LeftButton)) {
        move(e->globalPosition().toPoint() - FDragOffset);
        e->accept();
        return;
    }
    QDialog::mouseMoveEvent(e);
}

void TfrmMsg::mouseReleaseEvent(QMouseEvent *e)
{
    FDragging = false;
    QDialog::mouseReleaseEvent(e);
}
