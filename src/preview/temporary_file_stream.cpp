#include "preview/temporary_file_stream.h"

#include "markup/terror.h"

#include <QDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

TTemporaryFileStream::TTemporaryFileStream()
{
    const QByteArray dir = QFile::encodeName(QDir::tempPath());
    int fd = -1;
#ifdef O_TMPFILE
    fd = ::open(dir.constData(), O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600);
#endif
    if (fd < 0) {
        // file systems without unnamed files: a unique name, unlinked as soon as it is open
        QByteArray name = dir + "/tpXXXXXX";
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd >= 0)
            ::unlink(name.constData());
    }
    if (fd < 0)
        throw TError(QStringLiteral("Cannot create a temporary file in \"%1\". %2")
                         .arg(QDir::tempPath(), QString::fromLocal8Bit(std::strerror(errno))));
    if (!open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw TError(QStringLiteral("Cannot create a temporary file in \"%1\". %2").arg(QDir::tempPath(), errorString()));
    }
}

TTemporaryFileStream::~TTemporaryFileStream() = default;
