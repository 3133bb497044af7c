#pragma once

// The few page-picture operations the preview control needs, in one place.

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class QIODevice;
class QPainter;
class TMetafile;

// A new, empty page picture of the given pixel size and resolution.
std::unique_ptr<TMetafile> NewPagePicture(QSize pixels, int dpiX, int dpiY, const QString &creator);
// The recording ended with a usable picture.
bool PagePictureComplete(const TMetafile &picture);
QSize PagePictureSize(const TMetafile &picture);
// Plays a picture stretched into a rectangle of any painter.
void PlayPagePicture(const TMetafile &picture, QPainter &canvas, const QRect &rect);
// Replaces a picture's content with a copy of another's, raising its change notification.
void AssignPagePicture(TMetafile &dest, const TMetafile &source);
// Draws an image file's JPEG or PNG bytes so that a page picture keeps them encoded.
void DrawEncodedImage(QPainter &canvas, const QRect &rect, const QByteArray &bytes, QSize pixels);

