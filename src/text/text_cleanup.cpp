#include "text/text_cleanup.h"

namespace {

constexpr char16_t Tatweel = 0x0640;
constexpr char16_t Arabic_Question_Mark = 0x061F;

} // namespace

QString Clean_Text(const QString &s)
{
    const QString t = s.trimmed();
    QString result;
    result.reserve(t.size());
    // A space is dropped when the character after it in the original text is a space too: of a run
    // only the last one stays. A tatweel between two spaces therefore leaves both spaces in place.
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c == Tatweel)
            continue;
        if (c == u' ' && i + 1 < t.size() && t.at(i + 1) == u' ')
            continue;
        result += c;
    }
    return result;
}

bool Is_Right_To_Left_Char(QChar c)
{
    return c.unicode() >= 0x05D0 && c.unicode() <= 0x070D;
}

bool Starts_Right_To_Left(const QString &s)
{
    static const QString passedOver = QStringLiteral("!\"&'*.?@") + QChar(Arabic_Question_Mark);
    for (const QChar c : s) {
        if (!passedOver.contains(c))
            return Is_Right_To_Left_Char(c);
    }
    return false;
}

bool Mostly_Right_To_Left(const QString &s)
{
    if (s.trimmed().isEmpty())
        return false;
    static const QString neutral = QStringLiteral(" !#$%()*+-/=@[\\]^{}");
    int rightToLeft = 0;
    int leftToRight = 0;
    for (const QChar c : QStringView(s).left(100)) {
        if (neutral.contains(c))
            continue;
        if (Is_Right_To_Left_Char(c))
            ++rightToLeft;
        else
            ++leftToRight;
    }
    return rightToLeft >= leftToRight;
}
