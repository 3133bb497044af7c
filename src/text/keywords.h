#pragma once

#include <QString>
#include <QStringList>

// A word list with the two behaviours the keyword operations rely on: unsorted (words
// appended, duplicates kept) or sorted (words inserted in collation order, a duplicate
// compared without regard to case ignored when Ignore_Duplicates is set).
struct TWordList
{
    QStringList Items;
    bool Sorted = false;
    bool Ignore_Duplicates = false;

    void Add(const QString &word);
};

void Split_Words(const QString &text, TWordList &list);
void Extract_Keywords(const QString &text, TWordList &list);
void Split_Search_Words(const QString &text, QStringList &words);
