#include "preview/emf_player_p.h"

#include "preview/emf_stream.h"

#include <QBuffer>
#include <QCache>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPainter>

#include <cmath>
#include <cstring>

using Emf::TRecordReader;

namespace {

QColor FromColorRef(quint32 c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

// Decoded JPEG and PNG bitmaps, kept only while they are shown again and again at the
// same size (repaints, scrolling); bounded by bytes.
struct TDecodedKey {
    quint64 Serial; qint64 At; int W; int H;
    bool operator==(const TDecodedKey &o) const { return Serial == o.Serial && At == o.At && W == o.W && H == o.H; }
};
size_t qHash(const TDecodedKey &k, size_t seed = 0) { return ::qHash(k.Serial, seed) ^ ::qHash(k.At) ^ ::qHash((quint64(quint32(k.W)) << 32) | quint32(k.H)); }

QCache<TDecodedKey, QImage> &Decoded()
{
    static QCache<TDecodedKey, QImage> cache(64 * 1024); // cost in KiB
    return cache;
}

constexpr qint64 Max_Pixels = qint64(1) << 28;

} // namespace

QImage Decode_Dib(const QByteArray &info, const QByteArray &bits, bool premultipliedAlpha)
{
    TRecordReader h(info.constData(), info.size());
    const quint32 headerSize = h.U32(0);
    if (h.Failed() || headerSize < 40 || headerSize > quint32(info.size()))
        return {};
    const qint32 width = h.I32(4), height = h.I32(8);
    const int bitCount = h.U32(12) >> 16;
    const quint32 compression = h.U32(16);
    if (width <= 0 || height == 0 || height == INT_MIN || qint64(width) * std::abs(height) > Max_Pixels)
        return {};
    const int rows = std::abs(height);
    const qint64 stride = ((qint64(width) * bitCount + 31) / 32) * 4;
    if (compression != Emf::BI_RGB && !(compression == Emf::BI_BITFIELDS && (bitCount == 16 || bitCount == 32)))
        return {};
    if (stride * rows > bits.size())
        return {};
    QList<QRgb> palette;
    if (bitCount <= 8) {
        quint32 used = h.U32(32);
        if (used == 0 || used > (1u << bitCount)) used = 1u << bitCount;
        for (quint32 i = 0; i < used; ++i) {
            const quint32 c = h.U32(headerSize + 4 * i);
            palette.append(qRgb(int((c >> 16) & 0xFF), int((c >> 8) & 0xFF), int(c & 0xFF)));
        }
        if (h.Failed())
            palette.resize(qsizetype(used), qRgb(0, 0, 0));
    }
    quint32 masks[3] = {0x7C00, 0x3E0, 0x1F};
    if (bitCount == 32) { masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF; }
    if (compression == Emf::BI_BITFIELDS) {
        TRecordReader m(info.constData(), info.size());
        for (int i = 0; i < 3; ++i) masks[i] = m.U32(40 + 4 * i);
        if (m.Failed()) return {};
    }
    QImage image;
    const uchar *data = reinterpret_cast<const uchar *>(bits.constData());
    const auto row = [&](int y) { return data + (height < 0 ? y : rows - 1 - y) * stride; };
    // rows of 1, 8 and 32 bits per pixel are QImage rows already: copied a row at a time
    if (bitCount == 1 || bitCount == 8 || (bitCount == 32 && compression == Emf::BI_RGB)) {
        const QImage::Format format = bitCount == 1 ? QImage::Format_Mono : bitCount == 8 ? QImage::Format_Indexed8
            : premultipliedAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
        image = QImage(width, rows, format);
        if (image.isNull()) return {};
        if (bitCount <= 8) {
            palette.resize(qMax<qsizetype>(palette.size(), 1 << bitCount), qRgb(0, 0, 0));
            image.setColorTable(palette);
        }
        const qsizetype length = qMin<qsizetype>(image.bytesPerLine(), stride);
        for (int y = 0; y < rows; ++y)
            std::memcpy(image.scanLine(y), row(y), size_t(length));
        if (bitCount == 32 && !premultipliedAlpha) // the fourth byte is unused in a DIB; RGB32 wants it 0xFF
            for (int y = 0; y < rows; ++y) {
                QRgb *d = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < width; ++x) d[x] |= 0xFF000000u;
            }
        return image;
    }
    switch (bitCount) {
    case 1: case 4: case 8: {
        image = QImage(width, rows, QImage::Format_Indexed8);
        if (image.isNull()) return {};
        image.setColorTable(palette);
        const int top = int(palette.size()) - 1;
        for (int y = 0; y < rows; ++y) {
            const uchar *s = row(y);
            uchar *d = image.scanLine(y);
            for (int x = 0; x < width; ++x) {
                int v = bitCount == 8 ? s[x] : bitCount == 4 ? (s[x / 2] >> (x % 2 ? 0 : 4)) & 0xF : (s[x / 8] >> (7 - x % 8)) & 1;
                d[x] = uchar(qMin(v, top));
            }
        }
        break;
    }
    case 16: case 24: case 32: {
        const bool alpha = bitCount == 32 && premultipliedAlpha;
        image = QImage(width, rows, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        if (image.isNull()) return {};
        const auto channel = [](quint32 v, quint32 mask) -> int {
            if (!mask) return 0;
            int shift = 0; while (!((mask >> shift) & 1)) ++shift;
            const quint32 max = mask >> shift;
            return int(((v & mask) >> shift) * 255 / max);
        };
        for (int y = 0; y < rows; ++y) {
            const uchar *s = row(y);
            QRgb *d = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                if (bitCount == 24) { d[x] = qRgb(s[3 * x + 2], s[3 * x + 1], s[3 * x]); continue; }
                const quint32 v = bitCount == 16 ? quint32(s[2 * x] | (s[2 * x + 1] << 8)) : qFromLittleEndian<quint32>(s + 4 * x);
                if (alpha) d[x] = v;
                else d[x] = qRgb(channel(v, masks[0]), channel(v, masks[1]), channel(v, masks[2]));
            }
        }
        break;
    }
    default:
        return {};
    }
    return image;
}

