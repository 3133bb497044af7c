#include "text/date_text.h"

#include <QDate>
#include <QLocale>

namespace {

bool Is_Ascii_Digit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The run of ASCII digits starting at pos; pos is left after the run.
QString Digit_Run(const QString &s, qsizetype &pos)
{
    const qsizetype start = pos;
    while (pos < s.size() && Is_Ascii_Digit(s.at(pos)))
        ++pos;
    return s.mid(start, pos - start);
}

// A run of digits read as a number exceeds limit; runs too long for any integer exceed it too.
bool Exceeds(const QString &digits, int limit)
{
    if (digits.isEmpty())
        return false;
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok);
    return !ok || value > qulonglong(limit);
}

QString Two_Characters(const QString &part)
{
    if (part.isEmpty())
        return QStringLiteral("00");
    if (part.size() == 1)
        return u'0' + part;
    return part.left(2);
}

// Month or day: a value over the limit keeps only its second character.
QString Limit_Part(const QString &part, int limit)
{
    return Exceeds(part, limit) ? part.mid(1, 1) : part;
}

int Part_Value(const QString &part)
{
    bool ok = false;
    const int value = part.toInt(&ok);
    return ok ? value : 0;
}

} // namespace

QString Pad_Number(int value, int width)
{
    QString text = QString::number(value);
    if (text.size() < width)
        text.prepend(QString(width - text.size(), u'0'));
    return text;
}

QString Date_Number_To_Text(int n)
{
    QString t = QString::number(n);
    const bool negative = t.startsWith(u'-');
    if (negative)
        t.remove(0, 1);

    const qsizetype length = t.size();
    const QString day = length == 1 ? t : t.right(2);
    const QString month = length >= 4 ? t.mid(length - 4, 2) : QStringLiteral("00");
    const QString year = length >= 5 ? t.left(length - 4) : QStringLiteral("0000");

    QString result = Pad_Number(Part_Value(year), 4) + u'-' + Pad_Number(Part_Value(month), 2) + u'-'
        + Pad_Number(Part_Value(day), 2);
    if (negative)
        result.prepend(u'-');
    return result;
}

int Text_To_Date_Number(const QString &s)
{
    QString t = s.trimmed();
    if (t.isEmpty())
        return 0;
    const bool negative = t.startsWith(u'-');
    if (negative)
        t.remove(0, 1);

    qsizetype pos = 0;
    const QString year = Digit_Run(t, pos);
    ++pos; // the separator, whatever it is
    QString month = Digit_Run(t, pos);
    ++pos;
    QString day = Digit_Run(t, pos);

    month = Two_Characters(Limit_Part(month, 12));
    day = Two_Characters(Limit_Part(day, 31));

    const QString digits = Digits_Only(year + month + day);
    if (digits.isEmpty())
        return 0;
    // A year too large for a date number reads as no date rather than a wrapped value.
    bool ok = false;
    const int value = digits.toInt(&ok);
    if (!ok)
        return 0;
    return negative ? -value : value;
}

QString Date_Number_To_Local_Text(int n)
{
    if (n == 0)
        return QString();
    const QString t = QString::number(n);
    const qsizetype length = t.size();
    if (length < 5)
        return QString();

    bool yearOk = false;
    const int year = t.left(length - 4).toInt(&yearOk);
    const int month = t.mid(length - 4, 2).toInt();
    const int day = t.right(2).toInt();
    // Calendar dates are those of years 1 to 9999; dates before the era have no local form.
    if (!yearOk || year < 1 || year > 9999)
        return QString();
    const QDate date(year, month, day);
    if (!date.isValid())
        return QString();
    return QLocale().toString(date, QLocale::ShortFormat);
}

TDate_Parts Split_Date_Text(const QString &s)
{
    TDate_Parts parts;
    QString t = s.trimmed();
    if (t.isEmpty())
        return parts;
    parts.Before_Era = t.startsWith(u'-');
    if (parts.Before_Era)
        t.remove(0, 1);

    qsizetype pos = 0;
    const QString year = Digit_Run(t, pos).left(4);
    ++pos;
    QString month = Digit_Run(t, pos);
    ++pos;
    QString day;
    for (qsizetype i = pos; i < t.size(); ++i) {
        if (Is_Ascii_Digit(t.at(i)))
            day += t.at(i);
    }

    month = Two_Characters(Limit_Part(month, 12));
    day = Limit_Part(Two_Characters(day), 31);

    parts.Year = Part_Value(year);
    parts.Month = Part_Value(month);
    parts.Day = Part_Value(day);
    return parts;
}

QString Digits_Only(const QString &s)
{
    QString result;
    result.reserve(s.size());
    for (const QChar c : s) {
        if (Is_Ascii_Digit(c))
            result += c;
    }
    return result;
}
