#include "preview/emf_stream.h"

#include "markup/terror.h"

#include <QStringList>

namespace Emf {

QByteArray TRecordWriter::Finish()
{
    Pad();
    qToLittleEndian(quint32(FBytes.size()), FBytes.data() + 4);
    return FBytes;
}

static QByteArray Utf16(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        char b[2];
        qToLittleEndian(c.unicode(), b);
        out.append(b, 2);
    }
    return out;
}

QByteArray Header_Record(const THeader &h)
{
    // Description: creator, NUL, description, NUL, NUL (only when there is any text).
    QByteArray description;
    quint32 descriptionChars = 0;
    if (!h.Creator.isEmpty() || !h.Description.isEmpty()) {
        const QString text = h.Creator + QChar(0) + h.Description + QChar(0) + QChar(0);
        description = Utf16(text);
        descriptionChars = quint32(text.size());
    }
    TRecordWriter w(HEADER);
    w.Rect(h.Bounds).Rect(h.Frame).U32(Signature).U32(Version).U32(h.Bytes).U32(h.Records);
    w.U16(h.Handles).U16(0);
    w.U32(descriptionChars).U32(description.isEmpty() ? 0 : HeaderSize).U32(0);
    w.I32(h.DevicePixels.width()).I32(h.DevicePixels.height());
    w.I32(h.DeviceMillimeters.width()).I32(h.DeviceMillimeters.height());
    w.U32(0).U32(0).U32(0); // no pixel format, no OpenGL
    w.I32(h.DeviceMicrometers.width()).I32(h.DeviceMicrometers.height());
    w.Bytes(description);
    return w.Finish();
}

QByteArray Eof_Record()
{
    TRecordWriter w(EOF_);
    w.U32(0).U32(16).U32(EofSize); // no palette; its offset as GDI writes it
    return w.Finish();
}

THeader Parse_Header(const QByteArray &bytes)
{
    const auto refuse = [] { throw TError(QStringLiteral("The page picture is not an enhanced metafile")); };
    if (bytes.size() < 88)
        refuse();
    TRecordReader r(bytes.constData(), bytes.size());
    const quint32 size = r.U32(4);
    if (r.Type() != HEADER || r.U32(40) != Signature || size < 88 || size % 4 != 0)
        refuse();
    THeader h;
    h.HeaderLength = size;
    h.Bounds = r.Rect(8);
    h.Frame = r.Rect(24);
    h.Bytes = r.U32(48);
    h.Records = r.U32(52);
    h.Handles = quint16(r.U32(56) & 0xFFFF);
    h.DevicePixels = QSize(r.I32(72), r.I32(76));
    h.DeviceMillimeters = QSize(r.I32(80), r.I32(84));
    if (size >= 108 && qsizetype(size) <= bytes.size())
        h.DeviceMicrometers = QSize(r.I32(100), r.I32(104));
    const quint32 chars = r.U32(60);
    const quint32 offset = r.U32(64);
    if (chars > 0 && offset >= 88 && qsizetype(size) <= bytes.size()
        && qint64(offset) + 2 * qint64(chars) <= qint64(size)) {
        QString text;
        text.reserve(int(chars));
        for (quint32 i = 0; i < chars; ++i)
            text.append(QChar(qFromLittleEndian<quint16>(bytes.constData() + offset + 2 * i)));
        const QStringList parts = text.split(QChar(0));
        h.Creator = parts.value(0);
        h.Description = parts.value(1);
    }
    return h;
}

} // namespace Emf
