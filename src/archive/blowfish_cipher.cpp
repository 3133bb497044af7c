#include "blowfish_cipher.h"

#include "blowfish_tables.h"

#include <QtEndian>

TBlowfishCipher::TBlowfishCipher(const uchar *Key, int Length)
{
    CheckKeyLength(Length);

    FSBox1 = Blowfish_Initial_SBox1;
    FSBox2 = Blowfish_Initial_SBox2;
    FSBox3 = Blowfish_Initial_SBox3;
    FSBox4 = Blowfish_Initial_SBox4;
    FPArray = Blowfish_Initial_PArray;

    int k = 0;
    for (quint32 &p : FPArray) {
        quint32 word = 0;
        for (int i = 0; i < 4; ++i) {
            word = (word << 8) | Key[k];
            k = (k + 1) % Length;
        }
        p ^= word;
    }

    quint32 L = 0, R = 0;
    auto fill = [&](auto &table) {
        for (size_t i = 0; i < table.size(); i += 2) {
            Encrypt(L, R);
            table[i] = L;
            table[i + 1] = R;
        }
    };
    fill(FPArray);
    fill(FSBox1);
    fill(FSBox2);
    fill(FSBox3);
    fill(FSBox4);
}

TBlowfishCipher::TBlowfishCipher(const QByteArray &Key)
    : TBlowfishCipher(reinterpret_cast<const uchar *>(Key.constData()), int(Key.size()))
{
}

TBlowfishCipher::~TBlowfishCipher()
{
    // The key-dependent tables are key material; do not leave them in freed memory.
    FSBox1.fill(0);
    FSBox2.fill(0);
    FSBox3.fill(0);
    FSBox4.fill(0);
    FPArray.fill(0);
}

inline quint32 TBlowfishCipher::F(quint32 x) const
{
    return ((FSBox1[x >> 24] + FSBox2[(x >> 16) & 0xFF]) ^ FSBox3[(x >> 8) & 0xFF]) + FSBox4[x & 0xFF];
}

void TBlowfishCipher::Encrypt(quint32 &L, quint32 &R) const
{
    quint32 l = L, r = R;
    for (int i = 0; i < 16; i += 2) {
        l ^= FPArray[i];
        r ^= F(l);
        r ^= FPArray[i + 1];
        l ^= F(r);
    }
    l ^= FPArray[16];
    r ^= FPArray[17];
    L = r;
    R = l;
}

void TBlowfishCipher::Decrypt(quint32 &L, quint32 &R) const
{
    quint32 l = L, r = R;
    for (int i = 17; i > 1; i -= 2) {
        l ^= FPArray[i];
        r ^= F(l);
        r ^= FPArray[i - 1];
        l ^= F(r);
    }
    l ^= FPArray[1];
    r ^= FPArray[0];
    L = r;
    R = l;
}

// Two blocks at a time: their rounds do not depend on each other, so the table lookups
// of one overlap with those of the other. Opening a large encrypted archive is mostly this.
void TBlowfishCipher::DecryptBlocks(uchar *Data, qint64 Count) const
{
    qint64 i = 0;
    for (; i + 1 < Count; i += 2) {
        uchar *a = Data + i * 8;
        uchar *b = a + 8;
        quint32 l1 = qFromLittleEndian<quint32>(a), r1 = qFromLittleEndian<quint32>(a + 4);
        quint32 l2 = qFromLittleEndian<quint32>(b), r2 = qFromLittleEndian<quint32>(b + 4);
        for (int k = 17; k > 1; k -= 2) {
            l1 ^= FPArray[k];
            l2 ^= FPArray[k];
            r1 ^= F(l1) ^ FPArray[k - 1];
            r2 ^= F(l2) ^ FPArray[k - 1];
            l1 ^= F(r1);
            l2 ^= F(r2);
        }
        qToLittleEndian(r1 ^ FPArray[0], a);
        qToLittleEndian(l1 ^ FPArray[1], a + 4);
        qToLittleEndian(r2 ^ FPArray[0], b);
        qToLittleEndian(l2 ^ FPArray[1], b + 4);
    }
    if (i < Count)
        DecryptBlock(Data + i * 8);
}

void TBlowfishCipher::EncryptBlock(uchar *Plaintext) const
{
    quint32 L = qFromLittleEndian<quint32>(Plaintext);
    quint32 R = qFromLittleEndian<quint32>(Plaintext + 4);
    Encrypt(L, R);
    qToLittleEndian(L, Plaintext);
    qToLittleEndian(R, Plaintext + 4);
}

void TBlowfishCipher::DecryptBlock(uchar *Ciphertext) const
{
    quint32 L = qFromLittleEndian<quint32>(Ciphertext);
    quint32 R = qFromLittleEndian<quint32>(Ciphertext + 4);
    Decrypt(L, R);
    qToLittleEndian(L, Ciphertext);
    qToLittleEndian(R, Ciphertext + 4);
}

quint64 TBlowfishCipher::EncryptedBlock(quint64 Plaintext) const
{
    quint32 L = quint32(Plaintext);
    quint32 R = quint32(Plaintext >> 32);
    Encrypt(L, R);
    return quint64(R) << 32 | L;
}

quint64 TBlowfishCipher::DecryptedBlock(quint64 Ciphertext) const
{
    quint32 L = quint32(Ciphertext);
    quint32 R = quint32(Ciphertext >> 32);
    Decrypt(L, R);
    return quint64(R) << 32 | L;
}
