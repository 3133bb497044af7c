#include "ui/main/file_types.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QByteArray Resource(const QString &name)
{
    QFile file(QStringLiteral(":/desktop/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Writes bytes to path unless the file already holds exactly them. Returns true when
// it wrote; error gets the reason when it could not.
bool Write_If_Different(const QString &path, const QByteArray &bytes, QString &error)
{
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == bytes)
        return false;
    current.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = QStringLiteral("Cannot create the folder %1").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

void Start_Detached(const QString &program, const QStringList &arguments)
{
    QProcess::startDetached(program, arguments);
}

} // namespace

QString Desktop_Exec_Argument(const QString &executable)
{
    // Inside a quoted argument the characters ", `, $ and \ are escaped with a backslash;
    // the value as a whole is a string in which a backslash is written twice and a
    // percent sign, being a field code, is doubled.
    QString quoted;
    for (const QChar c : executable) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    QString value = QStringLiteral("\"");
    for (const QChar c : quoted) {
        switch (c.unicode()) {
        case '\\': value += QStringLiteral("\\\\"); break;
        case '\n': value += QStringLiteral("\\n"); break;
        case '\r': value += QStringLiteral("\\r"); break;
        case '\t': value += QStringLiteral("\\t"); break;
        case '%': value += QStringLiteral("%%"); break;
        default: value += c;
        }
    }
    value += u'"';
    return value;
}

QString Desktop_Entry_Text(const QString &executable)
{
    const QString installed = QString::fromUtf8(Resource(QString::fromLatin1(Desktop_Entry_Name)));
    QStringList lines = installed.split(u'\n');
    for (QString &line : lines) {
        if (line.startsWith(QLatin1String("Exec=")))
            line = QStringLiteral("Exec=") + Desktop_Exec_Argument(executable) + QStringLiteral(" %f");
    }
    return lines.join(u'\n');
}

QByteArray Mime_Package_Text()
{
    return Resource(QString::fromLatin1(Mime_Package_Name));
}

QByteArray Icon_Data()
{
    return Resource(QString::fromLatin1(Icon_Name));
}

TFile_Type_Registration Register_File_Types(const QString &executable, const QString &dataFolder,
                                            const TTool_Runner &runner)
{
    TFile_Type_Registration result;
    const QString root = dataFolder.isEmpty()
                             ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                             : dataFolder;
    if (root.isEmpty()) {
        result.Error = QStringLiteral("No data folder for the file types");
        return result;
    }
    const QString applications = root + QStringLiteral("/applications");
    const QString mime = root + QStringLiteral("/mime");
    const QString icons = root + QStringLiteral("/icons/hicolor/scalable/apps");

    const auto write = [&result](const QString &path, const QByteArray &bytes) {
        QString error;
        const bool written = Write_If_Different(path, bytes, error);
        if (written)
            result.Written.append(path);
        if (!error.isEmpty() && result.Error.isEmpty())
            result.Error = error;
        return written;
    };
    // The icon first, so that the desktop databases see it when they are refreshed.
    write(icons + u'/' + QString::fromLatin1(Icon_Name), Icon_Data());
    const bool mimeWritten = write(mime + QStringLiteral("/packages/") + QString::fromLatin1(Mime_Package_Name),
                                   Mime_Package_Text());
    const bool desktopWritten = write(applications + u'/' + QString::fromLatin1(Desktop_Entry_Name),
                                      Desktop_Entry_Text(executable).toUtf8());

    const TTool_Runner run = runner ? runner : TTool_Runner(Start_Detached);
    const auto refresh = [&](const QString &tool, const QString &folder) {
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty())
            return;
        run(program, {folder});
        result.Tools.append(tool + u' ' + folder);
    };
    if (mimeWritten)
        refresh(QStringLiteral("update-mime-database"), mime);
    if (desktopWritten)
        refresh(QStringLiteral("update-desktop-database"), applications);
    return result;
}
