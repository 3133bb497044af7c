#pragma once

#include "markup/terror.h"

#include <QIODevice>

// The preview's load error; its message is "The content cannot be loaded".
class EPreviewLoadError : public TError
{
public:
    EPreviewLoadError() : TError(QStringLiteral("The content cannot be loaded")) {}
};

// The paper of a saved preview, in the stream's units.
struct TPreviewPageHeader
{
    int Orientation = 0;  // 0 portrait, 1 landscape
    int PaperType = 0;    // ordinal of the paper type; Preview_Custom_Paper_Type is custom paper
    int Width = 0;        // 0.01 mm
    int Height = 0;       // 0.01 mm
};

// Ordinal of custom paper, after the 66 standard papers.
constexpr int Preview_Custom_Paper_Type = 66;

// Writes the 22-byte page header ("KWPI", version, orientation, paper type, width,
// height); the page-list stream follows. Raises TError on a write failure.
void Write_Preview_Page_Header(QIODevice &stream, const TPreviewPageHeader &header);

// Reads and checks the page header and that a page-list stream follows it, before the
// caller applies anything. Raises EPreviewLoadError when the signature is wrong, the
// stream is short, orientation or paper type (their low bytes) are out of range, or the
// width or height is below 1. The stream is left at the start of the page list.
TPreviewPageHeader Read_Preview_Page_Header(QIODevice &stream);
