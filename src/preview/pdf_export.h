#pragma once

#include "preview/page_export.h"

#include <QSize>
#include <QString>

// Document information written into an exported PDF. Producer and Keywords are kept for
// the preview's settings but not written.
struct TPDFDocumentInfo
{
    QString Producer;
    QString Creator;
    QString Author;
    QString Subject;
    QString Title;
    QString Keywords;

    void Assign(const TPDFDocumentInfo &source) { *this = source; }
    bool operator==(const TPDFDocumentInfo &) const = default;
};

// Writes the accepted pages as one PDF, a page per picture at pagePoints (the paper in
// 1/72 inch, in its orientation), each picture stretched over its page. Drawing stays
// vector; a JPEG the picture holds is embedded as its own bytes (DCTDecode), other
// encoded images losslessly (Flate). Returns false, writing nothing, when the owner
// cancels or accepts no page. A file that cannot be written raises TError, and nothing
// is left under fileName (a file that was there stays as it was).
bool Save_Pages_As_Pdf(const QString &fileName, const TExportPages &pages, QSize pagePoints,
                       const TPDFDocumentInfo &info, const TExportEvents &events = {});
