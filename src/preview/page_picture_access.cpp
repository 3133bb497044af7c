#include "preview/page_picture_access_p.h"

#include "preview/metafile.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

std::unique_ptr<TMetafile> NewPagePicture(QSize pixels, int dpiX, int dpiY, const QString &creator)
{
    auto picture = std::make_unique<TMetafile>(pixels.expandedTo(QSize(1, 1)), dpiX, dpiY);
    picture->SetDescription(creator, QStringLiteral("TPrintPreview - https://tarsel.example/archive"));
    return picture;
}

bool PagePictureComplete(const TMetafile &picture)
{
    return picture.Width() > 0 && picture.Height() > 0;
}

QSize PagePictureSize(const TMetafile &picture)
{
    return picture.PixelSize();
}

void PlayPagePicture(const TMetafile &picture, QPainter &canvas, const QRect &rect)
{
    picture.Play(&canvas, QRectF(rect));
}

void AssignPagePicture(TMetafile &dest, const TMetafile &source)
{
    dest.Assign(source);
}

void DrawEncodedImage(QPainter &canvas, const QRect &rect, const QByteArray &bytes, QSize pixels)
{
    if (TMetafile::DrawEncodedImage(canvas, QRectF(rect), bytes, pixels))
        return;
    // not a page picture: draw the decoded image
    QImage image = QImage::fromData(bytes);
    if (!image.isNull())
        canvas.drawImage(rect, image);
}
