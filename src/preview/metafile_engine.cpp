#include "preview/metafile_engine_p.h"

#include "preview/emf_stream.h"
#include "preview/metafile.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTextItem>

#include <cmath>

using Emf::TRecordWriter;

namespace {

qint32 ToInt(qreal v)
{
    if (!(v > -2147483000.0)) return -2147483000;
    if (v > 2147483000.0) return 2147483000;
    return qint32(std::lround(v));
}

QPoint ToPoint(const QPointF &p) { return QPoint(ToInt(p.x()), ToInt(p.y())); }

quint32 ColorRef(const QColor &c)
{
    const QRgb rgb = c.rgb();
    return quint32(qRed(rgb)) | (quint32(qGreen(rgb)) << 8) | (quint32(qBlue(rgb)) << 16);
}

QColor BrushColor(const QBrush &brush)
{
    if (const QGradient *g = brush.gradient(); g && !g->stops().isEmpty())
        return g->stops().first().second;
    return brush.color();
}

} // namespace

TMetafilePaintEngine::TMetafilePaintEngine() : QPaintEngine(AllFeatures) {}

void TMetafilePaintEngine::Emit(QByteArray record)
{
    FRecords.append(record);
    ++FRecordCount;
}

bool TMetafilePaintEngine::begin(QPaintDevice *device)
{
    FPicture = static_cast<TMetafile *>(device);
    FRecords.clear();
    FRecordCount = 0;
    FBounds = QRect();
    FMatrix = QTransform();
    FTransformDirty = true;
    FAnisotropic = false;
    FWindow = FViewport = QRect();
    FWorld = QTransform();
    FPen = QPen();
    FBrush = QBrush();
    FPenWritten = FBrushWritten = FFontWritten = false;
    FWrittenTextColor = QColor();
    FFillMode = 0;
    FPenHandle = FBrushHandle = FFontHandle = 0;
    FHandles.assign(1, true);
    FMaxHandles = 1;
    FEncodedKey = 0;
    Emit(TRecordWriter(Emf::SAVEDC).Finish());
    Emit(TRecordWriter(Emf::SETBKMODE).U32(Emf::TRANSPARENT).Finish());
    Emit(TRecordWriter(Emf::SETTEXTALIGN).U32(Emf::TA_BASELINE).Finish());
    setActive(true);
    return true;
}

bool TMetafilePaintEngine::end()
{
    // select stock objects before deleting ours, then leave the saved state
    if (FPenHandle) { Emit(TRecordWriter(Emf::SELECTOBJECT).U32(Emf::StockObject | 7).Finish()); Emit(TRecordWriter(Emf::DELETEOBJECT).U32(FPenHandle).Finish()); }
    if (FBrushHandle) { Emit(TRecordWriter(Emf::SELECTOBJECT).U32(Emf::StockObject | 0).Finish()); Emit(TRecordWriter(Emf::DELETEOBJECT).U32(FBrushHandle).Finish()); }
    if (FFontHandle) { Emit(TRecordWriter(Emf::SELECTOBJECT).U32(Emf::StockObject | 13).Finish()); Emit(TRecordWriter(Emf::DELETEOBJECT).U32(FFontHandle).Finish()); }
    Emit(TRecordWriter(Emf::RESTOREDC).I32(-1).Finish());
    setActive(false);
    TMetafile *picture = FPicture;
    FPicture = nullptr;
    picture->CommitRecording(std::move(FRecords), FRecordCount, FMaxHandles, FBounds);
    FRecords = QByteArray();
    return true;
}

int TMetafilePaintEngine::NewHandle()
{
    for (size_t i = 1; i < FHandles.size(); ++i)
        if (!FHandles[i]) { FHandles[i] = true; return int(i); }
    FHandles.push_back(true);
    FMaxHandles = qMax(FMaxHandles, int(FHandles.size()));
    return int(FHandles.size() - 1);
}

