#include "store_paths.h"

#include <QFile>
#include <QFileInfo>

bool Is_Path_Separator(QChar c)
{
    return c == u'\\' || c == u'/';
}

QString To_Native_Path(const QString &path)
{
    QString result = path;
    result.replace(u'\\', u'/');
    return result;
}

QString Collapse_Separators(const QString &path)
{
    QString result;
    result.reserve(path.size());
    qsizetype i = 0;
    if (path.size() > 2 && Is_Path_Separator(path[0]) && path[1] == path[0] && !Is_Path_Separator(path[2])) {
        result += path.left(2);
        i = 2;
    }
    const qsizetype prefix = i;
    for (; i < path.size(); ++i) {
        const QChar c = path[i];
        if (Is_Path_Separator(c) && result.size() > prefix && Is_Path_Separator(result.back()))
            continue;
        result += c;
    }
    return result;
}

QString Folder_Part(const QString &path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (Is_Path_Separator(path[i]))
            return path.left(i + 1);
    return QString();
}

QString Name_Part(const QString &path)
{
    return path.mid(Folder_Part(path).size());
}

QString Numbered_File_Name(const QString &fileName, int n)
{
    qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot <= 0)
        dot = fileName.size();
    return fileName.left(dot) + QStringLiteral(" (%1)").arg(n) + fileName.mid(dot);
}

bool Same_File_Content(const QString &nativeA, const QString &nativeB)
{
    QFile a(nativeA);
    QFile b(nativeB);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return false;
    if (a.size() != b.size())
        return false;
    constexpr qint64 chunk = 64 * 1024;
    while (!a.atEnd()) {
        const QByteArray x = a.read(chunk);
        const QByteArray y = b.read(chunk);
        if (x.isEmpty() || x != y)
            return false;
    }
    return true;
}
