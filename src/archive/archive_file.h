#pragma once

#include "tarchitem.h"
#include "markup/tnode.h"

#include <QByteArray>

#include <memory>

// Writes the archive through the container the flags choose (encrypted wins over
// compressed). The contract, the same for every container:
// - Success: the result is true; FilePath := path, Compressed := compressed,
//   Encripted := encripted, NeedSave := false.
// - Failure: TError is raised and nothing is returned. Its message is the reason, for the
//   caller to show (the main window shows it in the "Save Failed" box and keeps the
//   archive open and unsaved). FilePath, Compressed, Encripted and NeedSave keep their old
//   values, so a failed Save As leaves the archive pointing at its old file, and the old
//   file, if any, is left as it was (it is replaced only once the new one is complete).
//   Ids given to items during the failed save stay; the next save writes the same ones.
// The result is never false; it stays Boolean for callers written against that form.
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
