#pragma once

#include <QByteArray>
#include <QList>
#include <QPaintDevice>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class QIODevice;
class QPainter;
class TMetafilePaintEngine;

// A bitmap of a picture that keeps the bytes of its source file (JPEG or PNG).
struct TEncodedImage
{
    enum Format { Jpeg, Png };
    Format ImageFormat = Jpeg;
    QByteArray Bytes;   // the file's bytes, unchanged
    QSize Pixels;       // the image's own size in pixels
    QRectF Target;      // where it is drawn, in the picture's logical units at that point
};

// One recorded page: a picture of a given size that records QPainter drawing as
// enhanced-metafile records, plays onto any painter and is stored as an EMF file.
//
// Size: the picture is PixelSize() pixels of a reference device of DpiX() x DpiY()
// dots per inch; its frame (the EMF frame) is that size in 0.01 mm. A painter opened on
// it draws in those pixels until it maps its own window (QPainter::setWindow/setViewport),
// which is recorded as the anisotropic mapping mode with window and viewport extents;
// that is how pages are drawn in page units. Coordinates are kept as whole logical units,
// as the file format holds them, so draw in fine units (0.01 mm, or pixels).
//
// Fonts given in points are sized by the logical resolution (SetLogicalDpi, by default
// the reference resolution): with a window in 0.01 mm set it to 2540 so that 10 pt text
// is 10 pt high on the page.
//
// Opening a painter starts a new recording; ending it replaces the content and raises
// the change notification. Errors (damaged files, write failures) raise TError.
class TMetafile : public QPaintDevice
{
public:
    TMetafile();
    explicit TMetafile(QSize pixels, qreal dpiX = 96, qreal dpiY = 96);
    ~TMetafile() override;
    TMetafile(const TMetafile &) = delete;
    TMetafile &operator=(const TMetafile &) = delete;

    // Size of the picture; keeps the content.
    void SetSize(QSize pixels, qreal dpiX, qreal dpiY);
    QSize PixelSize() const { return FPixels; }
    int Width() const { return FPixels.width(); }
    int Height() const { return FPixels.height(); }
    qreal DpiX() const { return FDpiX; }
    qreal DpiY() const { return FDpiY; }
    // The frame in 0.01 mm.
    QSize SizeHiMetric() const;

    // Resolution QPainter sizes point fonts by while recording (0: the reference one).
    void SetLogicalDpi(qreal dpiX, qreal dpiY);

    // Creator and description texts stored in the file's header.
    void SetDescription(const QString &creator, const QString &description);
    QString Creator() const { return FCreator; }
    QString Description() const { return FDescription; }

    bool IsEmpty() const { return FRecords.isEmpty(); }
    // Records of the file including header and end record.
    int RecordCount() const { return FRecordCount + 2; }
    // Byte length of the file SaveToStream writes.
    qint64 ByteSize() const;
    // Bounds of the drawing in reference pixels (empty when nothing is drawn).
    QRect Bounds() const { return FBounds; }

    void Clear();
    // Deep copy of content, size and texts; raises the change notification.
    void Assign(const TMetafile &source);

    // Writes one EMF file at the stream's position.
    void SaveToStream(QIODevice &stream) const;
    QByteArray SaveToBytes() const;
    // Reads exactly one EMF file from the stream's position, its length taken from its
    // header. A damaged or truncated file raises TError and leaves the picture unchanged.
    void LoadFromStream(QIODevice &stream);
    void LoadFromBytes(const QByteArray &bytes);

    // Plays the picture stretched into target (in the painter's current coordinates).
    // The painter's state is left as it was.
    void Play(QPainter *painter, const QRectF &target) const;

    // The JPEG and PNG bitmaps held with their files' bytes, in drawing order.
    QList<TEncodedImage> EncodedImages() const;

    // Called after every change of content (recording ended, Assign, load, clear).
    void SetOnChange(std::function<void()> handler) { FOnChange = std::move(handler); }

    // Draws an image file's bytes into target. On a painter that records into a picture
    // the bytes themselves are recorded (BI_JPEG / BI_PNG), otherwise the image is decoded
    // and drawn. pixels may be empty; it is then read from the bytes. Returns false when
    // the bytes are neither JPEG nor PNG (or cannot be decoded) and nothing was drawn.
    static bool DrawEncodedImage(QPainter &painter, const QRectF &target,
                                 const QByteArray &encoded, QSize pixels = {});

    QPaintEngine *paintEngine() const override;

    // The raw records between header and end record (for the writer and tests).
    const QByteArray &RecordBytes() const { return FRecords; }
    // Content stamp, changed with every change of content.
    quint64 Serial() const { return FSerial; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    friend class TMetafilePaintEngine;
    void CommitRecording(QByteArray records, int recordCount, int handles, QRect bounds);
    void Changed();

    QSize FPixels;
    qreal FDpiX = 96;
    qreal FDpiY = 96;
    qreal FLogicalDpiX = 0;
    qreal FLogicalDpiY = 0;
    QString FCreator;
    QString FDescription;
    QByteArray FRecords;
    int FRecordCount = 0;
    int FHandles = 1;
    QRect FBounds;
    // header fields kept as read, so that a loaded picture is written back unchanged
    QRect FFrame;
    QSize FDevicePixels, FDeviceMillimeters, FDeviceMicrometers;
    quint64 FSerial = 0;
    std::function<void()> FOnChange;
    mutable std::unique_ptr<TMetafilePaintEngine> FEngine;
};
