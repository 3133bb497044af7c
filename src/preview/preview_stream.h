#pragma once

#include "preview/paper_types.h"
#include "preview/preview_errors.h"

#include <QIODevice>

// The paper of a saved preview, in the stream's units.
struct TPreviewPageHeader
{
    int Orientation = 0;  // 0 portrait, 1 landscape
    int PaperType = 0;    // ordinal of the paper type; Preview_Custom_Paper_Type is custom paper
    int Width = 0;        // 0.01 mm
    int Height = 0;       // 0.01 mm
};

// Ordinal of custom paper, after the 66 standard papers: the largest a stream may hold.
constexpr int Preview_Custom_Paper_Type = int(pCustom);
static_assert(Preview_Custom_Paper_Type == 66, "saved previews number 66 standard papers");

// Writes the 22-byte page header ("KWPI", version, orientation, paper type, width,
// height); the page-list stream follows. Raises TError on a write failure.
void Write_Preview_Page_Header(QIODevice &stream, const TPreviewPageHeader &header);

// Reads and checks the page header and that a page-list stream follows it, before the
// caller applies anything. Raises EPreviewLoadError when the signature is wrong, the
// stream is short, orientation or paper type (their low bytes) are out of range, or the
// width or height is below 1. The stream is left at the start of the page list.
TPreviewPageHeader Read_Preview_Page_Header(QIODevice &stream);
