#include "ui/controls/msg_box.h"

#include "ui/controls/frm_msg.h"

#include <QApplication>
#include <QScreen>

namespace {
TMsgBoxAnswerer &Answerer()
{
    static TMsgBoxAnswerer instance;
    return instance;
}

int Rtl_Flags(bool rtl)
{
    return rtl ? MB_RIGHT | MB_RTLREADING : 0;
}

QString Application_Title()
{
    const QString name = QGuiApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Tarsel Archive") : name;
}

int Show_Box(const QString &text, const QString &title, const QString &buttons, int style)
{
    // boxes need a widget application; anything else cannot show one
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return 0;
    try {
        QWidget *owner = QApplication::activeWindow();
        TfrmMsg box(owner);
        box.Set_Message(text, title, style, buttons);
        box.Prepare();
        QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            const QRect area = screen->availableGeometry();
            box.move(area.center() - QPoint(box.width() / 2, box.height() / 2));
        }
        box.raise();
        box.activateWindow();
        box.exec();
        return box.Result();
    } catch (...) {
        return 0;
    }
}
} // namespace

int Msg_Box_Buttons(const QString &text, const QString &title, const QString &buttons, int style)
{
    if (Answerer())
        return Answerer()(TMsgBoxRequest{text, title, buttons, style});
    return Show_Box(text, title, buttons, style);
}

int Msg_Box(const QString &text, const QString &title, int style)
{
    return Msg_Box_Buttons(text, title, QString(), style);
}

int Confirm_Box(const QString &text, const QString &title, bool rtl)
{
    return Msg_Box(text, title, MB_YESNO | MB_ICONQUESTION | Rtl_Flags(rtl));
}

int Warning_Confirm_Box(const QString &text, const QString &title, bool rtl)
{
    return Msg_Box(text, title, MB_YESNO | MB_ICONEXCLAMATION | Rtl_Flags(rtl));
}

int Yes_No_Cancel_Box(const QString &text, const QString &title, const QString &buttons, bool rtl)
{
    return Msg_Box_Buttons(text, title, buttons, MB_YESNOCANCEL | MB_ICONEXCLAMATION | Rtl_Flags(rtl));
}

int Warning_Box(const QString &text, bool rtl)
{
    if (!Answerer())
        QApplication::beep();
    return Msg_Box(text, Application_Title(), MB_OK | MB_ICONEXCLAMATION | Rtl_Flags(rtl));
}

int Info_Box(const QString &text, bool rtl)
{
    return Msg_Box(text, Application_Title(), MB_OK | MB_ICONASTERISK | Rtl_Flags(rtl));
}

void Set_Msg_Box_Answerer(TMsgBoxAnswerer answerer)
{
    Answerer() = std::move(answerer);
}

TMsg_Box_Answers::TMsg_Box_Answers(QList<int> answers, int fallback)
    : FAnswers(std::move(answers))
    , FFallback(fallback)
{
    Set_Msg_Box_Answerer([this](const TMsgBoxRequest &request) {
        FRequests.append(request);
        return FAnswers.isEmpty() ? FFallback : FAnswers.takeFirst();
    });
}

TMsg_Box_Answers::~TMsg_Box_Answers()
{
    Set_Msg_Box_Answerer({});
}
