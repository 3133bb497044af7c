#pragma once

// Shared by the property panel and find panel tests: languages and small archives.

#include <QtTest>

#include "archive/tarchitem.h"
#include "local/localization.h"

inline void Use_Language(bool arabic)
{
    if (arabic)
        QVERIFY(Load_Localization(QStringLiteral(":/langs/arabic.local")).isEmpty());
    else
        Reset_Localization();
}

template<class T>
T *Add_Item(TOwnList<T> &list, TArchItem *parent, const QString &name)
{
    list.push_back(std::make_unique<T>());
    T *item = list.back().get();
    item->Parent = parent;
    item->Name = name;
    return item;
}