// Selects the new object, then deletes the one it replaces, so the slot can be reused.
void TMetafilePaintEngine::Replace(int &slot, int handle)
{
    Emit(TRecordWriter(Emf::SELECTOBJECT).U32(quint32(handle)).Finish());
    if (slot) {
        Emit(TRecordWriter(Emf::DELETEOBJECT).U32(quint32(slot)).Finish());
        FHandles[size_t(slot)] = false;
    }
    slot = handle;
}

void TMetafilePaintEngine::SelectStock(int &slot, quint32 stock)
{
    Emit(TRecordWriter(Emf::SELECTOBJECT).U32(Emf::StockObject | stock).Finish());
    if (slot) {
        Emit(TRecordWriter(Emf::DELETEOBJECT).U32(quint32(slot)).Finish());
        FHandles[size_t(slot)] = false;
    }
    slot = 0;
}

void TMetafilePaintEngine::updateState(const QPaintEngineState &state)
{
    const DirtyFlags flags = state.state();
    if (flags & DirtyTransform) {
        FMatrix = state.transform();
        FTransformDirty = true;
    }
    if (flags & DirtyPen)
        FPen = state.pen();
    if (flags & DirtyBrush)
        FBrush = state.brush();
    if (flags & (DirtyClipPath | DirtyClipRegion | DirtyClipEnabled)) {
        FlushTransform();
        if (flags & DirtyClipRegion) {
            QPainterPath path;
            path.addRegion(state.clipRegion());
            ApplyClip(state.clipOperation(), path);
        } else if (flags & DirtyClipPath) {
            ApplyClip(state.clipOperation(), state.clipPath());
        } else if (!state.isClipEnabled()) {
            ResetClip();
        } else if (painter() && painter()->hasClipping()) {
            ApplyClip(Qt::ReplaceClip, painter()->clipPath());
        }
    }
}

void TMetafilePaintEngine::FlushTransform()
{
    if (!FTransformDirty)
        return;
    FTransformDirty = false;
    // Keep the painter's window and viewport as the mapping mode, so that a page drawn
    // in page units is stored in page units; whatever else the matrix holds is the world
    // transform.
    QPainter *p = painter();
    bool anisotropic = false;
    QRect window, viewport;
    QTransform world = FMatrix;
    if (p && p->viewTransformEnabled()) {
        window = p->window();
        viewport = p->viewport();
        if (window.width() != 0 && window.height() != 0) {
            const qreal sx = qreal(viewport.width()) / window.width();
            const qreal sy = qreal(viewport.height()) / window.height();
            const QTransform view(sx, 0, 0, sy, viewport.x() - window.x() * sx, viewport.y() - window.y() * sy);
            if (view.isInvertible()) {
                anisotropic = true;
                world = FMatrix * view.inverted();
            }
        }
    }
    if (anisotropic != FAnisotropic) {
        Emit(TRecordWriter(Emf::SETMAPMODE).U32(anisotropic ? Emf::MM_ANISOTROPIC : Emf::MM_TEXT).Finish());
        FAnisotropic = anisotropic;
        FWindow = FViewport = QRect();
    }
    if (anisotropic) {
        if (window != FWindow) {
            Emit(TRecordWriter(Emf::SETWINDOWORGEX).Point(window.topLeft()).Finish());
            Emit(TRecordWriter(Emf::SETWINDOWEXTEX).I32(window.width()).I32(window.height()).Finish());
            FWindow = window;
        }
        if (viewport != FViewport) {
            Emit(TRecordWriter(Emf::SETVIEWPORTORGEX).Point(viewport.topLeft()).Finish());
            Emit(TRecordWriter(Emf::SETVIEWPORTEXTEX).I32(viewport.width()).I32(viewport.height()).Finish());
            FViewport = viewport;
        }
    }
    if (world != FWorld) {
        TRecordWriter w(Emf::SETWORLDTRANSFORM);
        w.F32(float(world.m11())).F32(float(world.m12())).F32(float(world.m21()))
         .F32(float(world.m22())).F32(float(world.dx())).F32(float(world.dy()));
        Emit(w.Finish());
        FWorld = world;
    }
}

