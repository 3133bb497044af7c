#include "preview/metafile.h"

#include "markup/terror.h"
#include "preview/emf_player_p.h"
#include "preview/emf_stream.h"
#include "preview/metafile_engine_p.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <atomic>
#include <cmath>

namespace {

std::atomic<quint64> g_serial{0};

// Largest picture file accepted; a scan page is a few MiB, so this only stops a damaged
// length from asking for an absurd buffer.
constexpr quint32 Max_Picture_Bytes = 1u << 30;

[[noreturn]] void Damaged(const QString &why)
{
    throw TError(QStringLiteral("The page picture is damaged: %1").arg(why));
}

} // namespace

TMetafile::TMetafile() : TMetafile(QSize(0, 0)) {}

TMetafile::TMetafile(QSize pixels, qreal dpiX, qreal dpiY)
{
    FSerial = ++g_serial;
    SetSize(pixels, dpiX, dpiY);
}

TMetafile::~TMetafile() = default;

void TMetafile::SetSize(QSize pixels, qreal dpiX, qreal dpiY)
{
    FPixels = QSize(qMax(0, pixels.width()), qMax(0, pixels.height()));
    FDpiX = dpiX > 0 ? dpiX : 96;
    FDpiY = dpiY > 0 ? dpiY : 96;
    const QSize hi = SizeHiMetric();
    FFrame = QRect(0, 0, hi.width(), hi.height()); // QRect's right() is inclusive, as in the file
    FDevicePixels = FPixels;
    FDeviceMillimeters = QSize(qRound(FPixels.width() * 25.4 / FDpiX), qRound(FPixels.height() * 25.4 / FDpiY));
    FDeviceMicrometers = QSize(qRound(FPixels.width() * 25400.0 / FDpiX), qRound(FPixels.height() * 25400.0 / FDpiY));
}

QSize TMetafile::SizeHiMetric() const
{
    return QSize(qRound(FPixels.width() * 2540.0 / FDpiX), qRound(FPixels.height() * 2540.0 / FDpiY));
}

void TMetafile::SetLogicalDpi(qreal dpiX, qreal dpiY)
{
    FLogicalDpiX = dpiX;
    FLogicalDpiY = dpiY;
}

void TMetafile::SetDescription(const QString &creator, const QString &description)
{
    FCreator = creator;
    FDescription = description;
}

int TMetafile::metric(PaintDeviceMetric m) const
{
    const qreal lx = FLogicalDpiX > 0 ? FLogicalDpiX : FDpiX;
    const qreal ly = FLogicalDpiY > 0 ? FLogicalDpiY : FDpiY;
    switch (m) {
    case PdmWidth: return FPixels.width();
    case PdmHeight: return FPixels.height();
    case PdmWidthMM: return qRound(FPixels.width() * 25.4 / FDpiX);
    case PdmHeightMM: return qRound(FPixels.height() * 25.4 / FDpiY);
    case PdmNumColors: return INT_MAX;
    case PdmDepth: return 32;
    case PdmDpiX: return qRound(lx);
    case PdmDpiY: return qRound(ly);
    case PdmPhysicalDpiX: return qRound(FDpiX);
    case PdmPhysicalDpiY: return qRound(FDpiY);
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
    }
    return 0;
}

QPaintEngine *TMetafile::paintEngine() const
{
    if (!FEngine)
        FEngine = std::make_unique<TMetafilePaintEngine>();
    return FEngine.get();
}

void TMetafile::Changed()
{
    FSerial = ++g_serial;
    if (FOnChange)
        FOnChange();
}

void TMetafile::CommitRecording(QByteArray records, int recordCount, int handles, QRect bounds)
{
    FRecords = std::move(records);
    FRecordCount = recordCount;
    FHandles = handles;
    FBounds = bounds;
    Changed();
}

void TMetafile::Clear()
{
    FRecords.clear();
    FRecordCount = 0;
    FHandles = 1;
    FBounds = QRect();
    Changed();
}

void TMetafile::Assign(const TMetafile &source)
{
    if (&source == this)
        return;
    FPixels = source.FPixels;
    FDpiX = source.FDpiX;
    FDpiY = source.FDpiY;
    FLogicalDpiX = source.FLogicalDpiX;
    FLogicalDpiY = source.FLogicalDpiY;
    FCreator = source.FCreator;
    FDescription = source.FDescription;
    FRecords = source.FRecords; // shared until either side changes; a value copy
    FRecordCount = source.FRecordCount;
    FHandles = source.FHandles;
    FBounds = source.FBounds;
    FFrame = source.FFrame;
    FDevicePixels = source.FDevicePixels;
    FDeviceMillimeters = source.FDeviceMillimeters;
    FDeviceMicrometers = source.FDeviceMicrometers;
    Changed();
}

