#pragma once

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QtEndian>

#include <cstring>

// The enhanced-metafile file format: record types, the little-endian record writer, a
// bounds-checked record reader, and the file's header.
namespace Emf {

enum RecordType : quint32 {
    HEADER = 1, POLYBEZIER = 2, POLYGON = 3, POLYLINE = 4, POLYBEZIERTO = 5, POLYLINETO = 6,
    POLYPOLYLINE = 7, POLYPOLYGON = 8, SETWINDOWEXTEX = 9, SETWINDOWORGEX = 10,
    SETVIEWPORTEXTEX = 11, SETVIEWPORTORGEX = 12, EOF_ = 14, SETMAPMODE = 17, SETBKMODE = 18,
    SETPOLYFILLMODE = 19, SETTEXTALIGN = 22, SETTEXTCOLOR = 24, SETBKCOLOR = 25, MOVETOEX = 27,
    EXCLUDECLIPRECT = 29, INTERSECTCLIPRECT = 30, SAVEDC = 33, RESTOREDC = 34,
    SETWORLDTRANSFORM = 35, MODIFYWORLDTRANSFORM = 36, SELECTOBJECT = 37, CREATEPEN = 38,
    CREATEBRUSHINDIRECT = 39, DELETEOBJECT = 40, ELLIPSE = 42, RECTANGLE = 43, ROUNDRECT = 44,
    LINETO = 54, BEGINPATH = 59, ENDPATH = 60, CLOSEFIGURE = 61, FILLPATH = 62,
    STROKEANDFILLPATH = 63, STROKEPATH = 64, SELECTCLIPPATH = 67, ABORTPATH = 68,
    GDICOMMENT = 70, EXTSELECTCLIPRGN = 75, BITBLT = 76, STRETCHBLT = 77, STRETCHDIBITS = 81,
    EXTCREATEFONTINDIRECTW = 82, EXTTEXTOUTW = 84, POLYBEZIER16 = 85, POLYGON16 = 86,
    POLYLINE16 = 87, POLYBEZIERTO16 = 88, POLYLINETO16 = 89, POLYPOLYLINE16 = 90,
    POLYPOLYGON16 = 91, EXTCREATEPEN = 95, ALPHABLEND = 114
};

constexpr quint32 Signature = 0x464D4520; // " EMF"
constexpr quint32 Version = 0x10000;
constexpr int HeaderSize = 108;           // with both header extensions
constexpr int EofSize = 20;
constexpr quint32 StockObject = 0x80000000;
constexpr quint32 BI_RGB = 0, BI_BITFIELDS = 3, BI_JPEG = 4, BI_PNG = 5;
constexpr quint32 SRCCOPY = 0x00CC0020;
constexpr quint32 MM_TEXT = 1, MM_ANISOTROPIC = 8;
constexpr quint32 RGN_AND = 1, RGN_COPY = 5;
constexpr quint32 TRANSPARENT = 1, OPAQUE = 2;
constexpr quint32 ALTERNATE = 1, WINDING = 2;
constexpr quint32 TA_BASELINE = 24;
constexpr quint32 ETO_OPAQUE = 2, ETO_CLIPPED = 4, ETO_RTLREADING = 0x80;
constexpr quint32 NULL_BRUSH = 5, NULL_PEN = 8;

// Appends little-endian fields to a record under construction.
class TRecordWriter
{
public:
    explicit TRecordWriter(quint32 type) { U32(type); U32(0); }
    TRecordWriter &U32(quint32 v) { char b[4]; qToLittleEndian(v, b); FBytes.append(b, 4); return *this; }
    TRecordWriter &I32(qint32 v) { return U32(quint32(v)); }
    TRecordWriter &U16(quint16 v) { char b[2]; qToLittleEndian(v, b); FBytes.append(b, 2); return *this; }
    TRecordWriter &F32(float v) { quint32 u; std::memcpy(&u, &v, 4); return U32(u); }
    TRecordWriter &Point(QPoint p) { return I32(p.x()).I32(p.y()); }
    TRecordWriter &Rect(const QRect &r) { return I32(r.left()).I32(r.top()).I32(r.right()).I32(r.bottom()); }
    TRecordWriter &Bytes(const QByteArray &b) { FBytes.append(b); return *this; }
    TRecordWriter &Pad() { while (FBytes.size() % 4) FBytes.append('\0'); return *this; }
    qsizetype Size() const { return FBytes.size(); }
    // The finished record, padded to 4 bytes, its size field filled in.
    QByteArray Finish();

private:
    QByteArray FBytes;
};

// Reads fields of one record; every read is checked against the record's length, and a
// read past it sets Failed() and yields 0.
class TRecordReader
{
public:
    TRecordReader(const char *data, qsizetype size) : FData(data), FSize(size) {}
    quint32 Type() const { return At32(0); }
    qsizetype Size() const { return FSize; }
    const char *Data() const { return FData; }
    bool Failed() const { return FFailed; }
    quint32 U32(qsizetype offset) { if (!Fits(offset, 4)) return 0; return At32(offset); }
    qint32 I32(qsizetype offset) { return qint32(U32(offset)); }
    qint16 I16(qsizetype offset) { if (!Fits(offset, 2)) return 0; return qFromLittleEndian<qint16>(FData + offset); }
    float F32(qsizetype offset) { quint32 u = U32(offset); float f; std::memcpy(&f, &u, 4); return f; }
    QPoint Point(qsizetype offset) { return {I32(offset), I32(offset + 4)}; }
    QRect Rect(qsizetype offset) { return QRect(QPoint(I32(offset), I32(offset + 4)), QPoint(I32(offset + 8), I32(offset + 12))); }
    // True when length bytes at offset lie inside the record.
    bool Fits(qsizetype offset, qint64 length)
    {
        if (offset < 0 || length < 0 || offset > FSize || length > FSize - offset) { FFailed = true; return false; }
        return true;
    }
    QByteArray Slice(qsizetype offset, qint64 length)
    {
        if (!Fits(offset, length)) return {};
        return QByteArray(FData + offset, qsizetype(length));
    }

private:
    quint32 At32(qsizetype offset) const { return qFromLittleEndian<quint32>(FData + offset); }
    const char *FData;
    qsizetype FSize;
    bool FFailed = false;
};

// What the header says about a picture.
struct THeader
{
    QRect Bounds;            // reference pixels, inclusive
    QRect Frame;             // 0.01 mm, inclusive
    quint32 Bytes = 0;       // length of the whole file
    quint32 Records = 0;     // records including header and end record
    quint16 Handles = 1;
    QSize DevicePixels;      // reference device
    QSize DeviceMillimeters;
    QSize DeviceMicrometers; // 0 when the header has no second extension
    qint64 HeaderLength = 0; // bytes of the header record itself
    QString Creator;
    QString Description;
};

QByteArray Header_Record(const THeader &header);
QByteArray Eof_Record();
// Parses the header record at the start of bytes (at least its first 88 bytes);
// raises TError when it is not one.
THeader Parse_Header(const QByteArray &bytes);

} // namespace Emf