void TMetafilePaintEngine::UsePen()
{
    FlushTransform();
    if (FPenWritten && FWrittenPen == FPen)
        return;
    FPenWritten = true;
    FWrittenPen = FPen;
    if (FPen.style() == Qt::NoPen || FPen.color().alpha() == 0) {
        SelectStock(FPenHandle, Emf::NULL_PEN);
        return;
    }
    quint32 style = 0; // PS_SOLID
    switch (FPen.style()) {
    case Qt::DashLine: style = 1; break;
    case Qt::DotLine: style = 2; break;
    case Qt::DashDotLine: style = 3; break;
    case Qt::DashDotDotLine: style = 4; break;
    default: break;
    }
    qreal width = FPen.widthF();
    const bool cosmetic = width <= 0 || FPen.isCosmetic();
    if (cosmetic && width > 1) {
        // a cosmetic width is in pixels; store it as the logical width it is now
        const qreal scale = std::sqrt(std::abs(FMatrix.determinant()));
        width = scale > 0 ? width / scale : width;
    }
    if (!cosmetic || width > 1) {
        style |= 0x10000; // PS_GEOMETRIC
        switch (FPen.capStyle()) {
        case Qt::SquareCap: style |= 0x100; break;
        case Qt::FlatCap: style |= 0x200; break;
        default: break;
        }
        switch (FPen.joinStyle()) {
        case Qt::BevelJoin: style |= 0x1000; break;
        case Qt::MiterJoin: case Qt::SvgMiterJoin: style |= 0x2000; break;
        default: break;
        }
    }
    const int handle = NewHandle();
    TRecordWriter w(Emf::EXTCREATEPEN);
    w.U32(quint32(handle)).U32(0).U32(0).U32(0).U32(0);   // no pattern bitmap
    w.U32(style).U32(quint32(qMax(1, ToInt(cosmetic && width <= 1 ? 1 : width))))
     .U32(0).U32(ColorRef(FPen.color())).U32(0).U32(0);   // BS_SOLID, colour, no hatch, no style entries
    Emit(w.Finish());
    Replace(FPenHandle, handle);
}

void TMetafilePaintEngine::UseBrush()
{
    FlushTransform();
    if (FBrushWritten && FWrittenBrush == FBrush)
        return;
    FBrushWritten = true;
    FWrittenBrush = FBrush;
    const QColor color = BrushColor(FBrush);
    if (FBrush.style() == Qt::NoBrush || color.alpha() == 0) {
        SelectStock(FBrushHandle, Emf::NULL_BRUSH);
        return;
    }
    quint32 style = 0, hatch = 0; // BS_SOLID
    switch (FBrush.style()) {
    case Qt::HorPattern: style = 2; hatch = 0; break;
    case Qt::VerPattern: style = 2; hatch = 1; break;
    case Qt::FDiagPattern: style = 2; hatch = 2; break;
    case Qt::BDiagPattern: style = 2; hatch = 3; break;
    case Qt::CrossPattern: style = 2; hatch = 4; break;
    case Qt::DiagCrossPattern: style = 2; hatch = 5; break;
    default: break; // dense patterns, gradients and textures are stored as their colour
    }
    const int handle = NewHandle();
    Emit(TRecordWriter(Emf::CREATEBRUSHINDIRECT).U32(quint32(handle)).U32(style).U32(ColorRef(color)).U32(hatch).Finish());
    Replace(FBrushHandle, handle);
}

void TMetafilePaintEngine::UseFont(const QFont &font)
{
    if (FFontWritten && FWrittenFont == font)
        return;
    FFontWritten = true;
    FWrittenFont = font;
    qreal pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * FPicture->logicalDpiY() / 72.0;
    const int handle = NewHandle();
    TRecordWriter w(Emf::EXTCREATEFONTINDIRECTW);
    w.U32(quint32(handle));
    w.I32(-qMax(1, ToInt(pixels))).I32(0).I32(0).I32(0).I32(font.weight());
    QByteArray flags(8, '\0');
    flags[0] = font.italic() ? 1 : 0;
    flags[1] = font.underline() ? 1 : 0;
    flags[2] = font.strikeOut() ? 1 : 0;
    flags[3] = 1; // DEFAULT_CHARSET
    w.Bytes(flags);
    const QString face = font.family().left(31);
    for (int i = 0; i < 32; ++i)
        w.U16(i < face.size() ? face.at(i).unicode() : 0);
    Emit(w.Finish());
    Replace(FFontHandle, handle);
}

