#pragma once

#include "markup/tnode.h"

#include <QByteArray>
#include <QStringList>

// The three wrappers of an archive's SML text. Writers replace the file only once the new
// content is complete and raise TError with the reason otherwise.
void Write_Plain_File(const QString &path, const TNode &Node);
void Write_Compressed_File(const QString &path, const TNode &Node);
TNode Read_Compressed_File(const QString &path);
void Write_Encrypted_File(const QStringList &lines, const QString &path);
void Read_Encrypted_File(QStringList &lines, const QString &path);

// In-memory forms, also used by the fuzz targets.
QByteArray Compress_Bytes(const QByteArray &bytes);
QByteArray Decompress_Bytes(const QByteArray &bytes); // raises TError on a bad stream
// Text of a compressed or encrypted container: a byte-order mark names the encoding,
// otherwise Windows-1256.
QString Decode_Container_Text(const QByteArray &bytes);
