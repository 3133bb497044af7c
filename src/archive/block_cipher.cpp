#include "block_cipher.h"

#include "markup/terror.h"

#include <QBuffer>
#include <QIODevice>

#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Reads until Size bytes arrived or the device has no more; a device may hand out less
// than asked for before its end.
qint64 readFully(QIODevice &device, char *data, qint64 size)
{
    qint64 total = 0;
    while (total < size) {
        const qint64 got = device.read(data + total, size - total);
        if (got < 0)
            throw TError(device.errorString());
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

void writeFully(QIODevice &device, const char *data, qint64 size)
{
    qint64 total = 0;
    while (total < size) {
        const qint64 put = device.write(data + total, size - total);
        if (put <= 0)
            throw TError(device.errorString());
        total += put;
    }
}

} // namespace

qint64 TBlockCipher::CiphertextLength(qint64 PlaintextLength) const
{
    const qint64 b = BlockSize();
    return (qMax<qint64>(PlaintextLength, 0) / b + 1) * b;
}

int TBlockCipher::MaxKeyLength() const
{
    return MinKeyLength();
}

void TBlockCipher::CheckKeyLength(int Length) const
{
    if (Length < MinKeyLength())
        throw TError(QString::asprintf("Key must be at least %d bytes long.", MinKeyLength()));
}

void TBlockCipher::EncryptBlocks(uchar *Data, qint64 Count) const
{
    const int b = BlockSize();
    for (qint64 i = 0; i < Count; ++i)
        EncryptBlock(Data + i * b);
}

void TBlockCipher::DecryptBlocks(uchar *Data, qint64 Count) const
{
    const int b = BlockSize();
    for (qint64 i = 0; i < Count; ++i)
        DecryptBlock(Data + i * b);
}

void TBlockCipher::EncryptStream(QIODevice &Plaintext, QIODevice &Ciphertext) const
{
    const int b = BlockSize();
    QByteArray buffer(qsizetype(BufferBlocks) * b, '\0');
    uchar *data = reinterpret_cast<uchar *>(buffer.data());
    for (;;) {
        const qint64 c = readFully(Plaintext, buffer.data(), buffer.size());
        if (c == buffer.size()) {
            EncryptBlocks(data, BufferBlocks);
            writeFully(Ciphertext, buffer.constData(), c);
            continue;
        }
        // c < buffer size, so the final block still fits in the buffer. Every padding
        // byte holds the count, which keeps the output a function of the input alone.
        const qint64 whole = c / b;
        const int n = b - int(c % b);
        EncryptBlocks(data, whole);
        std::memset(data + c, n, size_t(n));
        EncryptBlock(data + whole * b);
        writeFully(Ciphertext, buffer.constData(), c + n);
        return;
    }
}

bool TBlockCipher::DecryptStream(QIODevice &Ciphertext, QIODevice &Plaintext) const
{
    if (Ciphertext.isSequential())
        return false;
    const int b = BlockSize();
    const qint64 start = Ciphertext.pos();
    const qint64 r = Ciphertext.size() - start;
    if (r <= 0 || r % b != 0)
        return false;

    // The count byte is checked before anything is written, so a refused stream leaves
    // Plaintext as it was.
    QByteArray buffer(qsizetype(BufferBlocks) * b, '\0');
    uchar *data = reinterpret_cast<uchar *>(buffer.data());
    if (!Ciphertext.seek(start + r - b) || readFully(Ciphertext, buffer.data(), b) != b) {
        Ciphertext.seek(start);
        return false;
    }
    DecryptBlock(data);
    const int n = data[b - 1];
    Ciphertext.seek(start);
    if (n == 0 || n > b)
        return false;

    qint64 remaining = r;
    while (remaining > 0) {
        const qint64 chunk = qMin<qint64>(remaining, buffer.size());
        if (readFully(Ciphertext, buffer.data(), chunk) != chunk)
            throw TError(Ciphertext.errorString());
        DecryptBlocks(data, chunk / b);
        remaining -= chunk;
        // Every chunk is a whole number of blocks, so the last one holds the count block.
        writeFully(Plaintext, buffer.constData(), remaining > 0 ? chunk : chunk - n);
    }
    return true;
}

QByteArray T64BitBlockCipher::EncryptedBytes(const QByteArray &Plaintext) const
{
    QByteArray plain = Plaintext;
    QByteArray cipher;
    QBuffer in(&plain);
    QBuffer out(&cipher);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    EncryptStream(in, out);
    return cipher;
}

// The same checks and result as DecryptStream, but in place in one copy of the bytes.
QByteArray T64BitBlockCipher::DecryptedBytes(const QByteArray &Ciphertext) const
{
    return DecryptedBytes(QByteArray(Ciphertext));
}

QByteArray T64BitBlockCipher::DecryptedBytes(QByteArray &&Ciphertext) const
{
    const int b = BlockSize();
    const qsizetype r = Ciphertext.size();
    if (r == 0 || r % b != 0)
        return {};
    QByteArray plain = std::move(Ciphertext);
    uchar *data = reinterpret_cast<uchar *>(plain.data()); // copies only when shared
    uchar last[8];
    std::memcpy(last, data + r - b, size_t(b));
    DecryptBlock(last);
    const int n = last[b - 1];
    if (n == 0 || n > b)
        return {};
    const qint64 blocks = r / b;
    // Below a few megabytes starting threads costs more than it saves.
    const qint64 parts = blocks < (qint64(1) << 18) ? 1 : qBound(qint64(1), qint64(std::thread::hardware_concurrency()), qint64(64));
    if (parts <= 1) {
        DecryptBlocks(data, blocks);
    } else {
        std::vector<std::thread> threads;
        const qint64 per = (blocks + parts - 1) / parts;
        for (qint64 first = per; first < blocks; first += per) {
            const qint64 count = qMin(per, blocks - first);
            try {
                threads.emplace_back([this, data, b, first, count] { DecryptBlocks(data + first * b, count); });
            } catch (const std::system_error &) {
                DecryptBlocks(data + first * b, count); // no thread to be had: do it here
            }
        }
        DecryptBlocks(data, qMin(per, blocks));
        for (std::thread &t : threads)
            t.join();
    }
    plain.truncate(r - n);
    return plain;
}

QString T64BitBlockCipher::EncryptedString(const QString &Plaintext) const
{
    return QString::fromLatin1(EncryptedBytes(Plaintext.toUtf8()));
}

QString T64BitBlockCipher::DecryptedString(const QString &Ciphertext) const
{
    if (Ciphertext.isEmpty() || Ciphertext.size() % BlockSize() != 0)
        return {};
    for (QChar ch : Ciphertext)
        if (ch.unicode() > 0xFF)
            return {};
    return QString::fromUtf8(DecryptedBytes(Ciphertext.toLatin1()));
}