void TMetafilePaintEngine::UseTextColor(const QColor &color)
{
    if (FWrittenTextColor.isValid() && FWrittenTextColor.rgb() == color.rgb())
        return;
    FWrittenTextColor = color;
    Emit(TRecordWriter(Emf::SETTEXTCOLOR).U32(ColorRef(color)).Finish());
}

void TMetafilePaintEngine::UseFillMode(Qt::FillRule rule)
{
    const int mode = rule == Qt::WindingFill ? int(Emf::WINDING) : int(Emf::ALTERNATE);
    if (mode == FFillMode)
        return;
    FFillMode = mode;
    Emit(TRecordWriter(Emf::SETPOLYFILLMODE).U32(quint32(mode)).Finish());
}

QRect TMetafilePaintEngine::DeviceBounds(const QRectF &logical, qreal grow) const
{
    const QRectF r = FMatrix.mapRect(logical.normalized().adjusted(-grow, -grow, grow, grow));
    return QRect(QPoint(ToInt(std::floor(r.left())), ToInt(std::floor(r.top()))),
                 QPoint(ToInt(std::ceil(r.right())), ToInt(std::ceil(r.bottom()))));
}

void TMetafilePaintEngine::Touch(const QRect &deviceRect)
{
    FBounds = FBounds.isValid() ? FBounds.united(deviceRect) : deviceRect;
}

void TMetafilePaintEngine::drawRects(const QRectF *rects, int rectCount)
{
    UsePen();
    UseBrush();
    const qreal grow = FPen.style() == Qt::NoPen ? 0 : FPen.widthF() / 2;
    for (int i = 0; i < rectCount; ++i) {
        const QRectF &r = rects[i];
        Emit(TRecordWriter(Emf::RECTANGLE).Rect(QRect(ToPoint(r.topLeft()), ToPoint(r.bottomRight()))).Finish());
        Touch(DeviceBounds(r, grow));
    }
}

void TMetafilePaintEngine::drawLines(const QLineF *lines, int lineCount)
{
    if (lineCount <= 0)
        return;
    UsePen();
    QRectF all;
    TRecordWriter w(lineCount == 1 ? Emf::POLYLINE : Emf::POLYPOLYLINE);
    for (int i = 0; i < lineCount; ++i)
        all = all.united(QRectF(lines[i].p1(), lines[i].p2()).normalized());
    const QRect bounds = DeviceBounds(all, FPen.widthF() / 2);
    w.Rect(bounds);
    if (lineCount == 1) {
        w.U32(2).Point(ToPoint(lines[0].p1())).Point(ToPoint(lines[0].p2()));
    } else {
        w.U32(quint32(lineCount)).U32(quint32(2 * lineCount));
        for (int i = 0; i < lineCount; ++i) w.U32(2);
        for (int i = 0; i < lineCount; ++i) w.Point(ToPoint(lines[i].p1())).Point(ToPoint(lines[i].p2()));
    }
    Emit(w.Finish());
    Touch(bounds);
}

void TMetafilePaintEngine::drawEllipse(const QRectF &rect)
{
    UsePen();
    UseBrush();
    Emit(TRecordWriter(Emf::ELLIPSE).Rect(QRect(ToPoint(rect.topLeft()), ToPoint(rect.bottomRight()))).Finish());
    Touch(DeviceBounds(rect, FPen.widthF() / 2));
}