static Emf::THeader Header_Of(const TMetafile &m, QRect bounds, QRect frame, QSize px, QSize mm, QSize um,
                              int records, int handles, qint64 bytes)
{
    Emf::THeader h;
    h.Bounds = bounds.isValid() ? bounds : QRect(QPoint(0, 0), QPoint(-1, -1));
    h.Frame = frame;
    h.Records = quint32(records);
    h.Handles = quint16(qBound(1, handles, 0xFFFF));
    h.DevicePixels = px;
    h.DeviceMillimeters = mm;
    h.DeviceMicrometers = um;
    h.Creator = m.Creator();
    h.Description = m.Description();
    h.Bytes = quint32(bytes);
    return h;
}

qint64 TMetafile::ByteSize() const
{
    const Emf::THeader h = Header_Of(*this, FBounds, FFrame, FDevicePixels, FDeviceMillimeters,
                                     FDeviceMicrometers, RecordCount(), FHandles, 0);
    return Emf::Header_Record(h).size() + FRecords.size() + Emf::EofSize;
}

QByteArray TMetafile::SaveToBytes() const
{
    Emf::THeader h = Header_Of(*this, FBounds, FFrame, FDevicePixels, FDeviceMillimeters,
                               FDeviceMicrometers, RecordCount(), FHandles, 0);
    const qint64 headerSize = Emf::Header_Record(h).size();
    h.Bytes = quint32(headerSize + FRecords.size() + Emf::EofSize);
    QByteArray out = Emf::Header_Record(h);
    out.reserve(h.Bytes);
    out.append(FRecords);
    out.append(Emf::Eof_Record());
    return out;
}

void TMetafile::SaveToStream(QIODevice &stream) const
{
    Emf::THeader h = Header_Of(*this, FBounds, FFrame, FDevicePixels, FDeviceMillimeters,
                               FDeviceMicrometers, RecordCount(), FHandles, 0);
    const qint64 headerSize = Emf::Header_Record(h).size();
    h.Bytes = quint32(headerSize + FRecords.size() + Emf::EofSize);
    const QByteArray header = Emf::Header_Record(h);
    const QByteArray eof = Emf::Eof_Record();
    if (stream.write(header) != header.size() || stream.write(FRecords) != FRecords.size()
        || stream.write(eof) != eof.size())
        throw TError(QStringLiteral("Stream write error"));
}

void TMetafile::LoadFromBytes(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    LoadFromStream(buffer);
}

// Checks the offsets inside the records we read, so that playing never needs to give up
// half way through a damaged bitmap or text.
static void Check_Record(Emf::TRecordReader &r, qint64 at)
{
    const auto where = [at](const char *what) {
        return QStringLiteral("%1 at byte %2").arg(QLatin1String(what)).arg(at);
    };
    const auto span = [&](qsizetype offField, qsizetype cbField, const char *what) {
        const quint32 off = r.U32(offField), cb = r.U32(cbField);
        if (r.Failed() || (cb != 0 && !r.Fits(off, cb)))
            Damaged(where(what));
    };
    switch (r.Type()) {
    case Emf::STRETCHDIBITS:
        if (r.Size() < 80) Damaged(where("short bitmap record"));
        span(48, 52, "bitmap header outside its record");
        span(56, 60, "bitmap bits outside their record");
        break;
    case Emf::BITBLT:
    case Emf::STRETCHBLT:
    case Emf::ALPHABLEND: {
        const qsizetype base = 84; // the same layout up to the source bits in all three
        if (r.Size() < (r.Type() == Emf::BITBLT ? 100 : 108)) Damaged(where("short bitmap record"));
        span(base, base + 4, "bitmap header outside its record");
        span(base + 8, base + 12, "bitmap bits outside their record");
        break;
    }
    case Emf::EXTTEXTOUTW: {
        if (r.Size() < 76) Damaged(where("short text record"));
        const quint32 n = r.U32(44);
        if (!r.Fits(r.U32(48), qint64(n) * 2)) Damaged(where("text outside its record"));
        const quint32 offDx = r.U32(72);
        if (offDx != 0 && !r.Fits(offDx, qint64(n) * 4)) Damaged(where("character spacing outside its record"));
        break;
    }
    case Emf::POLYGON: case Emf::POLYLINE: case Emf::POLYBEZIER: case Emf::POLYBEZIERTO: case Emf::POLYLINETO:
        if (!r.Fits(28, qint64(r.U32(24)) * 8)) Damaged(where("points outside their record"));
        break;
    case Emf::POLYGON16: case Emf::POLYLINE16: case Emf::POLYBEZIER16: case Emf::POLYBEZIERTO16: case Emf::POLYLINETO16:
        if (!r.Fits(28, qint64(r.U32(24)) * 4)) Damaged(where("points outside their record"));
        break;
    case Emf::POLYPOLYGON: case Emf::POLYPOLYLINE: case Emf::POLYPOLYGON16: case Emf::POLYPOLYLINE16: {
        const bool small = r.Type() == Emf::POLYPOLYGON16 || r.Type() == Emf::POLYPOLYLINE16;
        const qint64 polys = r.U32(24), points = r.U32(28);
        if (!r.Fits(32, polys * 4 + points * (small ? 4 : 8))) Damaged(where("points outside their record"));
        break;
    }
    default:
        break;
    }
}

