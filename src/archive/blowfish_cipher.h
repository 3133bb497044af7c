#pragma once

#include "block_cipher.h"

#include <array>

// Blowfish with its standard key schedule. Blocks are held in memory as two little-endian
// 32-bit halves; the published test vectors use big-endian halves, so reversing the bytes
// of each half before and after a block operation gives their results.
class TBlowfishCipher : public T64BitBlockCipher
{
public:
    // Raises TError "Key must be at least 8 bytes long." for a shorter key. Keys longer
    // than MaxKeyLength() are taken whole, cyclically, like any other.
    TBlowfishCipher(const uchar *Key, int Length);
    explicit TBlowfishCipher(const QByteArray &Key);
    ~TBlowfishCipher() override;

    void EncryptBlock(uchar *Plaintext) const override;
    void DecryptBlock(uchar *Ciphertext) const override;
    quint64 EncryptedBlock(quint64 Plaintext) const override;
    quint64 DecryptedBlock(quint64 Ciphertext) const override;

    int MinKeyLength() const override { return 8; }
    int MaxKeyLength() const override { return 56; }

protected:
    void DecryptBlocks(uchar *Data, qint64 Count) const override;

private:
    quint32 F(quint32 x) const;
    void Encrypt(quint32 &L, quint32 &R) const;
    void Decrypt(quint32 &L, quint32 &R) const;

    std::array<quint32, 256> FSBox1;
    std::array<quint32, 256> FSBox2;
    std::array<quint32, 256> FSBox3;
    std::array<quint32, 256> FSBox4;
    std::array<quint32, 18> FPArray;
};
