#include "tarchitem.h"

#include "markup/terror.h"
#include "markup/tnode.h"
#include "store_paths.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

// Writes source into a temporary file beside the target and renames it into place, so
// that a copy which fails half-way never leaves a partial file under the stored name.
void Copy_Into_Place(const QString &source, const QString &target)
{
    const auto fail = [&](const QString &reason) {
        throw TError(QStringLiteral("Cannot copy \"%1\" to \"%2\"|%3").arg(source, target, reason));
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        fail(in.errorString());
    const QFileInfo targetInfo(target);
    QTemporaryFile out(targetInfo.absolutePath() + QStringLiteral("/.") + targetInfo.fileName()
                       + QStringLiteral(".XXXXXX"));
    if (!out.open())
        fail(out.errorString());
    constexpr qint64 chunk = 256 * 1024;
    // Read until the end actually comes: some files report a size of 0 but have content.
    for (;;) {
        const QByteArray data = in.read(chunk);
        if (data.isEmpty()) {
            if (in.error() != QFileDevice::NoError)
                fail(in.errorString());
            break;
        }
        if (out.write(data) != data.size())
            fail(out.errorString());
    }
    if (!out.flush())
        fail(out.errorString());
    out.setPermissions(in.permissions());
    out.setFileTime(QFileInfo(in).lastModified(), QFileDevice::FileModificationTime);
    if (!out.rename(target))
        fail(out.errorString());
    out.setAutoRemove(false);
}

} // namespace

QString TArchive::Get_Documents_Database() const
{
    return Folder_Part(FilePath) + QStringLiteral("documents");
}

QString TArchive::New_Folder_In_Database() const
{
    const qint64 days = QDate(1899, 12, 30).daysTo(QDate::currentDate());
    return Date_To_Text(TDateTime{double(days)});
}

QString TArchive::Store_File_In_Database(const QString &Folder, const QString &sFileName)
{
    const QString source = To_Native_Path(sFileName);
    const QFileInfo sourceInfo(source);
    if (sFileName.isEmpty() || !sourceInfo.isFile())
        return QString();

    const QString folder = Folder.trimmed();
    const QString db = Get_Documents_Database();
    const QString folderPath = To_Native_Path(Collapse_Separators(folder.isEmpty() ? db : db + u'\\' + folder));
    if (!QDir().mkpath(folderPath))
        throw TError(QStringLiteral("Cannot create the folder \"%1\"").arg(folderPath));

    const QString name = sourceInfo.fileName();
    const QString sourceCanonical = sourceInfo.canonicalFilePath();
    // A name already taken by other content gets a number; the same content stored
    // before under that name is reused rather than copied again.
    for (int n = 1;; ++n) {
        const QString candidate = n == 1 ? name : Numbered_File_Name(name, n);
        const QString target = folderPath + u'/' + candidate;
        const QString stored = folder.isEmpty() ? candidate : folder + u'\\' + candidate;
        const QFileInfo targetInfo(target);
        if (!targetInfo.exists() && !targetInfo.isSymLink()) {
            Copy_Into_Place(source, target);
            return stored;
        }
        if (targetInfo.canonicalFilePath() == sourceCanonical)
            return stored;
        if (targetInfo.isFile() && Same_File_Content(source, target))
            return stored;
    }
}

QString TArchive::Get_File_Full_Path(const QString &Folder, const QString &sFileName) const
{
    if (sFileName.isEmpty())
        return sFileName;
    const QString db = Get_Documents_Database();
    // An empty Folder adds no path step at all, so no candidate turns into a path from the root.
    const QString folderStep = Folder.isEmpty() ? QString() : Folder + u'\\';
    const QString candidates[] = {
        db + u'\\' + folderStep + sFileName,
        db + u'\\' + sFileName,
        Folder_Part(FilePath) + folderStep + sFileName,
        folderStep + sFileName,
        sFileName,
    };
    for (const QString &raw : candidates) {
        const QString candidate = Collapse_Separators(raw);
        const QString native = To_Native_Path(candidate);
        if (QFileInfo::exists(native))
            return candidate;
        const QString parent = Folder_Part(native);
        if (!parent.isEmpty() && QFileInfo(parent).isDir())
            return candidate;
    }
    return sFileName;
}

bool TArchive::Is_File_Path_In_Database(const QString &sFileName) const
{
    // Both sides in one separator style, so "C:\x\documents" and "C:/x/documents" agree.
    return To_Native_Path(sFileName).contains(To_Native_Path(Get_Documents_Database()), Qt::CaseSensitive);
}