void TMetafile::LoadFromStream(QIODevice &stream)
{
    QByteArray bytes = stream.read(88);
    if (bytes.isEmpty())
        throw TError(QStringLiteral("The page picture is missing: the stream ends before it"));
    if (bytes.size() < 88)
        throw TError(QStringLiteral("The page picture is truncated"));
    const Emf::THeader probe = Emf::Parse_Header(bytes);
    if (probe.Bytes < probe.HeaderLength + Emf::EofSize || probe.Bytes % 4 != 0 || probe.Bytes > Max_Picture_Bytes)
        Damaged(QStringLiteral("impossible length %1").arg(probe.Bytes));
    if (!stream.isSequential() && stream.size() - stream.pos() < qint64(probe.Bytes) - 88)
        throw TError(QStringLiteral("The page picture is truncated"));
    const qint64 rest = qint64(probe.Bytes) - 88;
    // read in steps so that a sequential stream that ends early never costs the full length
    while (bytes.size() < qint64(probe.Bytes)) {
        const QByteArray chunk = stream.read(qMin<qint64>(rest - (bytes.size() - 88), 1 << 20));
        if (chunk.isEmpty())
            throw TError(QStringLiteral("The page picture is truncated"));
        bytes.append(chunk);
    }
    const Emf::THeader h = Emf::Parse_Header(bytes);

    // walk the records: each must lie inside the file, the last one is the end record
    qint64 at = h.HeaderLength;
    int count = 0;
    bool ended = false;
    while (at < bytes.size()) {
        if (bytes.size() - at < 8)
            Damaged(QStringLiteral("record at byte %1 cut off").arg(at));
        Emf::TRecordReader r(bytes.constData() + at, bytes.size() - at);
        const quint32 size = r.U32(4);
        if (size < 8 || size % 4 != 0 || size > bytes.size() - at)
            Damaged(QStringLiteral("record at byte %1 has size %2").arg(at).arg(size));
        Emf::TRecordReader record(bytes.constData() + at, size);
        if (record.Type() == Emf::EOF_) {
            ended = at + size == bytes.size();
            if (!ended)
                Damaged(QStringLiteral("end record at byte %1 before the end").arg(at));
            break;
        }
        if (record.Type() == Emf::HEADER)
            Damaged(QStringLiteral("second header at byte %1").arg(at));
        Check_Record(record, at);
        ++count;
        at += size;
    }
    if (!ended)
        Damaged(QStringLiteral("no end record"));

    FRecords = bytes.mid(h.HeaderLength, at - h.HeaderLength);
    FRecordCount = count;
    FHandles = h.Handles;
    FBounds = h.Bounds.isValid() ? h.Bounds : QRect();
    FFrame = h.Frame;
    FDevicePixels = h.DevicePixels;
    FDeviceMillimeters = h.DeviceMillimeters;
    FDeviceMicrometers = h.DeviceMicrometers;
    FCreator = h.Creator;
    FDescription = h.Description;
    // reference resolution from the device the picture was made for
    const auto dpi = [](int px, int um, int mm) {
        if (px > 0 && um > 0) return px * 25400.0 / um;
        if (px > 0 && mm > 0) return px * 25.4 / mm;
        return 96.0;
    };
    FDpiX = dpi(h.DevicePixels.width(), h.DeviceMicrometers.width(), h.DeviceMillimeters.width());
    FDpiY = dpi(h.DevicePixels.height(), h.DeviceMicrometers.height(), h.DeviceMillimeters.height());
    const qint64 fw = qint64(h.Frame.right()) - h.Frame.left() + 1;
    const qint64 fh = qint64(h.Frame.bottom()) - h.Frame.top() + 1;
    FPixels = QSize(int(qBound<qint64>(qint64(0), qint64(std::llround(fw * FDpiX / 2540.0)), qint64(1 << 20))),
                    int(qBound<qint64>(qint64(0), qint64(std::llround(fh * FDpiY / 2540.0)), qint64(1 << 20))));
    Changed();
}

