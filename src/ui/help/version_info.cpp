#include "ui/help/version_info.h"

#include <QCoreApplication>
#include <QFileInfo>

#ifndef TARSEL_VERSION
#define TARSEL_VERSION "0.0.0"
#endif

namespace {

bool Is_Running_Program(const QString &fileName)
{
    if (fileName.isEmpty())
        return true;
    if (!QCoreApplication::instance())
        return false;
    const QFileInfo given(fileName);
    const QFileInfo program(QCoreApplication::applicationFilePath());
    return given.exists() && given.canonicalFilePath() == program.canonicalFilePath();
}

} // namespace

TVersionInfo::TVersionInfo(const QString &fileName)
{
    if (Is_Running_Program(fileName)) {
        VersionInfo = Program_Strings();
        FLangCharset = QStringLiteral("040904b0");
        FInfoAvailable = true;
        Read_Standard_Keys();
    }
}

TVersionInfo::TVersionInfo(const QMap<QString, QString> &strings)
    : VersionInfo(strings), FLangCharset(QStringLiteral("040904b0")), FInfoAvailable(true)
{
    Read_Standard_Keys();
}

QMap<QString, QString> TVersionInfo::Program_Strings()
{
    const QString version = QStringLiteral(TARSEL_VERSION);
    const QString program = QCoreApplication::instance()
                                ? QFileInfo(QCoreApplication::applicationFilePath()).fileName()
                                : QStringLiteral("tarsel-archive");
    return {
        {QStringLiteral("FileDescription"), QStringLiteral("Tarsel Archive")},
        {QStringLiteral("FileVersion"), version},
        {QStringLiteral("InternalName"), QStringLiteral("tarsel-archive")},
        {QStringLiteral("OriginalFilename"), program},
        {QStringLiteral("ProductName"), QStringLiteral("Tarsel Archive")},
        {QStringLiteral("ProductVersion"), version},
    };
}

QStringList TVersionInfo::Standard_Key_Names()
{
    return {QStringLiteral("CompanyName"),     QStringLiteral("FileDescription"),  QStringLiteral("FileVersion"),
            QStringLiteral("InternalName"),    QStringLiteral("LegalCopyright"),   QStringLiteral("LegalTrademarks"),
            QStringLiteral("OriginalFilename"), QStringLiteral("ProductName"),     QStringLiteral("ProductVersion"),
            QStringLiteral("Comments")};
}

void TVersionInfo::Read_Standard_Keys()
{
    const QStringList names = Standard_Key_Names();
    for (int i = 0; i < Standard_Key_Count; ++i)
        StandardKeys[i] = GetKey(names[i]);
}

QString TVersionInfo::GetKey(const QString &name) const
{
    if (!FInfoAvailable)
        return QStringLiteral("N/A");
    return VersionInfo.value(name);
}

QString TVersionInfo::BuildNumber() const
{
    const QString version = FileVersion();
    return version.mid(version.lastIndexOf(u'.') + 1);
}