void TMetafilePaintEngine::drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode)
{
    if (pointCount <= 0)
        return;
    UsePen();
    if (mode != PolylineMode) {
        UseBrush();
        UseFillMode(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    }
    QPolygonF polygon(QList<QPointF>(points, points + pointCount));
    const QRect bounds = DeviceBounds(polygon.boundingRect(), FPen.widthF() / 2);
    TRecordWriter w(mode == PolylineMode ? Emf::POLYLINE : Emf::POLYGON);
    w.Rect(bounds).U32(quint32(pointCount));
    for (int i = 0; i < pointCount; ++i)
        w.Point(ToPoint(points[i]));
    Emit(w.Finish());
    Touch(bounds);
}

void TMetafilePaintEngine::WritePath(const QPainterPath &path)
{
    Emit(TRecordWriter(Emf::BEGINPATH).Finish());
    int i = 0;
    const int n = path.elementCount();
    int figureStart = 0;
    while (i < n) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            if (i > figureStart + 1 && QPointF(path.elementAt(i - 1)) == QPointF(path.elementAt(figureStart)))
                Emit(TRecordWriter(Emf::CLOSEFIGURE).Finish());
            figureStart = i;
            Emit(TRecordWriter(Emf::MOVETOEX).Point(ToPoint(e)).Finish());
            ++i;
        } else if (e.isLineTo()) {
            QList<QPoint> run;
            while (i < n && path.elementAt(i).isLineTo())
                run.append(ToPoint(path.elementAt(i++)));
            TRecordWriter w(Emf::POLYLINETO);
            w.Rect(QRect()).U32(quint32(run.size()));
            for (QPoint p : run) w.Point(p);
            Emit(w.Finish());
        } else {
            QList<QPoint> run;
            while (i + 2 < n && path.elementAt(i).isCurveTo()) {
                run.append(ToPoint(path.elementAt(i)));
                run.append(ToPoint(path.elementAt(i + 1)));
                run.append(ToPoint(path.elementAt(i + 2)));
                i += 3;
            }
            if (run.isEmpty()) { ++i; continue; } // a dangling curve element
            TRecordWriter w(Emf::POLYBEZIERTO);
            w.Rect(QRect()).U32(quint32(run.size()));
            for (QPoint p : run) w.Point(p);
            Emit(w.Finish());
        }
    }
    if (n > figureStart + 1 && QPointF(path.elementAt(n - 1)) == QPointF(path.elementAt(figureStart)))
        Emit(TRecordWriter(Emf::CLOSEFIGURE).Finish());
    Emit(TRecordWriter(Emf::ENDPATH).Finish());
}

void TMetafilePaintEngine::drawPath(const QPainterPath &path)
{
    if (path.isEmpty())
        return;
    const bool stroke = FPen.style() != Qt::NoPen;
    const bool fill = FBrush.style() != Qt::NoBrush;
    if (!stroke && !fill)
        return;
    UsePen();
    UseBrush();
    UseFillMode(path.fillRule());
    WritePath(path);
    const QRect bounds = DeviceBounds(path.boundingRect(), stroke ? FPen.widthF() / 2 : 0);
    Emit(TRecordWriter(stroke && fill ? Emf::STROKEANDFILLPATH : stroke ? Emf::STROKEPATH : Emf::FILLPATH)
             .Rect(bounds).Finish());
    Touch(bounds);
}

void TMetafilePaintEngine::ResetClip()
{
    Emit(TRecordWriter(Emf::EXTSELECTCLIPRGN).U32(0).U32(Emf::RGN_COPY).Finish());
}

void TMetafilePaintEngine::ApplyClip(Qt::ClipOperation op, const QPainterPath &path)
{
    if (op == Qt::NoClip) {
        ResetClip();
        return;
    }
    QPainterPath asRect;
    asRect.addRect(path.boundingRect());
    if (asRect == path) {
        // a plain rectangle, as most clipping is, in the record every reader knows
        if (op == Qt::ReplaceClip)
            ResetClip();
        const QRectF r = path.boundingRect();
        Emit(TRecordWriter(Emf::INTERSECTCLIPRECT).Rect(QRect(ToPoint(r.topLeft()), ToPoint(r.bottomRight()))).Finish());
        return;
    }
    UseFillMode(path.fillRule());
    WritePath(path);
    Emit(TRecordWriter(Emf::SELECTCLIPPATH).U32(op == Qt::ReplaceClip ? Emf::RGN_COPY : Emf::RGN_AND).Finish());
}

