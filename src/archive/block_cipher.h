#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QIODevice;

// A block cipher that can encipher whole streams in electronic-codebook mode. The last
// block of every ciphertext carries, in its last byte, how many bytes of that block are
// padding (1 to BlockSize()), so a ciphertext is always 1 to BlockSize() bytes longer than
// its plaintext. Streams must be random-access devices with a position and a size.
class TBlockCipher
{
public:
    virtual ~TBlockCipher() = default;
    TBlockCipher(const TBlockCipher &) = delete;
    TBlockCipher &operator=(const TBlockCipher &) = delete;

    // Length of the ciphertext EncryptStream writes for PlaintextLength bytes.
    virtual qint64 CiphertextLength(qint64 PlaintextLength) const;
    // Encrypts Plaintext from its position to its end onto Ciphertext's position.
    // Raises TError when a device fails to read or write.
    virtual void EncryptStream(QIODevice &Plaintext, QIODevice &Ciphertext) const;
    // Decrypts Ciphertext from its position to its end onto Plaintext's position. Returns
    // false, writing nothing, when the rest is empty, not a whole number of blocks, or its
    // count byte cannot come from EncryptStream (a wrong key or damaged data).
    virtual bool DecryptStream(QIODevice &Ciphertext, QIODevice &Plaintext) const;

    virtual void EncryptBlock(uchar *Plaintext) const = 0;
    virtual void DecryptBlock(uchar *Ciphertext) const = 0;

    virtual int MinKeyLength() const = 0;
    virtual int MaxKeyLength() const;
    virtual int BlockSize() const = 0;

    // Blocks processed per read and write of the stream operations.
    static constexpr int BufferBlocks = 512;

protected:
    TBlockCipher() = default;
    // Raises "Key must be at least %d bytes long." when Length is below MinKeyLength().
    // Called by each concrete cipher's constructor, where MinKeyLength() is its own.
    void CheckKeyLength(int Length) const;

    // Count whole blocks in place, one after another; a cipher may do several at once.
    virtual void EncryptBlocks(uchar *Data, qint64 Count) const;
    virtual void DecryptBlocks(uchar *Data, qint64 Count) const;
};

// A block cipher on 64-bit blocks. A 64-bit block value holds the first four bytes of the
// block, read as a little-endian word, in its low half and the next four in its high half.
class T64BitBlockCipher : public TBlockCipher
{
public:
    int BlockSize() const override { return 8; }

    virtual quint64 EncryptedBlock(quint64 Plaintext) const = 0;
    virtual quint64 DecryptedBlock(quint64 Ciphertext) const = 0;

    // Encrypts the UTF-8 bytes of Plaintext. Every padding byte of the final block holds
    // the count. The result holds one character per ciphertext byte (U+0000..U+00FF).
    virtual QString EncryptedString(const QString &Plaintext) const;
    // Inverse of EncryptedString; empty text when Ciphertext is not in that form (empty,
    // not a whole number of blocks, characters above U+00FF, or an impossible count).
    virtual QString DecryptedString(const QString &Ciphertext) const;

    // Byte forms of the two string operations.
    QByteArray EncryptedBytes(const QByteArray &Plaintext) const;
    QByteArray DecryptedBytes(const QByteArray &Ciphertext) const; // empty when refused
    // The same, decrypting the bytes in place when nobody else shares them; large inputs
    // are decrypted on every core, the blocks being independent of each other.
    QByteArray DecryptedBytes(QByteArray &&Ciphertext) const;
};
