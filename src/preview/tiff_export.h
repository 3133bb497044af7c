#pragma once

#include "preview/page_export.h"

#include <QColor>
#include <QString>

class QImage;

// A page picture drawn into a 24-bit image of the picture's own pixel size and
// resolution, over an opaque background.
QImage Render_Page_Image(const TMetafile &page, const QColor &background);

// Writes the accepted pages as one multi-page TIFF: a 24-bit RGB frame per page at the
// picture's own size and resolution over paperColor, Deflate-compressed. Returns false,
// writing nothing, when the owner cancels or accepts no page. A file that cannot be
// written raises TError, and nothing is left under fileName (a file that was there stays
// as it was).
bool Save_Pages_As_Tiff(const QString &fileName, const TExportPages &pages, const QColor &paperColor,
                        const TExportEvents &events = {});
