#pragma once

#include <QString>

#include <functional>
#include <memory>

class QIODevice;
class QTemporaryFile;
class TMetafile;

// What the owner of an export decides for each page before it is written.
enum TPageProcessingChoice { pcAccept, pcIgnore, pcCancellAll };

// The pages an export walks, in order. Page(i) (0-based) returns the picture of page i,
// valid until the next call, so that a page store need hold only a few in memory.
struct TExportPages
{
    int Count = 0;
    std::function<const TMetafile *(int index)> Page;
};

// Callbacks of a running export. PageProcessing gets the 1-based page number before a
// page is written (unset: every page is accepted); Progress gets (0, total) first and
// (pageNo, total) after every page, also an ignored one.
struct TExportEvents
{
    std::function<TPageProcessingChoice(int pageNo)> PageProcessing;
    std::function<void(int done, int total)> Progress;
};

// An output file written under a temporary name in the target folder and renamed over
// the chosen name only by Commit, so that a failed or cancelled export never leaves a
// partial file there (and keeps a file that was there before). Destroying it without
// Commit removes the temporary file. Failures raise TError with the user's message.
class TExportFile
{
public:
    explicit TExportFile(const QString &fileName);
    ~TExportFile();
    TExportFile(const TExportFile &) = delete;
    TExportFile &operator=(const TExportFile &) = delete;

    // Opened for reading and writing (libtiff reads back what it wrote).
    QIODevice &Device();
    QString FileName() const { return FFileName; }
    // Raises the write error when a write, seek or read on Device() has failed.
    void CheckDevice();
    // Flushes, closes and renames over the chosen name.
    void Commit();

    // The message of a failure to write fileName, with the system's reason.
    [[noreturn]] static void RaiseWriteError(const QString &fileName, const QString &reason);

private:
    QString FFileName;
    std::unique_ptr<QTemporaryFile> FFile;
    bool FFailed = false;
};