TEmfPlayer::TEmfPlayer(QPainter *painter, const QRectF &target, const QRectF &framePixels,
                       qreal dpiX, qreal dpiY, quint64 serial)
    : FPainter(painter), FTarget(target), FDpiX(dpiX), FDpiY(dpiY), FSerial(serial)
{
    FPainter->save();
    FOriginal = FPainter->transform();
    FHadClip = FPainter->hasClipping();
    if (FHadClip)
        FOriginalClip = FPainter->clipPath();
    const qreal sx = target.width() / framePixels.width();
    const qreal sy = target.height() / framePixels.height();
    FBase = QTransform(sx, 0, 0, sy, target.left() - framePixels.left() * sx, target.top() - framePixels.top() * sy) * FOriginal;
    ResetClip();
    FPainter->setBackgroundMode(Qt::TransparentMode);
}

TEmfPlayer::~TEmfPlayer()
{
    while (!FSaved.empty()) {
        FSaved.pop_back();
        FPainter->restore();
    }
    FPainter->restore();
}

void TEmfPlayer::ResetClip()
{
    FPainter->setTransform(FOriginal);
    if (FHadClip) FPainter->setClipPath(FOriginalClip);
    FPainter->setClipRect(FTarget, FHadClip ? Qt::IntersectClip : Qt::ReplaceClip);
    ApplyTransform();
}

QTransform TEmfPlayer::PageToDevice() const
{
    const TState &s = FState;
    qreal sx = 1, sy = 1;
    switch (s.MapMode) {
    case 2: sx = FDpiX / 254; sy = -FDpiY / 254; break;     // 0.1 mm
    case 3: sx = FDpiX / 2540; sy = -FDpiY / 2540; break;   // 0.01 mm
    case 4: sx = FDpiX / 100; sy = -FDpiY / 100; break;     // 0.01 inch
    case 5: sx = FDpiX / 1000; sy = -FDpiY / 1000; break;   // 0.001 inch
    case 6: sx = FDpiX / 1440; sy = -FDpiY / 1440; break;   // twips
    case 7: case 8:
        if (s.WindowExt.width() != 0 && s.WindowExt.height() != 0) {
            sx = s.ViewportExt.width() / s.WindowExt.width();
            sy = s.ViewportExt.height() / s.WindowExt.height();
            if (s.MapMode == 7) { // isotropic: the smaller scale both ways
                const qreal m = qMin(std::abs(sx), std::abs(sy));
                sx = std::copysign(m, sx); sy = std::copysign(m, sy);
            }
        }
        break;
    default: break;
    }
    return QTransform(sx, 0, 0, sy, s.ViewportOrg.x() - s.WindowOrg.x() * sx, s.ViewportOrg.y() - s.WindowOrg.y() * sy);
}

