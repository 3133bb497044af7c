#include "containers.h"

#include "archive_stream.h"
#include "blowfish_cipher.h"
#include "markup/terror.h"
#include "markup/tsml.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>
#include <QStringDecoder>

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF");

const char *const Damaged_Message = "The compressed archive file is damaged.";
const char *const Too_Large_Message = "The compressed archive file is too large to open.";

// A target that is read-only, or a folder we may not write to, is refused before anything
// is created. The read-only check looks at the permission bits as well, so that a file
// without any write permission is not replaced even by a user who could override it.
void Check_Writable(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isDir()) {
        const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
        if (!info.isWritable() || !(info.permissions() & writeBits))
            throw TError(QStringLiteral("Access denied."));
    }
    const QFileInfo folder(info.absolutePath());
    if (folder.isDir() && !folder.isWritable())
        throw TError(QStringLiteral("Access denied."));
}

// Writes bytes to a temporary file beside path and moves it over path once complete; on
// any failure the old file stays as it was and the temporary file is removed.
void Write_Whole_File(const QString &path, const QByteArray &bytes)
{
    Check_Writable(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw TError(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw TError(reason);
    }
    if (!file.commit())
        throw TError(file.errorString());
}

QByteArray Read_Whole_File(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw TError(QStringLiteral("File not found")); // also a folder, a FIFO or a device
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TError(file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw TError(file.errorString());
    return bytes;
}

// zlib counts in 32-bit units; longer buffers are handed over in pieces.
constexpr qint64 Max_Zlib_Piece = std::numeric_limits<uInt>::max();

} // namespace

QByteArray Compress_Bytes(const QByteArray &bytes)
{
    z_stream zs{};
    if (deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw TError(QStringLiteral("Not enough memory to compress the archive."));
    const auto cleanup = qScopeGuard([&zs] { deflateEnd(&zs); });

    QByteArray out;
    out.reserve(qsizetype(deflateBound(&zs, uLong(qMin<qint64>(bytes.size(), Max_Zlib_Piece)))));
    const char *in = bytes.constData();
    qint64 inLeft = bytes.size();
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (zs.avail_in == 0 && inLeft > 0) {
            const qint64 piece = qMin(inLeft, Max_Zlib_Piece);
            zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in));
            zs.avail_in = uInt(piece);
            in += piece;
            inLeft -= piece;
        }
        const qsizetype old = out.size();
        const qsizetype room = qMax<qsizetype>(out.capacity() - old, 64 * 1024);
        out.resize(old + room);
        zs.next_out = reinterpret_cast<Bytef *>(out.data() + old);
        zs.avail_out = uInt(room);
        rc = deflate(&zs, inLeft > 0 ? Z_NO_FLUSH : Z_FINISH);
        out.resize(old + room - qsizetype(zs.avail_out));
        if (rc == Z_STREAM_ERROR)
            throw TError(QStringLiteral("The archive could not be compressed."));
    }
    return out;
}

QByteArray Decompress_Bytes(const QByteArray &bytes)
{
    return Decompress_Bytes(bytes, Max_Decompressed_Size);
}

QByteArray Decompress_Bytes(const QByteArray &bytes, qint64 limit)
{
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        throw TError(QStringLiteral("Not enough memory to open the compressed archive."));
    const auto cleanup = qScopeGuard([&zs] { inflateEnd(&zs); });

    // Output grows a chunk at a time, so a stream that expands without end (or a damaged
    // one that claims to) costs at most limit plus one chunk before it is refused.
    constexpr qsizetype Chunk = 256 * 1024;
    QByteArray out;
    // Text compresses to about a fifth; the first guess spares small streams a big buffer.
    qsizetype room = qBound<qsizetype>(16 * 1024, bytes.size() * 8, Chunk);
    const char *in = bytes.constData();
    qint64 inLeft = bytes.size();
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (zs.avail_in == 0 && inLeft > 0) {
            const qint64 piece = qMin(inLeft, Max_Zlib_Piece);
            zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in));
            zs.avail_in = uInt(piece);
            in += piece;
            inLeft -= piece;
        }
        const qsizetype old = out.size();
        out.resize(old + room);
        zs.next_out = reinterpret_cast<Bytef *>(out.data() + old);
        zs.avail_out = uInt(room);
        rc = inflate(&zs, Z_NO_FLUSH);
        out.resize(old + room - qsizetype(zs.avail_out));
        room = Chunk;
        switch (rc) {
        case Z_OK:
        case Z_STREAM_END:
            break;
        case Z_BUF_ERROR:
            // No progress with room to write means the input ran out: a truncated stream.
            if (zs.avail_in == 0 && inLeft == 0)
                throw TError(QString::fromLatin1(Damaged_Message));
            break;
        case Z_MEM_ERROR:
            throw TError(QStringLiteral("Not enough memory to open the compressed archive."));
        default: // Z_DATA_ERROR, Z_NEED_DICT, Z_STREAM_ERROR
            throw TError(QString::fromLatin1(Damaged_Message));
        }
        if (out.size() > limit)
            throw TError(QString::fromLatin1(Too_Large_Message));
    }
    return out;
}

