#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class TMetafile;

// What can be placed on a page by the drawing helpers: a bitmap, a page picture, or the
// encoded bytes of an image file (kept as they are in the page picture).
struct TPreviewGraphic {
    QImage Image;                // a decoded bitmap, or null for encoded bytes
    QByteArray Encoded;          // JPEG or PNG bytes, or empty
    QSize EncodedSize;           // the pixel size of the encoded image
    const TMetafile *Metafile = nullptr;

    static TPreviewGraphic FromImage(const QImage &image);
    static TPreviewGraphic FromMetafile(const TMetafile &metafile);
    // A JPEG or PNG keeps its bytes and is not decoded here (only its size is read), so that
    // recording a scan costs about the size of its file; any other format is decoded.
    static TPreviewGraphic FromEncoded(const QByteArray &bytes);
    // Reads an image file; an empty graphic when it cannot be decoded.
    static TPreviewGraphic FromFile(const QString &fileName);

    bool IsEmpty() const { return Image.isNull() && Encoded.isEmpty() && !Metafile; }
    // Size in pixels.
    QSize Size() const;
};
