#include "preview/preview_graphic.h"

#include "preview/metafile.h"
#include "preview/page_picture_access_p.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

TPreviewGraphic TPreviewGraphic::FromImage(const QImage &image)
{
    TPreviewGraphic graphic;
    graphic.Image = image;
    return graphic;
}

TPreviewGraphic TPreviewGraphic::FromMetafile(const TMetafile &metafile)
{
    TPreviewGraphic graphic;
    graphic.Metafile = &metafile;
    return graphic;
}

TPreviewGraphic TPreviewGraphic::FromEncoded(const QByteArray &bytes)
{
    TPreviewGraphic graphic;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format().toLower();
    const QSize size = reader.size();
    if ((format == "jpeg" || format == "jpg" || format == "png") && size.isValid() && !size.isEmpty()) {
        graphic.Encoded = bytes;
        graphic.EncodedSize = size;
        return graphic;
    }
    if (!reader.read(&graphic.Image))
        return TPreviewGraphic();
    return graphic;
}

TPreviewGraphic TPreviewGraphic::FromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return TPreviewGraphic();
    return FromEncoded(file.readAll());
}

QSize TPreviewGraphic::Size() const
{
    if (Metafile)
        return PagePictureSize(*Metafile);
    if (!Encoded.isEmpty())
        return EncodedSize;
    return Image.size();
}
