#pragma once
#include <QString>
#include <QList>
#include <functional>

// Windows-compatible style flags and result codes: callers and stored options use these values.
enum : int { MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
             MB_RETRYCANCEL = 0x5, MB_ICONHAND = 0x10, MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30,
             MB_ICONASTERISK = 0x40, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200, MB_DEFBUTTON4 = 0x300,
             MB_HELP = 0x4000, MB_RIGHT = 0x80000, MB_RTLREADING = 0x100000 };
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7, IDHELP = 9 };

int Msg_Box(const QString &text, const QString &title, int style);
int Msg_Box_Buttons(const QString &text, const QString &title, const QString &buttons, int style);
int Confirm_Box(const QString &text, const QString &title, bool rtl);
int Warning_Confirm_Box(const QString &text, const QString &title, bool rtl);
int Yes_No_Cancel_Box(const QString &text, const QString &title, const QString &buttons, bool rtl);
int Warning_Box(const QString &text, bool rtl);
int Info_Box(const QString &text, bool rtl);

// Test seam: while an answerer is set, no box is shown; each call is passed to it and its
// return value is the result. An empty function restores the real boxes.
struct TMsgBoxRequest { QString Text; QString Title; QString Buttons; int Style = 0; };
using TMsgBoxAnswerer = std::function<int(const TMsgBoxRequest &)>;
void Set_Msg_Box_Answerer(TMsgBoxAnswerer answerer);

// For tests: answers every box with the queued results in turn (then with fallback) and
// records the requests; the real boxes come back when it goes out of scope.
class TMsg_Box_Answers
{
public:
    explicit TMsg_Box_Answers(QList<int> answers = {}, int fallback = 0);
    ~TMsg_Box_Answers();
    TMsg_Box_Answers(const TMsg_Box_Answers &) = delete;
    TMsg_Box_Answers &operator=(const TMsg_Box_Answers &) = delete;

    void Queue(int answer) { FAnswers.append(answer); }
    const QList<TMsgBoxRequest> &Requests() const { return FRequests; }
    int Count() const { return int(FRequests.size()); }

private:
    QList<int> FAnswers;
    int FFallback;
    QList<TMsgBoxRequest> FRequests;
};