void TMetafilePaintEngine::drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr)
{
    WriteBitmap(r, pm.toImage(), sr);
}

void TMetafilePaintEngine::drawImage(const QRectF &r, const QImage &image, const QRectF &sr, Qt::ImageConversionFlags)
{
    if (FEncodedKey != 0 && image.cacheKey() == FEncodedKey) {
        WriteEncoded(r);
        return;
    }
    WriteBitmap(r, image, sr);
}

void TMetafilePaintEngine::ExpectEncodedImage(qint64 key, const QByteArray &bytes, quint32 compression, QSize pixels)
{
    FEncodedKey = key;
    FEncodedBytes = bytes;
    FEncodedCompression = compression;
    FEncodedPixels = pixels;
    FEncodedTaken = false;
}

bool TMetafilePaintEngine::TookEncodedImage()
{
    const bool taken = FEncodedTaken;
    FEncodedKey = 0;
    FEncodedBytes = QByteArray();
    return taken;
}

static QByteArray Bitmap_Info(int width, int height, int bits, quint32 compression, quint32 imageSize,
                              const QList<QRgb> &palette)
{
    TRecordWriter w(0); // only its field writers are used; the 8 leading bytes are cut off
    w.U32(40).I32(width).I32(height).U16(1).U16(quint16(bits)).U32(compression).U32(imageSize)
     .I32(3780).I32(3780).U32(quint32(palette.size())).U32(0);
    for (QRgb c : palette)
        w.U32(c & 0x00FFFFFF); // RGBQUAD is blue, green, red, 0: the same bytes as 0x00RRGGBB
    return w.Finish().mid(8);
}

static QByteArray Bitmap_Record(quint32 type, const QRect &bounds, const QRect &dest, const QRect &src,
                                const QByteArray &info, const QByteArray &bits)
{
    TRecordWriter w(type);
    const quint32 fixed = type == Emf::STRETCHDIBITS ? 80 : 108;
    const quint32 offBits = fixed + quint32(info.size());
    if (type == Emf::STRETCHDIBITS) {
        w.Rect(bounds).I32(dest.x()).I32(dest.y()).I32(src.x()).I32(src.y()).I32(src.width()).I32(src.height())
         .U32(fixed).U32(quint32(info.size())).U32(offBits).U32(quint32(bits.size()))
         .U32(0).U32(Emf::SRCCOPY).I32(dest.width()).I32(dest.height());
    } else { // ALPHABLEND with per-pixel, premultiplied alpha
        w.Rect(bounds).I32(dest.x()).I32(dest.y()).I32(dest.width()).I32(dest.height())
         .U32(0x01FF0000).I32(src.x()).I32(src.y())
         .F32(1).F32(0).F32(0).F32(1).F32(0).F32(0).U32(0).U32(0)
         .U32(fixed).U32(quint32(info.size())).U32(offBits).U32(quint32(bits.size()))
         .I32(src.width()).I32(src.height());
    }
    w.Bytes(info).Bytes(bits);
    return w.Finish();
}

