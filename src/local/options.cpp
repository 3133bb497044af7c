#include "options.h"

#include "markup/tsml.h"
#include "text/app_paths.h"

#include <QDir>
#include <QFileInfo>

TOptions Current_Options;

QString Options_File_Path()
{
    return App_Dir() + QStringLiteral("/user/options.sml");
}

QString Language_File_To_Stored(const QString &path)
{
    if (path.isEmpty())
        return path;
    QString base = QDir::cleanPath(QDir::fromNativeSeparators(App_Folder()));
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    const QString full = QDir::cleanPath(QDir::fromNativeSeparators(path));
    if (!full.startsWith(base) || full.size() == base.size())
        return path;
    QString relative = full.mid(base.size());
    relative.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return relative;
}

QString Language_File_From_Stored(const QString &stored)
{
    if (stored.isEmpty())
        return stored;
    QString path = stored;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isRelativePath(path))
        path = QDir::fromNativeSeparators(App_Folder()) + path;
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

void Load_Options()
{
    const QString path = Options_File_Path();
    if (!QFileInfo(path).isFile())
        return;
    TSML doc;
    const TNode top = doc.Parse_File(path);
    Current_Options = TOptions();
    Current_Options.Language = top.Values(QStringLiteral("Language"));
    Current_Options.Language_File = Language_File_From_Stored(top.Values(QStringLiteral("Language File")));
    Current_Options.Last_Opened_Archive = top.Values(QStringLiteral("Last Opened Archive"));
    Current_Options.Open_Last_Archive_On_Startup =
        top.FindChildNode(QStringLiteral("Open last Archive on startup")).AsBoolean();
    Current_Options.Tree_Font_Size = top.FindChildNode(QStringLiteral("Tree Font Size")).AsInteger();
}

bool Save_Options(QString *reason)
{
    const QString path = Options_File_Path();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (reason)
            *reason = QStringLiteral("Cannot create the folder %1")
                          .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
        return false;
    }
    TSML doc;
    doc.FileName = path;
    doc.Node.Init(QStringLiteral("Options"));
    doc.Node.AddNode(QStringLiteral("Language"), Current_Options.Language);
    doc.Node.AddNode(QStringLiteral("Language File"), Language_File_To_Stored(Current_Options.Language_File));
    doc.Node.AddNode(QStringLiteral("Last Opened Archive"), Current_Options.Last_Opened_Archive);
    doc.Node.AddNode(QStringLiteral("Open last Archive on startup"), Current_Options.Open_Last_Archive_On_Startup);
    doc.Node.AddNode(QStringLiteral("Tree Font Size"), int(Current_Options.Tree_Font_Size));
    if (doc.Save())
        return true;
    if (reason)
        *reason = doc.Last_Error;
    return false;
}
