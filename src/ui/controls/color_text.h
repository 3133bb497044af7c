#pragma once
#include <QColor>
#include <QString>

// Colours as the stored forms and the flat-button convention keep them: a 32-bit value
// 0x00BBGGRR, written in text as a dollar sign and eight hexadecimal digits ("$00C48400").

// The "no colour" value; an invalid QColor stands for it.
inline constexpr quint32 clNone_Value = 0x1FFFFFFF;

QColor Color_From_Value(quint32 value);
quint32 Color_To_Value(const QColor &color);
// Accepts "$00BBGGRR" (any letter case), "0x00BBGGRR" or a decimal number; anything else
// gives fallback.
QColor Color_From_Text(const QString &text, const QColor &fallback = QColor());
QString Color_To_Text(const QColor &color);
// Moves each channel towards 255 by percent of the remaining distance (percent capped at 100).
QColor Lighten_Color(const QColor &color, int percent);
