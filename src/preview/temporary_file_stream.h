#pragma once

#include <QFile>

// A read/write file that no other program sees and that vanishes when the stream is
// freed or the process ends: opened with O_TMPFILE in the system temporary folder, or,
// where that is not available, created with a unique "tp" name and unlinked at once.
// A file that cannot be created raises TError naming the folder and the cause.
class TTemporaryFileStream : public QFile
{
public:
    TTemporaryFileStream();
    ~TTemporaryFileStream() override;
};
