#include "preview/preview_stream.h"

#include <QtEndian>

void Write_Preview_Page_Header(QIODevice &stream, const TPreviewPageHeader &header)
{
    char bytes[22] = {'K', 'W', 'P', 'I', 0x50, 0x05};
    qToLittleEndian(qint32(header.Orientation), bytes + 6);
    qToLittleEndian(qint32(header.PaperType), bytes + 10);
    qToLittleEndian(qint32(header.Width), bytes + 14);
    qToLittleEndian(qint32(header.Height), bytes + 18);
    if (stream.write(bytes, sizeof bytes) != qint64(sizeof bytes))
        throw TError(QStringLiteral("Stream write error"));
}

TPreviewPageHeader Read_Preview_Page_Header(QIODevice &stream)
{
    const QByteArray bytes = stream.read(22);
    if (bytes.size() != 22 || !bytes.startsWith("KWPI"))
        throw EPreviewLoadError();
    TPreviewPageHeader header;
    // only the low bytes of orientation and paper type are the stored values
    header.Orientation = quint8(bytes[6]);
    header.PaperType = quint8(bytes[10]);
    header.Width = qFromLittleEndian<qint32>(bytes.constData() + 14);
    header.Height = qFromLittleEndian<qint32>(bytes.constData() + 18);
    // out-of-range values would index the paper table or divide by a zero extent later
    if (header.Orientation > 1 || header.PaperType > Preview_Custom_Paper_Type
        || header.Width < 1 || header.Height < 1)
        throw EPreviewLoadError();
    if (stream.peek(4) != "KWPL")
        throw EPreviewLoadError();
    return header;
}
