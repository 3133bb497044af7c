#include "ui/controls/msg_box.h"

namespace {
TMsgBoxAnswerer &answerer()
{
    static TMsgBoxAnswerer instance;
    return instance;
}
} // namespace

int Msg_Box_Buttons(const QString &text, const QString &title, const QString &buttons, int style)
{
    if (answerer())
        return answerer()(TMsgBoxRequest{text, title, buttons, style});
    return 0;
}

int Msg_Box(const QString &text, const QString &title, int style)
{
    return Msg_Box_Buttons(text, title, QString(), style);
}

int Confirm_Box(const QString &text, const QString &title, bool rtl)
{
    return Msg_Box(text, title, MB_YESNO | MB_ICONQUESTION | (rtl ? MB_RIGHT | MB_RTLREADING : 0));
}

int Warning_Confirm_Box(const QString &text, const QString &title, bool rtl)
{
    return Msg_Box(text, title, MB_YESNO | MB_ICONEXCLAMATION | (rtl ? MB_RIGHT | MB_RTLREADING : 0));
}

int Yes_No_Cancel_Box(const QString &text, const QString &title, const QString &buttons, bool rtl)
{
    return Msg_Box_Buttons(text, title, buttons, MB_YESNOCANCEL | MB_ICONQUESTION | (rtl ? MB_RIGHT | MB_RTLREADING : 0));
}

int Warning_Box(const QString &text, bool rtl)
{
    return Msg_Box(text, QString(), MB_OK | MB_ICONEXCLAMATION | (rtl ? MB_RIGHT | MB_RTLREADING : 0));
}

int Info_Box(const QString &text, bool rtl)
{
    return Msg_Box(text, QString(), MB_OK | MB_ICONASTERISK | (rtl ? MB_RIGHT | MB_RTLREADING : 0));
}

void Set_Msg_Box_Answerer(TMsgBoxAnswerer a)
{
    answerer() = std::move(a);
}
