#pragma once

#include <QImage>
#include <QRgb>

#include <optional>

// Turns an image to gray in place: each pixel becomes
//   (30 R + 59 G + 11 B) (contrast + 100) / 10000 + (255 brightness - 128 (contrast + 100)) / 100 + 128
// clamped to 0..255 in all three channels, with brightness and contrast in -100..100; with both
// 0 this is the plain luminance. Pixels of the transparent colour, when one is given, are left
// out and become fully transparent, so that drawing the image leaves them unpainted.
// The image ends up as ARGB32 (premultiplied is avoided so colours compare exactly).
void ConvertToGrayscale(QImage &image, int brightness, int contrast, std::optional<QRgb> transparent = std::nullopt);

// The gray value of one pixel by the formula above.
int GrayValue(int red, int green, int blue, int brightness, int contrast);
