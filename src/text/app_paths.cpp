#include "text/app_paths.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTime>
#include <QUuid>

namespace {

QString &App_Folder_Override()
{
    static QString folder;
    return folder;
}

QString With_Separator(QString folder)
{
    folder.replace(u'\\', u'/');
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

qsizetype Last_Separator(const QString &path)
{
    return qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
}

// The build time the compiler records: __DATE__ is "Mmm dd yyyy", __TIME__ is "hh:mm:ss".
QDateTime Compile_Time()
{
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QByteArray date(__DATE__);
    const QByteArray time(__TIME__);
    int month = 1;
    for (int i = 0; i < 12; ++i) {
        if (date.startsWith(months[i]))
            month = i + 1;
    }
    const int day = date.mid(4, 2).trimmed().toInt();
    const int year = date.mid(7, 4).toInt();
    return QDateTime(QDate(year, month, day),
                     QTime(time.mid(0, 2).toInt(), time.mid(3, 2).toInt(), time.mid(6, 2).toInt()));
}

int List_Folder(QStringList &list, const QString &folder, const QString &mask, bool deep)
{
    const QDir dir(folder);
    int count = 0;
    // "*.*" is the mask for every file, including names without a dot.
    const QString filter = mask == QLatin1String("*.*") ? QStringLiteral("*") : mask;
    // Regular files only: opening a FIFO, socket or device to read it would block or worse.
    // QDir::Files still lets through a link to such a file, so each target is checked.
    const QFileInfoList files = dir.entryInfoList({filter}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo &file : files) {
        if (!file.isFile())
            continue;
        list.append(folder + file.fileName());
        ++count;
    }
    if (deep) {
        // Linked folders are not followed, so a link back up the tree cannot recurse forever.
        const QStringList folders =
            dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
        for (const QString &name : folders)
            count += List_Folder(list, folder + name + u'/', mask, true);
    }
    return count;
}

} // namespace

QString New_Id()
{
    return QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
}

QString App_Folder()
{
    if (!App_Folder_Override().isEmpty())
        return App_Folder_Override();
    if (QCoreApplication::instance()) {
        const QString programFolder = QCoreApplication::applicationDirPath();
        const QFileInfo info(programFolder);
        if (!programFolder.isEmpty() && info.isDir() && info.isWritable())
            return With_Separator(programFolder);
    }
    // An installed program cannot write beside itself: its data lives in the user's data folder.
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tarsel-archive");
    QDir().mkpath(folder);
    return With_Separator(folder);
}

QString App_Dir()
{
    QString folder = App_Folder();
    if (folder.size() > 1)
        folder.chop(1);
    return folder;
}

void Set_App_Folder(const QString &folder)
{
    App_Folder_Override() = folder.isEmpty() ? QString() : With_Separator(folder);
}

TDateTime Build_Time()
{
    static const QDateTime built = Compile_Time();
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
    const double days = double(epoch.date().daysTo(built.date()));
    const double fraction = built.time().msecsSinceStartOfDay() / 86400000.0;
    return TDateTime{days + fraction};
}

bool Is_Read_Only(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    // The owner's write bit is the closest thing to a read-only attribute; a file that the
    // process cannot write for other reasons counts as read-only too.
    return !info.permission(QFileDevice::WriteOwner) || !info.isWritable();
}

bool Is_Administrator(const QString &machine)
{
    Q_UNUSED(machine);
    // Registering file types is a per-user matter here: everyone may do it.
    return true;
}

QString File_Title(const QString &path)
{
    QString name = path.mid(Last_Separator(path) + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return name;
    const QString extension = name.mid(dot);
    name.remove(extension);
    return name;
}

QString Last_Folder_Name(const QString &path)
{
    QString folder = path.left(Last_Separator(path) + 1);
    folder.chop(1);
    return folder.mid(Last_Separator(folder) + 1);
}

int List_Files(QStringList &list, const QString &folder, const QString &mask, bool deep)
{
    if (folder.isEmpty())
        return 0;
    return List_Folder(list, With_Separator(folder), mask, deep);
}
