#pragma once

#include <QImage>
#include <QList>
#include <QString>

// Decoding of attached image files into page bitmaps.
bool Is_Image_File(const QString &path);
// Every frame of a multi-page image (TIFF); false when the file cannot be decoded.
bool Load_Image_Frames(const QString &path, QList<QImage> &bitmaps);
// A single picture; bitmap is left unchanged for a missing or undecodable file.
void Load_Picture(QImage &bitmap, const QString &path);
// dest becomes source turned a quarter turn counter-clockwise.
void Rotate_Quarter_Turn(const QImage &source, QImage &dest);
