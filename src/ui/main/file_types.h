#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Association of the archive extensions ".arc" and ".arcx" with the program, the
// freedesktop way: a desktop entry, a shared-mime-info type and the icon, written into
// the user's data folder. The same files are installed system-wide with the program.

inline constexpr const char *Archive_Mime_Type = "application/x-tarsel-archive";
inline constexpr const char *Desktop_Entry_Name = "tarsel-archive.desktop";
inline constexpr const char *Mime_Package_Name = "tarsel-archive.xml";
inline constexpr const char *Icon_Name = "tarsel-archive.svg";

// The desktop entry as installed, with its Exec line starting executable instead.
QString Desktop_Entry_Text(const QString &executable);
QByteArray Mime_Package_Text();
QByteArray Icon_Data();

// executable written as one argument of a desktop entry's Exec key, escaped for the
// key's string value as well.
QString Desktop_Exec_Argument(const QString &executable);

struct TFile_Type_Registration
{
    QStringList Written; // paths of the files written because they were missing or differed
    QStringList Tools;   // the database refreshes started, as "program argument"
    QString Error;       // the first file that could not be written and why; empty when none
};

// Starts a program with an argument list, without waiting for it.
using TTool_Runner = std::function<void(const QString &program, const QStringList &arguments)>;

// Writes the desktop entry, the MIME type and the icon under dataFolder (the user's XDG
// data folder when empty), each only when it differs from what is there, then refreshes
// the MIME and desktop databases of that folder when their files changed and the tools
// exist. A file that cannot be written is skipped; the others are still written.
TFile_Type_Registration Register_File_Types(const QString &executable, const QString &dataFolder = QString(),
                                            const TTool_Runner &runner = TTool_Runner());
