#pragma once

#include <QByteArray>
#include <QFont>
#include <QPaintEngine>
#include <QPen>
#include <QBrush>
#include <QRect>
#include <QTransform>

#include <vector>

class TMetafile;

// Turns QPainter calls on a TMetafile into enhanced-metafile records. Pens, brushes,
// fonts and the transform are written only when a drawing call needs them changed.
class TMetafilePaintEngine : public QPaintEngine
{
public:
    TMetafilePaintEngine();

    bool begin(QPaintDevice *device) override;
    bool end() override;
    void updateState(const QPaintEngineState &state) override;
    void drawRects(const QRectF *rects, int rectCount) override;
    void drawLines(const QLineF *lines, int lineCount) override;
    void drawEllipse(const QRectF &rect) override;
    void drawPath(const QPainterPath &path) override;
    void drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr) override;
    void drawImage(const QRectF &r, const QImage &image, const QRectF &sr,
                   Qt::ImageConversionFlags flags = Qt::AutoColor) override;
    void drawTextItem(const QPointF &p, const QTextItem &textItem) override;
    Type type() const override { return Type(User + 17); }

    // The next drawImage of the image with this key records these file bytes instead.
    void ExpectEncodedImage(qint64 key, const QByteArray &bytes, quint32 compression, QSize pixels);
    bool TookEncodedImage();

private:
    void Emit(QByteArray record);
    void FlushTransform();
    void UsePen();
    void UseBrush();
    void UseFont(const QFont &font);
    void UseTextColor(const QColor &color);
    void UseFillMode(Qt::FillRule rule);
    int NewHandle();
    void Replace(int &slot, int handle);
    void SelectStock(int &slot, quint32 stock);
    void WritePath(const QPainterPath &path);
    void ApplyClip(Qt::ClipOperation op, const QPainterPath &path);
    void ResetClip();
    void WriteBitmap(const QRectF &r, const QImage &image, const QRectF &sr);
    void WriteEncoded(const QRectF &r);
    QRect DeviceBounds(const QRectF &logical, qreal grow = 0) const;
    void Touch(const QRect &deviceRect);

    TMetafile *FPicture = nullptr;
    QByteArray FRecords;
    int FRecordCount = 0;
    QRect FBounds;

    QTransform FMatrix;            // combined transform of the painter, logical to pixels
    bool FTransformDirty = true;
    bool FAnisotropic = false;
    QRect FWindow, FViewport;
    QTransform FWorld;

    QPen FPen;
    QBrush FBrush;
    QPen FWrittenPen;
    QBrush FWrittenBrush;
    QFont FWrittenFont;
    QColor FWrittenTextColor;
    int FFillMode = 0;
    bool FPenWritten = false, FBrushWritten = false, FFontWritten = false;
    int FPenHandle = 0, FBrushHandle = 0, FFontHandle = 0;
    std::vector<bool> FHandles{true}; // index 0 is the picture itself
    int FMaxHandles = 1;

    qint64 FEncodedKey = 0;
    QByteArray FEncodedBytes;
    quint32 FEncodedCompression = 0;
    QSize FEncodedPixels;
    bool FEncodedTaken = false;
};
