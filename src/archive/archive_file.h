#pragma once

#include "tarchitem.h"

#include <memory>

// Writes the archive through the container the flags choose (encrypted wins over
// compressed). The old file is replaced only once the new one is complete. Raises TError
// with the reason when the file cannot be written; the model is then left as it was.
bool Save_Archive_File(TArchive &archive, const QString &path, bool compressed, bool encripted);
// Reads an archive; raises TError for a missing file or an unreadable container.
std::unique_ptr<TArchive> Load_Archive_File(const QString &path, bool compressed, bool encripted);
// Compressed exactly when the extension is ".arcx" in any letter case.
bool Is_Compressed_Archive_Path(const QString &path);
