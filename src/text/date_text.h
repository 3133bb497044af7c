#pragma once

#include <QString>

// Date numbers: year * 10000 + month * 100 + day, negative before the era, 0 for none,
// month or day 0 for a partial date.

QString Pad_Number(int value, int width);
QString Date_Number_To_Text(int n);
int Text_To_Date_Number(const QString &s);
// The date in the user's short date format; empty for no date or one that is not a calendar date.
QString Date_Number_To_Local_Text(int n);

struct TDate_Parts
{
    int Year = 0;
    int Month = 0;
    int Day = 0;
    bool Before_Era = false;
};
TDate_Parts Split_Date_Text(const QString &s);

QString Digits_Only(const QString &s);
