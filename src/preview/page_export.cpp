#include "preview/page_export.h"

#include "markup/terror.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

TExportFile::TExportFile(const QString &fileName)
    : FFileName(fileName)
{
    const QFileInfo info(fileName);
    if (info.isDir())
        RaiseWriteError(fileName, QStringLiteral("It is a folder"));
    // the temporary file is a hidden sibling, so that the rename stays within one file system
    FFile = std::make_unique<QTemporaryFile>(info.absoluteDir().filePath(
        QStringLiteral(".") + info.fileName() + QStringLiteral(".XXXXXX")));
    FFile->setAutoRemove(true);
    if (!FFile->open())
        RaiseWriteError(fileName, FFile->errorString());
}

TExportFile::~TExportFile() = default;

QIODevice &TExportFile::Device()
{
    return *FFile;
}

void TExportFile::CheckDevice()
{
    if (FFile->error() != QFileDevice::NoError)
        RaiseWriteError(FFileName, FFile->errorString());
}

void TExportFile::Commit()
{
    if (!FFile->flush())
        RaiseWriteError(FFileName, FFile->errorString());
    CheckDevice();
    // a plain new file is readable by others, as any file the user saves
    FFile->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                          | QFileDevice::ReadOther);
    const QString temporary = FFile->fileName();
    FFile->close();
    if (FFile->error() != QFileDevice::NoError)
        RaiseWriteError(FFileName, FFile->errorString());
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(temporary.toStdU16String()),
                            std::filesystem::path(FFileName.toStdU16String()), error);
    if (error)
        RaiseWriteError(FFileName, QString::fromStdString(error.message()));
    FFile->setAutoRemove(false);
}

void TExportFile::RaiseWriteError(const QString &fileName, const QString &reason)
{
    throw TError(QStringLiteral("The file \"%1\" cannot be written|%2")
                     .arg(QDir::toNativeSeparators(fileName), reason));
}