void TEmfPlayer::ApplyTransform()
{
    FPainter->setTransform(FState.World * PageToDevice() * FBase);
}

void TEmfPlayer::Play(const QByteArray &records)
{
    qint64 at = 0;
    while (at + 8 <= records.size()) {
        TRecordReader head(records.constData() + at, records.size() - at);
        const quint32 size = head.U32(4);
        if (size < 8 || size > records.size() - at)
            break;
        TRecordReader r(records.constData() + at, size);
        Record(r, at);
        at += (size + 3) & ~3u;
    }
}

void TEmfPlayer::Select(quint32 handle)
{
    if (handle & Emf::StockObject) {
        switch (handle & 0xFF) {
        case 0: FState.Brush = QBrush(Qt::white); break;
        case 1: FState.Brush = QBrush(QColor(192, 192, 192)); break;
        case 2: FState.Brush = QBrush(QColor(128, 128, 128)); break;
        case 3: FState.Brush = QBrush(QColor(64, 64, 64)); break;
        case 4: FState.Brush = QBrush(Qt::black); break;
        case 5: FState.Brush = Qt::NoBrush; break;
        case 6: FState.Pen = QPen(Qt::white, 0); break;
        case 7: FState.Pen = QPen(Qt::black, 0); break;
        case 8: FState.Pen = Qt::NoPen; break;
        default: if ((handle & 0xFF) >= 10 && (handle & 0xFF) <= 17) FState.Font = TFontObject{}; break;
        }
        return;
    }
    const auto it = FObjects.find(handle);
    if (it == FObjects.end())
        return;
    if (auto *pen = std::get_if<QPen>(&it->second)) FState.Pen = *pen;
    else if (auto *brush = std::get_if<QBrush>(&it->second)) FState.Brush = *brush;
    else if (auto *font = std::get_if<TFontObject>(&it->second)) FState.Font = *font;
}

void TEmfPlayer::DrawShape(const QPainterPath &path, bool fill)
{
    if (FInPath) {
        FPath.addPath(path);
        return;
    }
    FPainter->setPen(FState.Pen);
    FPainter->setBrush(fill ? FState.Brush : QBrush(Qt::NoBrush));
    if (fill && FState.Brush.style() >= Qt::HorPattern && FState.Brush.style() <= Qt::DiagCrossPattern && FState.BkMode == Emf::OPAQUE) {
        FPainter->setBackgroundMode(Qt::OpaqueMode);
        FPainter->setBackground(FState.BkColor);
    }
    FPainter->drawPath(path);
    FPainter->setBackgroundMode(Qt::TransparentMode);
}

void TEmfPlayer::Points(TRecordReader &r, bool small, qsizetype at, quint32 count, QList<QPointF> &out)
{
    if (!r.Fits(at, qint64(count) * (small ? 4 : 8)))
        return;
    out.reserve(out.size() + count);
    for (quint32 i = 0; i < count; ++i) {
        if (small) out.append(QPointF(r.I16(at + 4 * i), r.I16(at + 4 * i + 2)));
        else out.append(QPointF(r.I32(at + 8 * i), r.I32(at + 8 * i + 4)));
    }
}

