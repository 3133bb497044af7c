#include "ui/properties/file_shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#ifdef TARSEL_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#endif

namespace {

TFile_Shell Shell;

bool Show_Via_File_Manager_Service(const QString &path)
{
#ifdef TARSEL_HAVE_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
    return reply.type() == QDBusMessage::ReplyMessage;
#else
    Q_UNUSED(path);
    return false;
#endif
}

} // namespace

void Set_File_Shell(TFile_Shell shell)
{
    Shell = std::move(shell);
}

bool Open_File_With_System(const QString &path)
{
    if (path.isEmpty())
        return false;
    if (Shell.Open)
        return Shell.Open(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool Show_File_In_File_Manager(const QString &path)
{
    if (path.isEmpty())
        return false;
    if (Shell.Show)
        return Shell.Show(path);
    const QFileInfo info(path);
    if (info.exists() && Show_Via_File_Manager_Service(info.absoluteFilePath()))
        return true;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absolutePath()));
}
