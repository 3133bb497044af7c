#pragma once

#include "archive/tarchitem.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

// What a document's search text was built from. The strings share their data with the
// document's fields, which keeps that data alive: a field assigned or edited since has
// other data, so comparing data addresses tells whether the text is still current.
struct TSearch_Source
{
    QString Id, Name, Reference, Physical_Location, Description, Keywords, Mail_From, Mail_To;
    int Date = 0;
    int Delivery_date = 0;
    QList<TDoc_Digital_File> Digital_Files;
};

// The search texts of every document of Document_List, UTF-8 encoded one after another in
// one buffer, each followed by a NUL, so that one scan of the buffer searches all
// documents. A word without a NUL cannot match across two documents. Per-document data are
// kept in parallel vectors, indexed in the order of Document_List.
struct TSearch_Cache
{
    std::vector<TDocument *> Docs;   // none once the document was forgotten
    std::vector<quint64> Stamps;     // the data addresses of the document's searched fields
    std::vector<TSearch_Source> Sources;
    std::vector<qsizetype> Starts;   // the search text is Text.mid(Starts[i], Lengths[i])
    std::vector<qsizetype> Lengths;
    // Start of every text in Text, ascending, with the document it belongs to; a text that
    // was rebuilt moves to the end and its old place is overwritten with NULs.
    std::vector<qsizetype> Segment_Starts;
    std::vector<int> Segment_Entries;
    QByteArray Text;
    qsizetype Unused = 0; // bytes of Text no longer referred to
    QString Locale_Key;   // the date format the texts were built with
};