void TEmfPlayer::PolyRecord(TRecordReader &r, quint32 type)
{
    const bool small = type >= Emf::POLYBEZIER16 && type <= Emf::POLYLINETO16;
    const quint32 base = small ? type - Emf::POLYBEZIER16 + Emf::POLYBEZIER : type;
    QList<QPointF> pts;
    Points(r, small, 28, r.U32(24), pts);
    if (pts.isEmpty())
        return;
    QPainterPath path;
    switch (base) {
    case Emf::POLYGON:
        path.addPolygon(QPolygonF(pts)); path.closeSubpath(); path.setFillRule(FState.FillRule);
        DrawShape(path, true);
        return;
    case Emf::POLYLINE:
        path.addPolygon(QPolygonF(pts));
        DrawShape(path, false);
        return;
    case Emf::POLYBEZIER:
        path.moveTo(pts[0]);
        for (int i = 1; i + 2 < pts.size(); i += 3) path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
        DrawShape(path, false);
        return;
    case Emf::POLYLINETO:
    case Emf::POLYBEZIERTO: {
        if (!FInPath) path.moveTo(FState.Position);
        QPainterPath &target = FInPath ? FPath : path;
        if (target.elementCount() == 0) target.moveTo(FState.Position);
        if (base == Emf::POLYLINETO) {
            for (const QPointF &p : pts) target.lineTo(p);
            FState.Position = pts.last();
        } else {
            for (int i = 0; i + 2 < pts.size(); i += 3) target.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
            if (pts.size() >= 3) FState.Position = pts[(pts.size() / 3) * 3 - 1];
        }
        if (!FInPath) DrawShape(path, false);
        return;
    }
    }
}

void TEmfPlayer::PolyPolyRecord(TRecordReader &r, quint32 type)
{
    const bool small = type == Emf::POLYPOLYGON16 || type == Emf::POLYPOLYLINE16;
    const bool polygon = type == Emf::POLYPOLYGON || type == Emf::POLYPOLYGON16;
    const quint32 polys = r.U32(24), total = r.U32(28);
    if (!r.Fits(32, qint64(polys) * 4))
        return;
    QList<QPointF> pts;
    Points(r, small, 32 + 4 * qsizetype(polys), total, pts);
    if (pts.size() != qsizetype(total))
        return;
    QPainterPath path;
    path.setFillRule(FState.FillRule);
    qsizetype next = 0;
    for (quint32 i = 0; i < polys; ++i) {
        const quint32 n = r.U32(32 + 4 * i);
        if (n > quint32(pts.size() - next))
            return;
        path.addPolygon(QPolygonF(pts.mid(next, n)));
        if (polygon) path.closeSubpath();
        next += n;
    }
    DrawShape(path, polygon);
}

void TEmfPlayer::Clip(const QPainterPath &path, quint32 mode, bool deviceUnits)
{
    if (mode == Emf::RGN_COPY)
        ResetClip();
    if (deviceUnits)
        FPainter->setTransform(FBase);
    if (mode == Emf::RGN_COPY || mode == Emf::RGN_AND) {
        FPainter->setClipPath(path, Qt::IntersectClip);
    } else if (mode == 4) { // RGN_DIFF
        QPainterPath current = FPainter->clipPath();
        FPainter->setClipPath(current.subtracted(path), Qt::ReplaceClip);
    } else if (mode == 2) { // RGN_OR
        QPainterPath current = FPainter->clipPath();
        FPainter->setClipPath(current.united(path), Qt::ReplaceClip);
    }
    ApplyTransform();
}

