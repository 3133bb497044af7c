#include "ui/controls/text_filters.h"

#include <QStringList>

namespace {
constexpr QChar Tatweel(0x0640);

bool Is_Blank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString Trim_Start(const QString &s)
{
    qsizetype i = 0;
    while (i < s.size() && Is_Blank(s.at(i)))
        ++i;
    return s.mid(i);
}

QString Trim(const QString &s)
{
    qsizetype end = s.size();
    while (end > 0 && Is_Blank(s.at(end - 1)))
        --end;
    return Trim_Start(s.left(end));
}

QString Reduce_Blanks(const QString &s)
{
    QString out;
    out.reserve(s.size());
    bool previousBlank = false;
    for (QChar c : s) {
        const bool blank = Is_Blank(c);
        if (blank && previousBlank)
            continue;
        out.append(c);
        previousBlank = blank;
    }
    return out;
}

QString Numbers_Only(const QString &text, double maxNumber)
{
    QString kept;
    bool havePoint = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            kept.append(c);
        else if (c == QLatin1Char('-') && i == 0)
            kept.append(c);
        else if (c == QLatin1Char('.') && !havePoint) {
            havePoint = true;
            kept.append(c);
        }
    }
    if (maxNumber > 0) {
        bool ok = false;
        const double value = kept.toDouble(&ok);
        if (ok && value > maxNumber) {
            const qsizetype n = QString::number(maxNumber, 'g', 15).size();
            kept.truncate(std::max<qsizetype>(0, n - 1));
        }
    }
    return kept;
}
} // namespace

QString Filtered_Text(const QString &text, const TText_Filter &filter)
{
    if (text.isEmpty())
        return text;
    if (filter.NumbersOnly)
        return Numbers_Only(text, filter.MaxNumber);
    QString out;
    if (filter.NoKashida && filter.NoSpace)
        out = Trim_Start(Reduce_Blanks(Trim(text).remove(Tatweel)));
    else if (filter.NoKashida)
        out = Trim(text).remove(Tatweel);
    else if (filter.NoSpace)
        out = Trim_Start(Reduce_Blanks(Trim(text)));
    else
        return text;
    // keep the word separator the user has just typed
    if (Is_Blank(text.back()))
        out.append(QLatin1Char(' '));
    return out;
}

bool Begins_Right_To_Left(const QString &text)
{
    static const QString skipped = QStringLiteral("!#$%()*+-=[]^@");
    for (QChar c : text) {
        if (skipped.contains(c))
            continue;
        return c.unicode() >= 0x05D0 && c.unicode() <= 0x070D;
    }
    return false;
}

QString SQL_String_Expression(const QString &text)
{
    static const QString special = QStringLiteral("\"%'*,-;<=>");
    QString out = QStringLiteral("'");
    for (QChar c : text) {
        if (special.contains(c))
            out += QStringLiteral("' + CHAR(%1) + '").arg(c.unicode());
        else
            out += c;
    }
    out += QLatin1Char('\'');
    return out;
}

QString HTML_Paragraphs(const QString &text)
{
    if (text.isEmpty())
        return QString();
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = normal.split(QLatin1Char('\n'));
    // a final line break ends the last line; it does not start another
    if (lines.size() > 1 && lines.back().isEmpty())
        lines.removeLast();
    QString out;
    for (const QString &line : lines)
        out += QStringLiteral("<p>") + line + QStringLiteral("</p>\r\n");
    return out;
}

QString One_Line(const QString &text)
{
    QString out = text;
    out.remove(QLatin1Char('\t')).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    return out;
}
