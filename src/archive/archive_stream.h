#pragma once

#include <QByteArray>

class QIODevice;

// Blowfish encryption of archive byte streams under the key built into the program.
// Both operations rewind Source before they start and Dest once they are done.
bool Encrypt_Archive_Stream(QIODevice &Source, QIODevice &Dest);
// False, with nothing written, when Source cannot be a ciphertext of Encrypt_Archive_Stream.
bool Decrypt_Archive_Stream(QIODevice &Source, QIODevice &Dest);

// The built-in 8-byte archive key.
QByteArray Archive_Key();
