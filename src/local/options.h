#pragma once

#include <QString>

// The user's settings, kept in App_Dir() + "/user/options.sml".
struct TOptions
{
    QString Language;      // "Default", a file's target language name, or empty when never chosen
    QString Language_File; // full path of the chosen ".local" file; empty for the built-in texts
    QString Last_Opened_Archive;
    bool Open_Last_Archive_On_Startup = false;
    qint32 Tree_Font_Size = 0;
};

extern TOptions Current_Options;

QString Options_File_Path();

// Reads the options file into Current_Options; without a file the record stays as it
// was. Errors of the SML reader are raised as TError.
void Load_Options();
// Writes Current_Options to the options file, creating its folder when needed.
// On failure returns false and, when reason is given, sets it to the cause.
bool Save_Options(QString *reason = nullptr);

// "Language File" as stored: relative to the program folder with "\" separators when
// the file lies inside it, otherwise the path unchanged.
QString Language_File_To_Stored(const QString &path);
// The stored form back to a full platform path; "\" and "/" are both accepted.
QString Language_File_From_Stored(const QString &stored);
