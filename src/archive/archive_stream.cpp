#include "archive_stream.h"

#include "blowfish_cipher.h"

#include <QIODevice>
#include <QtEndian>

namespace {

// The two halves of the archive key, stored side by side as little-endian words.
// Changing either value makes every encrypted archive written before unreadable: a file
// can be decrypted only with the key value it was written with.
constexpr quint32 ArchiveKeyLow = 0x6B3D19A7;
constexpr quint32 ArchiveKeyHigh = 0xE2508FC4;

} // namespace

QByteArray Archive_Key()
{
    QByteArray key(8, '\0');
    uchar *bytes = reinterpret_cast<uchar *>(key.data());
    qToLittleEndian(ArchiveKeyLow, bytes);
    qToLittleEndian(ArchiveKeyHigh, bytes + 4);
    return key;
}

bool Encrypt_Archive_Stream(QIODevice &Source, QIODevice &Dest)
{
    const TBlowfishCipher cipher(Archive_Key());
    Source.seek(0);
    cipher.EncryptStream(Source, Dest);
    Dest.seek(0);
    return true;
}

bool Decrypt_Archive_Stream(QIODevice &Source, QIODevice &Dest)
{
    const TBlowfishCipher cipher(Archive_Key());
    Source.seek(0);
    if (!cipher.DecryptStream(Source, Dest))
        return false;
    Dest.seek(0);
    return true;
}
