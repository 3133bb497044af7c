#pragma once

#include "archive/tarchitem.h"

#include <QList>
#include <QString>

#include <vector>

// What a document's search text was built from. The strings share their data with the
// document's fields, so a field that is assigned or edited since no longer shares it.
struct TSearch_Entry
{
    TDocument *Doc = nullptr; // none once the document was forgotten
    QString Id, Name, Reference, Physical_Location, Description, Keywords, Mail_From, Mail_To;
    int Date = 0;
    int Delivery_date = 0;
    QList<TDoc_Digital_File> Digital_Files;
    qsizetype Start = 0; // the search text is Text.mid(Start, Length)
    qsizetype Length = 0;
};

// The search texts of every document of Document_List, one after another in one buffer,
// each followed by a NUL, so that one scan of the buffer searches all documents. A word
// without a NUL cannot match across two documents.
struct TSearch_Cache
{
    std::vector<TSearch_Entry> Entries; // in the order of Document_List
    // Start of every text in Text, ascending, with the entry it belongs to; a text that was
    // rebuilt moves to the end and its old place is overwritten with NULs.
    std::vector<qsizetype> Segment_Starts;
    std::vector<int> Segment_Entries;
    QString Text;
    qsizetype Unused = 0; // characters of Text no longer referred to
    QString Locale_Key;   // the date format the texts were built with
};
