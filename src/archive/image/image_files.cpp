#include "image_files.h"

#include "archive/store_paths.h"

#include <QFileInfo>
#include <QImageReader>

#include <cstring>

namespace {

QString Upper_Extension(const QString &path)
{
    const QString name = Name_Part(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot).toUpper();
}

} // namespace

bool Is_Image_File(const QString &path)
{
    static const QStringList extensions = {
        QStringLiteral(".BMP"), QStringLiteral(".GIF"), QStringLiteral(".PNG"),  QStringLiteral(".JPG"),
        QStringLiteral(".JPEG"), QStringLiteral(".TIF"), QStringLiteral(".TIFF"), QStringLiteral(".EMF"),
    };
    return extensions.contains(Upper_Extension(path));
}

bool Load_Image_Frames(const QString &path, QList<QImage> &bitmaps)
{
    QImageReader reader(To_Native_Path(path));
    if (!reader.canRead())
        return false;
    // Only page-holding formats (TIFF) count as several pages; the frames of an
    // animation are moments of one picture, so an animated file gives its first frame.
    const int count = reader.supportsAnimation() ? 1 : qMax(1, reader.imageCount());
    QList<QImage> frames;
    frames.reserve(count);
    bool any = false;
    for (int i = 0; i < count; ++i) {
        // read() stays on the current frame; the next one has to be selected explicitly.
        if (i > 0 && !reader.jumpToNextImage()) {
            frames.resize(count);
            break;
        }
        QImage frame;
        if (reader.read(&frame))
            any = true;
        frames.append(frame);
    }
    bitmaps = frames;
    return any;
}

void Load_Picture(QImage &bitmap, const QString &path)
{
    if (path.isEmpty())
        return;
    const QFileInfo info(To_Native_Path(path));
    if (!info.isFile())
        return;
    // Metafiles (EMF) are drawings, not bitmaps: no decoder here reads them, so they
    // leave bitmap as it was, like any other file that cannot be decoded.
    QImageReader reader(info.absoluteFilePath());
    QImage picture;
    if (reader.read(&picture))
        bitmap = picture;
}

void Rotate_Quarter_Turn(const QImage &source, QImage &dest)
{
    if (source.isNull())
        return;
    QImage src = source;
    if (src.depth() < 8)
        src = src.convertToFormat(QImage::Format_Indexed8);
    if (src.isNull() || src.depth() % 8 != 0)
        return;

    const int w = src.width();
    const int h = src.height();
    const int bytes = src.depth() / 8;
    QImage result(h, w, src.format());
    if (result.isNull())
        return;
    result.setColorTable(src.colorTable());
    result.setDotsPerMeterX(src.dotsPerMeterY());
    result.setDotsPerMeterY(src.dotsPerMeterX());
    // The source's top edge becomes the left edge: dest(x, y) = source(w - 1 - y, x).
    for (int y = 0; y < w; ++y) {
        uchar *line = result.scanLine(y);
        const int column = (w - 1 - y) * bytes;
        for (int x = 0; x < h; ++x)
            std::memcpy(line + x * bytes, src.constScanLine(x) + column, bytes);
    }
    dest = result;
}
