#pragma once

#include "markup/tnode.h"

#include <QByteArray>
#include <QStringList>

class Sml_Node_Observer;

// The three wrappers of an archive's SML text. Writers replace the file only once the new
// content is complete and raise TError with the reason otherwise.
void Write_Plain_File(const QString &path, const TNode &Node);
void Write_Compressed_File(const QString &path, const TNode &Node);
// The readers of whole documents tell observer (when given) of every node as it is read.
TNode Read_Compressed_File(const QString &path, Sml_Node_Observer *observer = nullptr);
void Write_Encrypted_File(const QStringList &lines, const QString &path);
void Read_Encrypted_File(QStringList &lines, const QString &path);

// In-memory forms, also used by the fuzz targets.
QByteArray Compress_Bytes(const QByteArray &bytes);
QByteArray Decompress_Bytes(const QByteArray &bytes); // raises TError on a bad stream
// As above, raising TError once the content grows past limit bytes.
QByteArray Decompress_Bytes(const QByteArray &bytes, qint64 limit);
// Text of a compressed or encrypted container: a byte-order mark names the encoding,
// otherwise the legacy code page (Windows-1256); TError when that cannot be decoded here.
QString Decode_Container_Text(const QByteArray &bytes);
// The document's top node read from the bytes of a compressed container; an empty node
// when the text holds none.
TNode Read_Compressed_Bytes(const QByteArray &bytes, Sml_Node_Observer *observer = nullptr);
// The bytes of an encrypted container; the lines of its text, none when decryption
// refuses the bytes.
QByteArray Encrypt_Container_Lines(const QStringList &lines);
QStringList Read_Encrypted_Bytes(const QByteArray &bytes);
// The decrypted bytes of an encrypted container; empty when decryption refuses them.
QByteArray Decrypt_Container_Bytes(const QByteArray &bytes);
// The document's top node of an encrypted container, as read from Read_Encrypted_Bytes's
// lines, but without holding the text as a list of lines.
TNode Read_Encrypted_Node(const QByteArray &bytes, Sml_Node_Observer *observer = nullptr);
TNode Read_Encrypted_Node_File(const QString &path, Sml_Node_Observer *observer = nullptr);

// Largest content Decompress_Bytes accepts by default.
constexpr qint64 Max_Decompressed_Size = qint64(2) * 1024 * 1024 * 1024;