void TMetafilePaintEngine::WriteBitmap(const QRectF &r, const QImage &source, const QRectF &sr)
{
    if (source.isNull() || r.isEmpty())
        return;
    FlushTransform();
    const QRect src = sr.toAlignedRect().intersected(source.rect());
    if (src.isEmpty())
        return;
    QImage image = src == source.rect() ? source : source.copy(src);
    QList<QRgb> palette;
    int bits = 32;
    bool alpha = false;
    switch (image.format()) {
    case QImage::Format_Mono:
        bits = 1; palette = image.colorTable(); break;
    case QImage::Format_MonoLSB:
        image = image.convertToFormat(QImage::Format_Mono); bits = 1; palette = image.colorTable(); break;
    case QImage::Format_Indexed8:
        bits = 8; palette = image.colorTable(); break;
    case QImage::Format_Grayscale8:
        bits = 8;
        for (int i = 0; i < 256; ++i) palette.append(qRgb(i, i, i));
        break;
    default:
        alpha = image.hasAlphaChannel();
        image = image.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        break;
    }
    if (bits <= 8 && palette.size() < (1 << bits)) {
        // a colour table shorter than the indices used would leave them undefined
        while (palette.size() < (1 << bits)) palette.append(qRgb(0, 0, 0));
    }
    // QImage rows are 32-bit aligned like DIB rows; a negative height means top-down rows
    const QByteArray pixels(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
    const QByteArray info = Bitmap_Info(image.width(), -image.height(), bits, Emf::BI_RGB, quint32(pixels.size()), palette);
    const QRect dest(ToPoint(r.topLeft()), QSize(ToInt(r.right()) - ToInt(r.left()), ToInt(r.bottom()) - ToInt(r.top())));
    const QRect bounds = DeviceBounds(r);
    Emit(Bitmap_Record(alpha ? Emf::ALPHABLEND : Emf::STRETCHDIBITS, bounds, dest,
                       QRect(0, 0, image.width(), image.height()), info, pixels));
    Touch(bounds);
}

void TMetafilePaintEngine::WriteEncoded(const QRectF &r)
{
    FlushTransform();
    FEncodedTaken = true;
    const QByteArray info = Bitmap_Info(FEncodedPixels.width(), FEncodedPixels.height(), 0, FEncodedCompression,
                                        quint32(FEncodedBytes.size()), {});
    const QRect dest(ToPoint(r.topLeft()), QSize(ToInt(r.right()) - ToInt(r.left()), ToInt(r.bottom()) - ToInt(r.top())));
    const QRect bounds = DeviceBounds(r);
    Emit(Bitmap_Record(Emf::STRETCHDIBITS, bounds, dest, QRect(QPoint(0, 0), FEncodedPixels), info, FEncodedBytes));
    Touch(bounds);
    FEncodedKey = 0;
}

void TMetafilePaintEngine::drawTextItem(const QPointF &p, const QTextItem &textItem)
{
    const QString text = textItem.text();
    if (text.isEmpty())
        return;
    FlushTransform();
    const QFont font = textItem.font();
    UseFont(font);
    UseTextColor(FPen.color());
    // spacing: the advances of the characters, scaled to the width the layout gave the run
    const QFontMetricsF metrics(font, FPicture);
    QList<qreal> advances;
    qreal natural = 0;
    for (QChar c : text) {
        advances.append(metrics.horizontalAdvance(c));
        natural += advances.last();
    }
    const qreal width = textItem.width() > 0 ? textItem.width() : natural;
    const qreal scale = natural > 0 ? width / natural : 1;
    QList<qint32> dx;
    qreal running = 0, placed = 0;
    for (qreal a : advances) {
        running += a * scale;
        dx.append(ToInt(running - placed));
        placed += dx.last();
    }
    const QRectF logical(p.x(), p.y() - textItem.ascent(), width, textItem.ascent() + textItem.descent());
    const QRect bounds = DeviceBounds(logical);
    TRecordWriter w(Emf::EXTTEXTOUTW);
    const quint32 offString = 76;
    const quint32 offDx = offString + quint32((text.size() * 2 + 3) / 4 * 4);
    const bool rtl = textItem.renderFlags() & QTextItem::RightToLeft;
    w.Rect(bounds).U32(1).F32(0).F32(0);
    w.Point(ToPoint(p)).U32(quint32(text.size())).U32(offString).U32(rtl ? Emf::ETO_RTLREADING : 0)
     .Rect(QRect(QPoint(0, 0), QPoint(-1, -1))).U32(offDx);
    for (QChar c : text) w.U16(c.unicode());
    w.Pad();
    for (qint32 d : dx) w.I32(d);
    Emit(w.Finish());
    Touch(bounds);
}
