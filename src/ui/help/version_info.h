#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// The version strings of a program file. A Linux program carries no version resource,
// so the build records the strings of this program in it (the project's version from
// CMake); the running program's file, or an empty name, reads those. Any other file has
// no version information and every key reads "N/A".
class TVersionInfo
{
public:
    enum TStandard_Key { CompanyName_Key, FileDescription_Key, FileVersion_Key, InternalName_Key,
                         Copyright_Key, TradeMarks_Key, OriginalFileName_Key, ProductName_Key,
                         ProductVersion_Key, Comments_Key, Standard_Key_Count };

    explicit TVersionInfo(const QString &fileName = QString());
    // Version information given as its strings, as a resource would hold them.
    explicit TVersionInfo(const QMap<QString, QString> &strings);

    // The strings this build records in the program.
    static QMap<QString, QString> Program_Strings();
    // Names of the ten standard keys, by index.
    static QStringList Standard_Key_Names();

    bool InfoAvailable() const { return FInfoAvailable; }
    // Language and code page of the strings, as eight hexadecimal digits.
    QString LangCharset() const { return FLangCharset; }
    // "N/A" without version information; empty for a key the information does not hold.
    // Without information the named properties below are empty.
    QString GetKey(const QString &name) const;

    QString CompanyName() const { return StandardKeys[CompanyName_Key]; }
    void SetCompanyName(const QString &value) { StandardKeys[CompanyName_Key] = value; }
    QString FileDescription() const { return StandardKeys[FileDescription_Key]; }
    QString FileVersion() const { return StandardKeys[FileVersion_Key]; }
    QString InternalName() const { return StandardKeys[InternalName_Key]; }
    QString Copyright() const { return StandardKeys[Copyright_Key]; }
    QString TradeMarks() const { return StandardKeys[TradeMarks_Key]; }
    QString OriginalFileName() const { return StandardKeys[OriginalFileName_Key]; }
    QString ProductName() const { return StandardKeys[ProductName_Key]; }
    void SetProductName(const QString &value) { StandardKeys[ProductName_Key] = value; }
    QString ProductVersion() const { return StandardKeys[ProductVersion_Key]; }
    void SetProductVersion(const QString &value) { StandardKeys[ProductVersion_Key] = value; }
    QString Comments() const { return StandardKeys[Comments_Key]; }
    // The last dot-separated part of FileVersion.
    QString BuildNumber() const;

private:
    void Read_Standard_Keys();

    QMap<QString, QString> VersionInfo;
    QString FLangCharset;
    bool FInfoAvailable = false;
    QString StandardKeys[Standard_Key_Count];
};
