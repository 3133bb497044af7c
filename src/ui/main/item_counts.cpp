#include "ui/main/item_counts.h"

#include <QLocale>

QString Format_Count(int n)
{
    if (n == 0)
        return {};
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(n);
}