void TEmfPlayer::Text(TRecordReader &r)
{
    const QPointF ref(r.I32(36), r.I32(40));
    const quint32 n = r.U32(44), offString = r.U32(48), options = r.U32(52), offDx = r.U32(72);
    const QRect opaque = r.Rect(56);
    if (r.Failed() || n == 0 || !r.Fits(offString, qint64(n) * 2))
        return;
    QString text(qsizetype(n), Qt::Uninitialized);
    for (quint32 i = 0; i < n; ++i) text[qsizetype(i)] = QChar(quint16(r.I16(offString + 2 * i)));
    qreal total = 0;
    if (offDx != 0 && r.Fits(offDx, qint64(n) * 4))
        for (quint32 i = 0; i < n; ++i) total += r.I32(offDx + 4 * i);
    if ((options & Emf::ETO_OPAQUE) && !opaque.isEmpty())
        FPainter->fillRect(QRectF(QPointF(opaque.left(), opaque.top()), QPointF(opaque.right(), opaque.bottom())), FState.BkColor);

    const QFont &font = FState.Font.Font;
    const QFontMetricsF metrics(font);
    const qreal natural = metrics.horizontalAdvance(text);
    const qreal sx = total > 0 && natural > 0 ? total / natural : 1;
    QPointF origin = (FState.TextAlign & 1) ? FState.Position : ref; // TA_UPDATECP
    const qreal width = natural * sx;
    FPainter->save();
    FPainter->translate(origin);
    const QTransform t = FPainter->transform();
    if (t.m22() * t.m11() - t.m12() * t.m21() < 0 || t.m22() < 0)
        FPainter->scale(1, -1); // text stays upright when the page's y axis points up
    if (FState.Font.Escapement)
        FPainter->rotate(-FState.Font.Escapement / 10.0);
    qreal x = 0, y = 0;
    const quint32 h = FState.TextAlign & 6, v = FState.TextAlign & 24;
    if (h == 2) x = -width; else if (h == 6) x = -width / 2;
    if (v == 8) y = -metrics.descent(); else if (v == 0) y = metrics.ascent();
    FPainter->translate(x, y);
    FPainter->scale(sx, 1);
    FPainter->setFont(font);
    FPainter->setPen(FState.TextColor);
    FPainter->setLayoutDirection(options & Emf::ETO_RTLREADING ? Qt::RightToLeft : Qt::LeftToRight);
    // Glyphs are cached as bitmaps at their size on the device; very large ones are drawn
    // as outlines, absurd ones (a damaged transform or spacing) not at all.
    const QTransform d = FPainter->transform();
    const qreal stretch = qMax(std::hypot(d.m11(), d.m12()), std::hypot(d.m21(), d.m22()));
    // Glyph bitmaps below a pixel or two are not drawn reliably either: outlines as well.
    const qreal onDevice = stretch * (font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize());
    if (std::isfinite(onDevice) && onDevice >= 2 && onDevice <= 1000) {
        FPainter->drawText(QPointF(0, 0), text);
    } else if (std::isfinite(onDevice) && onDevice <= 100000) {
        QPainterPath outline;
        outline.addText(QPointF(0, 0), font, text);
        FPainter->fillPath(outline, FState.TextColor);
    }
    FPainter->restore();
    if (FState.TextAlign & 1)
        FState.Position = origin + QPointF(width, 0);
}

void TEmfPlayer::Bitmap(TRecordReader &r, qint64 at)
{
    const quint32 type = r.Type();
    qint32 xd, yd, cxd, cyd, xs, ys, cxs, cys;
    quint32 offBmi, cbBmi, offBits, cbBits, rop = Emf::SRCCOPY;
    bool alpha = false;
    if (type == Emf::STRETCHDIBITS) {
        xd = r.I32(24); yd = r.I32(28); xs = r.I32(32); ys = r.I32(36); cxs = r.I32(40); cys = r.I32(44);
        offBmi = r.U32(48); cbBmi = r.U32(52); offBits = r.U32(56); cbBits = r.U32(60); rop = r.U32(68);
        cxd = r.I32(72); cyd = r.I32(76);
    } else {
        xd = r.I32(24); yd = r.I32(28); cxd = r.I32(32); cyd = r.I32(36);
        if (type == Emf::ALPHABLEND) alpha = (r.U32(40) >> 24) & 1; else rop = r.U32(40);
        xs = r.I32(44); ys = r.I32(48);
        offBmi = r.U32(84); cbBmi = r.U32(88); offBits = r.U32(92); cbBits = r.U32(96);
        cxs = type == Emf::BITBLT ? cxd : r.I32(100); cys = type == Emf::BITBLT ? cyd : r.I32(104);
    }
    if (r.Failed() || cxd == 0 || cyd == 0)
        return;
    const QRectF dest = QRectF(xd, yd, cxd, cyd).normalized();
    if (cbBmi == 0) { // no source: a raster operation on the destination alone
        if (rop == 0x00F00021) FPainter->fillRect(dest, FState.Brush);      // PATCOPY
        else if (rop == 0x00000042) FPainter->fillRect(dest, Qt::black);   // BLACKNESS
        else if (rop == 0x00FF0062) FPainter->fillRect(dest, Qt::white);   // WHITENESS
        return;
    }
    if (!r.Fits(offBmi, cbBmi) || !r.Fits(offBits, cbBits) || cbBmi < 40)
        return;
    TRecordReader info(r.Data() + offBmi, cbBmi);
    const quint32 compression = info.U32(16);
    const qint32 biHeight = info.I32(8);
    const QSize full(info.I32(4), int(qMin<qint64>(std::abs(qint64(biHeight)), INT_MAX)));
    QImage image;
    QRectF src(xs, ys, cxs, cys);
    if (compression == Emf::BI_JPEG || compression == Emf::BI_PNG) {
        // decode no larger than it is shown
        const QRectF shown = FPainter->transform().mapRect(dest);
        QSize scaled = full;
        if (full.width() > 0 && full.height() > 0 && src.width() == full.width() && src.height() == full.height()
            && shown.width() < full.width() && shown.height() < full.height())
            scaled = QSize(qMax(1, int(std::ceil(shown.width()))), qMax(1, int(std::ceil(shown.height()))));
        const TDecodedKey key{FSerial, at, scaled.width(), scaled.height()};
        if (QImage *cached = Decoded().object(key)) {
            image = *cached;
        } else {
            QByteArray bytes = QByteArray::fromRawData(r.Data() + offBits, cbBits);
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer, compression == Emf::BI_JPEG ? "jpeg" : "png");
            if (scaled != full && reader.size() == full)
                reader.setScaledSize(scaled);
            image = reader.read();
            if (image.isNull())
                return;
            Decoded().insert(key, new QImage(image), qMax<qint64>(1, image.sizeInBytes() / 1024));
        }
        if (image.size() != full && full.width() > 0 && full.height() > 0) {
            const qreal fx = qreal(image.width()) / full.width(), fy = qreal(image.height()) / full.height();
            src = QRectF(src.x() * fx, src.y() * fy, src.width() * fx, src.height() * fy);
        }
    } else {
        image = Decode_Dib(QByteArray::fromRawData(r.Data() + offBmi, cbBmi),
                           QByteArray::fromRawData(r.Data() + offBits, cbBits), alpha);
        if (image.isNull())
            return;
        if (biHeight > 0) // bottom-up: the source rectangle is measured from the bottom row
            src.moveTop(qreal(image.height()) - ys - cys);
    }
    src = src.normalized();
    if (cxd < 0 || cxs < 0 || cyd < 0 || cys < 0)
        image = image.mirrored((cxd < 0) != (cxs < 0), (cyd < 0) != (cys < 0));
    FPainter->drawImage(dest, image, src);
}

