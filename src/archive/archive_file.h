#pragma once

#include "tarchitem.h"
#include "markup/tnode.h"

#include <QByteArray>

#include <memory>

// Writes the archive through the container the flags choose (encrypted wins over
// compressed). The old file is replaced only once the new one is complete. Raises TError
// with the reason when the file cannot be written; the model is then left as it was.
bool Save_Archive_File(TArchive &archive, const QString &path, bool compressed, bool encripted);
// Reads an archive; raises TError for a missing file or an unreadable container.
std::unique_ptr<TArchive> Load_Archive_File(const QString &path, bool compressed, bool encripted);
// Compressed exactly when the extension is ".arcx" in any letter case.
bool Is_Compressed_Archive_Path(const QString &path);

// The SML tree Save_Archive_File writes (the "sml" header node holding "Archive"). Gives an
// Id to every unit, person, subject and document that has none.
TNode Archive_To_Node(TArchive &archive);
// Builds an archive from a document's top node; path and flags are recorded in the archive
// when the node holds one. An item tree nested deeper than Max_Archive_Depth raises TError.
std::unique_ptr<TArchive> Load_Archive_From_Node(const TNode &top, const QString &path = {},
                                                 bool compressed = false, bool encripted = false);
// Same from SML text, or from the bytes of a container, without a file.
std::unique_ptr<TArchive> Load_Archive_From_Text(const QString &text);
std::unique_ptr<TArchive> Load_Archive_From_Bytes(const QByteArray &bytes, bool compressed, bool encripted);

// How many items deep (a document in a document counts one level) an archive may nest. The
// model's counting and destruction recurse, so deeper trees are refused when read or saved.
inline constexpr int Max_Archive_Depth = 500;
