#include "ui/controls/color_text.h"

#include <algorithm>
#include <cmath>

QColor Color_From_Value(quint32 value)
{
    if (value == clNone_Value)
        return QColor();
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

quint32 Color_To_Value(const QColor &color)
{
    if (!color.isValid())
        return clNone_Value;
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

QColor Color_From_Text(const QString &text, const QColor &fallback)
{
    const QString t = text.trimmed();
    bool ok = false;
    quint32 value = 0;
    if (t.startsWith(QLatin1Char('$')))
        value = t.mid(1).toUInt(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = t.mid(2).toUInt(&ok, 16);
    else
        value = t.toUInt(&ok, 10);
    if (!ok)
        return fallback;
    return Color_From_Value(value);
}

QString Color_To_Text(const QColor &color)
{
    return QStringLiteral("$%1").arg(Color_To_Value(color), 8, 16, QLatin1Char('0')).toUpper();
}

QColor Lighten_Color(const QColor &color, int percent)
{
    const int p = std::clamp(percent, 0, 100);
    auto up = [p](int c) { return c + int(std::lround((255 - c) * p / 100.0)); };
    return QColor(up(color.red()), up(color.green()), up(color.blue()));
}
