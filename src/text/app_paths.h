#pragma once

#include <QString>
#include <QStringList>

#include "markup/tnode.h"

// A new GUID in braced 38-character form, hexadecimal digits in capitals.
QString New_Id();
// The program's own folder when it is writable (portable use), otherwise the XDG data
// location; ends with a separator.
QString App_Folder();
QString App_Dir();
// Overrides the folder App_Folder reports (tests and the command-line program use it).
void Set_App_Folder(const QString &folder);
TDateTime Build_Time();
bool Is_Read_Only(const QString &path);
bool Is_Administrator(const QString &machine);
QString File_Title(const QString &path);
QString Last_Folder_Name(const QString &path);
int List_Files(QStringList &list, const QString &folder, const QString &mask, bool deep);
