#pragma once

#include <QChar>
#include <QString>

// Trims, reduces runs of spaces to one and removes the Arabic tatweel.
QString Clean_Text(const QString &s);
bool Is_Right_To_Left_Char(QChar c);
bool Starts_Right_To_Left(const QString &s);
bool Mostly_Right_To_Left(const QString &s);