QString Decode_Container_Text(const QByteArray &bytes)
{
    if (bytes.startsWith(Utf8Bom))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoder(QByteArrayView(bytes).sliced(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringDecoder::Utf16BE);
        return decoder(QByteArrayView(bytes).sliced(2));
    }
    // Earlier files of these containers were written in the legacy Arabic code page, which
    // agrees with ASCII: text without other bytes needs no decoder for it.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return quint8(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    QStringDecoder decoder = Legacy_Decoder();
    return decoder(bytes);
}

namespace {

// Reads a container's content into sml.Node, with the tree that reading the text from
// Decode_Container_Text gives. UTF-8 is decoded as the reader goes, not into a second copy.
void Read_Container_Content(TSML &sml, const QByteArray &content)
{
    if (content.startsWith(Utf8Bom) && sml.Parse_Lines_Utf8(QByteArrayView(content).sliced(3)))
        return;
    sml.Parse_Lines(Decode_Container_Text(content));
}

} // namespace

TNode Read_Compressed_Bytes(const QByteArray &bytes, Sml_Node_Observer *observer)
{
    TSML sml;
    sml.Observer = observer;
    Read_Container_Content(sml, Decompress_Bytes(bytes));
    if (sml.Node.Nodes.isEmpty())
        return TNode();
    return sml.Node.Nodes.first();
}

QByteArray Encrypt_Container_Lines(const QStringList &lines)
{
    QByteArray plain = Utf8Bom;
    for (const QString &line : lines) {
        plain += line.toUtf8();
        plain += "\r\n";
    }
    QByteArray cipher;
    QBuffer source(&plain);
    QBuffer dest(&cipher);
    source.open(QIODevice::ReadOnly);
    dest.open(QIODevice::ReadWrite);
    Encrypt_Archive_Stream(source, dest);
    return cipher;
}

QByteArray Decrypt_Container_Bytes(const QByteArray &bytes)
{
    return TBlowfishCipher(Archive_Key()).DecryptedBytes(bytes);
}

QStringList Read_Encrypted_Bytes(const QByteArray &bytes)
{
    const QByteArray plain = Decrypt_Container_Bytes(bytes);
    if (plain.isEmpty())
        return {};
    return TSML::Split_Lines(Decode_Container_Text(plain));
}

namespace {

TNode Read_Decrypted(const QByteArray &plain, Sml_Node_Observer *observer)
{
    TSML sml;
    sml.Observer = observer;
    Read_Container_Content(sml, plain);
    sml.Select_Top();
    return std::move(sml.Node);
}

} // namespace

TNode Read_Encrypted_Node(const QByteArray &bytes, Sml_Node_Observer *observer)
{
    return Read_Decrypted(Decrypt_Container_Bytes(bytes), observer);
}

TNode Read_Encrypted_Node_File(const QString &path, Sml_Node_Observer *observer)
{
    // The file's bytes are decrypted where they lie: one copy of the archive, not two.
    return Read_Decrypted(TBlowfishCipher(Archive_Key()).DecryptedBytes(Read_Whole_File(path)), observer);
}

void Write_Plain_File(const QString &path, const TNode &Node)
{
    Write_Whole_File(path, Node.AsStream());
}

void Write_Compressed_File(const QString &path, const TNode &Node)
{
    Write_Whole_File(path, Compress_Bytes(Node.AsStream()));
}

TNode Read_Compressed_File(const QString &path, Sml_Node_Observer *observer)
{
    return Read_Compressed_Bytes(Read_Whole_File(path), observer);
}

void Write_Encrypted_File(const QStringList &lines, const QString &path)
{
    Write_Whole_File(path, Encrypt_Container_Lines(lines));
}

void Read_Encrypted_File(QStringList &lines, const QString &path)
{
    lines = Read_Encrypted_Bytes(Read_Whole_File(path));
}