void TMetafile::Play(QPainter *painter, const QRectF &target) const
{
    if (!painter || !painter->isActive() || target.isEmpty())
        return;
    // the frame in reference pixels is what is stretched into the target
    const QRectF frame(FFrame.left() * FDpiX / 2540.0, FFrame.top() * FDpiY / 2540.0,
                       (qint64(FFrame.right()) - FFrame.left() + 1) * FDpiX / 2540.0,
                       (qint64(FFrame.bottom()) - FFrame.top() + 1) * FDpiY / 2540.0);
    if (frame.width() <= 0 || frame.height() <= 0)
        return;
    TEmfPlayer player(painter, target, frame, FDpiX, FDpiY, FSerial);
    player.Play(FRecords);
}

QList<TEncodedImage> TMetafile::EncodedImages() const
{
    QList<TEncodedImage> out;
    qint64 at = 0;
    while (at + 8 <= FRecords.size()) {
        Emf::TRecordReader r(FRecords.constData() + at, FRecords.size() - at);
        const quint32 size = r.U32(4);
        if (size < 8 || size > FRecords.size() - at)
            break;
        Emf::TRecordReader rec(FRecords.constData() + at, size);
        if (rec.Type() == Emf::STRETCHDIBITS && size >= 80) {
            const quint32 offBmi = rec.U32(48), offBits = rec.U32(56), cbBits = rec.U32(60);
            const quint32 compression = rec.U32(offBmi + 16);
            if (!rec.Failed() && (compression == Emf::BI_JPEG || compression == Emf::BI_PNG)
                && rec.Fits(offBits, cbBits)) {
                TEncodedImage image;
                image.ImageFormat = compression == Emf::BI_JPEG ? TEncodedImage::Jpeg : TEncodedImage::Png;
                image.Bytes = rec.Slice(offBits, cbBits);
                image.Pixels = QSize(rec.I32(offBmi + 4), int(qMin<qint64>(std::abs(qint64(rec.I32(offBmi + 8))), INT_MAX)));
                image.Target = QRectF(rec.I32(24), rec.I32(28), rec.I32(72), rec.I32(76));
                out.append(image);
            }
        }
        at += size;
    }
    return out;
}

bool TMetafile::DrawEncodedImage(QPainter &painter, const QRectF &target, const QByteArray &encoded, QSize pixels)
{
    const bool jpeg = encoded.startsWith("\xFF\xD8\xFF");
    const bool png = encoded.startsWith("\x89PNG\r\n\x1A\n");
    if (!jpeg && !png)
        return false;
    if (pixels.isEmpty()) {
        QBuffer buffer;
        buffer.setData(encoded);
        buffer.open(QIODevice::ReadOnly);
        pixels = QImageReader(&buffer).size();
        if (pixels.isEmpty())
            return false;
    }
    if (auto *engine = dynamic_cast<TMetafilePaintEngine *>(painter.paintEngine())) {
        // A stand-in image carries the painter's pending state to the engine, which
        // records the file's bytes in its place.
        QImage token(1, 1, QImage::Format_RGB32);
        engine->ExpectEncodedImage(token.cacheKey(), encoded, jpeg ? Emf::BI_JPEG : Emf::BI_PNG, pixels);
        painter.drawImage(target, token, QRectF(0, 0, 1, 1));
        return engine->TookEncodedImage();
    }
    QImage image;
    if (!image.loadFromData(encoded))
        return false;
    painter.drawImage(target, image);
    return true;
}