void TEmfPlayer::Record(TRecordReader &r, qint64 at)
{
    TState &s = FState;
    switch (r.Type()) {
    case Emf::SETMAPMODE: s.MapMode = r.U32(8); ApplyTransform(); break;
    case Emf::SETWINDOWEXTEX: if (r.Size() >= 16) { s.WindowExt = QSizeF(r.I32(8), r.I32(12)); ApplyTransform(); } break;
    case Emf::SETWINDOWORGEX: if (r.Size() >= 16) { s.WindowOrg = r.Point(8); ApplyTransform(); } break;
    case Emf::SETVIEWPORTEXTEX: if (r.Size() >= 16) { s.ViewportExt = QSizeF(r.I32(8), r.I32(12)); ApplyTransform(); } break;
    case Emf::SETVIEWPORTORGEX: if (r.Size() >= 16) { s.ViewportOrg = r.Point(8); ApplyTransform(); } break;
    case Emf::SETWORLDTRANSFORM:
    case Emf::MODIFYWORLDTRANSFORM: {
        if (r.Size() < 32) break;
        const QTransform x(r.F32(8), r.F32(12), r.F32(16), r.F32(20), r.F32(24), r.F32(28));
        if (!std::isfinite(x.m11() + x.m12() + x.m21() + x.m22() + x.dx() + x.dy())) break;
        const quint32 mode = r.Type() == Emf::SETWORLDTRANSFORM ? 4 : r.U32(32);
        if (mode == 1) s.World = QTransform();
        else if (mode == 2) s.World = x * s.World;
        else if (mode == 3) s.World = s.World * x;
        else if (mode == 4) s.World = x;
        ApplyTransform();
        break;
    }
    case Emf::SAVEDC:
        FSaved.push_back(s);
        FPainter->save();
        break;
    case Emf::RESTOREDC: {
        const qint32 n = r.I32(8);
        qint64 pops = n < 0 ? -qint64(n) : qint64(FSaved.size()) - n + 1;
        if (n == 0 || pops <= 0 || pops > qint64(FSaved.size())) break;
        while (pops-- > 0) {
            s = FSaved.back();
            FSaved.pop_back();
            FPainter->restore();
        }
        ApplyTransform();
        break;
    }
    case Emf::SETBKMODE: s.BkMode = r.U32(8); break;
    case Emf::SETBKCOLOR: s.BkColor = FromColorRef(r.U32(8)); break;
    case Emf::SETTEXTCOLOR: s.TextColor = FromColorRef(r.U32(8)); break;
    case Emf::SETTEXTALIGN: s.TextAlign = r.U32(8); break;
    case Emf::SETPOLYFILLMODE: s.FillRule = r.U32(8) == Emf::WINDING ? Qt::WindingFill : Qt::OddEvenFill; break;
    case Emf::CREATEPEN:
    case Emf::EXTCREATEPEN: {
        const bool ext = r.Type() == Emf::EXTCREATEPEN;
        const quint32 handle = r.U32(8);
        const quint32 style = r.U32(ext ? 28 : 12);
        const qint32 width = r.I32(ext ? 32 : 16);
        const quint32 color = r.U32(ext ? 40 : 24);
        if (r.Failed()) break;
        QPen pen(FromColorRef(color), (style & 0x10000) || !ext ? qMax(0, width) : 0);
        if (width <= 1 && !(style & 0x10000)) pen.setWidth(0);
        switch (style & 0xF) {
        case 1: pen.setStyle(Qt::DashLine); break;
        case 2: pen.setStyle(Qt::DotLine); break;
        case 3: pen.setStyle(Qt::DashDotLine); break;
        case 4: pen.setStyle(Qt::DashDotDotLine); break;
        case 5: pen.setStyle(Qt::NoPen); break;
        default: break;
        }
        pen.setCapStyle((style & 0xF00) == 0x100 ? Qt::SquareCap : (style & 0xF00) == 0x200 ? Qt::FlatCap : Qt::RoundCap);
        pen.setJoinStyle((style & 0xF000) == 0x1000 ? Qt::BevelJoin : (style & 0xF000) == 0x2000 ? Qt::MiterJoin : Qt::RoundJoin);
        FObjects[handle] = pen;
        break;
    }
    case Emf::CREATEBRUSHINDIRECT: {
        const quint32 handle = r.U32(8), style = r.U32(12), color = r.U32(16), hatch = r.U32(20);
        if (r.Failed()) break;
        QBrush brush(FromColorRef(color));
        if (style == 1) brush = Qt::NoBrush;
        else if (style == 2) {
            static const Qt::BrushStyle hatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                     Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
            brush.setStyle(hatch < 6 ? hatches[hatch] : Qt::SolidPattern);
        }
        FObjects[handle] = brush;
        break;
    }
    case Emf::EXTCREATEFONTINDIRECTW: {
        if (r.Size() < 104) break;
        const quint32 handle = r.U32(8);
        const qint32 height = r.I32(12);
        TFontObject f;
        f.Escapement = r.I32(20);
        QString face;
        for (int i = 0; i < 32; ++i) {
            const quint16 c = quint16(r.I16(40 + 2 * i));
            if (!c) break;
            face.append(QChar(c));
        }
        f.Font = QFont(face);
        qreal pixels = std::abs(qint64(height));
        if (height > 0) { // cell height: take away the internal leading
            QFont probe(f.Font);
            probe.setPixelSize(100);
            const qreal cell = QFontMetricsF(probe).height();
            if (cell > 0) pixels = height * 100.0 / cell;
        }
        f.Font.setPixelSize(qBound(1, int(std::lround(qMin(pixels, 1e6))), 1 << 16));
        f.Font.setWeight(QFont::Weight(qBound(1, r.I32(28), 1000)));
        f.Font.setItalic(r.Data()[32] != 0);
        f.Font.setUnderline(r.Data()[33] != 0);
        f.Font.setStrikeOut(r.Data()[34] != 0);
        FObjects[handle] = f;
        break;
    }
    case Emf::SELECTOBJECT: Select(r.U32(8)); break;
    case Emf::DELETEOBJECT: FObjects.erase(r.U32(8)); break;
    case Emf::RECTANGLE:
    case Emf::ELLIPSE:
    case Emf::ROUNDRECT: {
        const QRect b = r.Rect(8);
        if (r.Failed()) break;
        const QRectF rect = QRectF(QPointF(b.left(), b.top()), QPointF(b.right(), b.bottom())).normalized();
        QPainterPath path;
        if (r.Type() == Emf::RECTANGLE) path.addRect(rect);
        else if (r.Type() == Emf::ELLIPSE) path.addEllipse(rect);
        else path.addRoundedRect(rect, r.I32(24) / 2.0, r.I32(28) / 2.0);
        DrawShape(path, true);
        break;
    }
    case Emf::POLYGON: case Emf::POLYLINE: case Emf::POLYBEZIER: case Emf::POLYBEZIERTO: case Emf::POLYLINETO:
    case Emf::POLYGON16: case Emf::POLYLINE16: case Emf::POLYBEZIER16: case Emf::POLYBEZIERTO16: case Emf::POLYLINETO16:
        PolyRecord(r, r.Type());
        break;
    case Emf::POLYPOLYGON: case Emf::POLYPOLYLINE: case Emf::POLYPOLYGON16: case Emf::POLYPOLYLINE16:
        PolyPolyRecord(r, r.Type());
        break;
    case Emf::MOVETOEX:
        s.Position = r.Point(8);
        if (FInPath) FPath.moveTo(s.Position);
        break;
    case Emf::LINETO: {
        const QPointF to = r.Point(8);
        if (r.Failed()) break;
        if (FInPath) {
            if (FPath.elementCount() == 0) FPath.moveTo(s.Position);
            FPath.lineTo(to);
        } else {
            FPainter->setPen(s.Pen);
            FPainter->drawLine(s.Position, to);
        }
        s.Position = to;
        break;
    }
    case Emf::BEGINPATH: FInPath = true; FPath = QPainterPath(); break;
    case Emf::ENDPATH: FInPath = false; break;
    case Emf::ABORTPATH: FInPath = false; FPath = QPainterPath(); break;
    case Emf::CLOSEFIGURE: if (FInPath) FPath.closeSubpath(); break;
    case Emf::FILLPATH:
    case Emf::STROKEPATH:
    case Emf::STROKEANDFILLPATH: {
        if (FInPath) break;
        FPath.setFillRule(s.FillRule);
        const QPen pen = s.Pen;
        if (r.Type() == Emf::FILLPATH) s.Pen = Qt::NoPen;
        DrawShape(FPath, r.Type() != Emf::STROKEPATH);
        s.Pen = pen;
        FPath = QPainterPath();
        break;
    }
    case Emf::SELECTCLIPPATH:
        if (FInPath) break;
        FPath.setFillRule(s.FillRule);
        Clip(FPath, r.U32(8), false);
        FPath = QPainterPath();
        break;
    case Emf::INTERSECTCLIPRECT:
    case Emf::EXCLUDECLIPRECT: {
        const QRect b = r.Rect(8);
        if (r.Failed()) break;
        QPainterPath path;
        path.addRect(QRectF(QPointF(b.left(), b.top()), QPointF(b.right(), b.bottom())).normalized());
        if (r.Type() == Emf::INTERSECTCLIPRECT) {
            FPainter->setClipPath(path, Qt::IntersectClip);
        } else {
            QPainterPath current = FPainter->hasClipping() ? FPainter->clipPath() : QPainterPath();
            FPainter->setClipPath(current.subtracted(path), Qt::ReplaceClip);
        }
        break;
    }
    case Emf::EXTSELECTCLIPRGN: {
        const quint32 cb = r.U32(8), mode = r.U32(12);
        if (r.Failed()) break;
        if (cb == 0) { if (mode == Emf::RGN_COPY) ResetClip(); break; }
        const quint32 count = r.U32(16 + 8);
        if (!r.Fits(16 + 32, qint64(count) * 16)) break;
        QPainterPath path;
        for (quint32 i = 0; i < count; ++i) {
            const QRect b = r.Rect(48 + 16 * i);
            path.addRect(QRectF(QPointF(b.left(), b.top()), QPointF(b.right(), b.bottom())).normalized());
        }
        Clip(path, mode, true);
        break;
    }
    case Emf::EXTTEXTOUTW:
        if (r.Size() >= 76) Text(r);
        break;
    case Emf::STRETCHDIBITS:
        if (r.Size() >= 80) Bitmap(r, at);
        break;
    case Emf::BITBLT:
        if (r.Size() >= 100) Bitmap(r, at);
        break;
    case Emf::STRETCHBLT:
    case Emf::ALPHABLEND:
        if (r.Size() >= 108) Bitmap(r, at);
        break;
    default:
        break; // records this picture does not need
    }
}
