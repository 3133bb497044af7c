#include "preview/gray_conversion.h"

#include <QtGlobal>

int GrayValue(int red, int green, int blue, int brightness, int contrast)
{
    const int luminance = 30 * red + 59 * green + 11 * blue;
    const int gray = luminance * (contrast + 100) / 10000 + (255 * brightness - 128 * (contrast + 100)) / 100 + 128;
    return qBound(0, gray, 255);
}

void ConvertToGrayscale(QImage &image, int brightness, int contrast, std::optional<QRgb> transparent)
{
    if (image.isNull())
        return;
    brightness = qBound(-100, brightness, 100);
    contrast = qBound(-100, contrast, 100);
    if (image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent ? (*transparent | 0xff000000u) : 0;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            if (transparent && (pixel | 0xff000000u) == key) {
                line[x] = 0;
                continue;
            }
            const int gray = GrayValue(qRed(pixel), qGreen(pixel), qBlue(pixel), brightness, contrast);
            line[x] = qRgba(gray, gray, gray, qAlpha(pixel));
        }
    }
}
