#pragma once

#include <QList>
#include <QString>

// The language the translations are written in and how its windows are laid out.
struct TTarget_Lang
{
    QString Name;            // English name, e.g. "Arabic"
    QString Native_Name;     // the language's own name
    QString Orientation;     // "rtl" or "ltr"
    QString Keyboard_Layout; // English name of the keyboard layout to activate
};

// One translation unit of a ".local" file. Only Id, Context, Source and Target
// take part in a lookup; the other fields are kept for the file's authors.
struct TTransUnit
{
    qint32 Id = 0;
    QString Author_Note;
    QString Translator_Note;
    QString Context;
    QString Source;
    QString Orientation;
    QString Target;
    QString Target_F;
    QString Target_P;
    QString Target_PF;
};

// The active localization: one process-wide instance, Active_Local.
struct TLocal
{
    QString File_Path;
    QString Author_Note;
    QString Source_Lang;
    TTarget_Lang Target_Lang;
    QList<TTransUnit> Units;
};

// One entry of the list of available languages.
struct TLocal_Language
{
    QString Language;
    QString Native_Name;
    QString FileName; // full path; empty for the built-in default
};

using TLanguagesArray = QList<TLocal_Language>;

extern TLocal Active_Local;
// Whether the orientation was "rtl" just before the last Apply_Language_File.
extern bool Was_RTL;

// Caption under which the user interface shows the errors of Load_Localization.
inline constexpr const char *Localization_Error_Caption = "Error";

// True exactly when the active orientation is "rtl"; anything else is left-to-right.
bool Local_Is_RTL();

void Reset_Localization();

// Reads a ".local" file into Active_Local. Returns the message to show the user when
// the file lacks its "localization" node (Active_Local then stays as it was) or its
// "translations" node (the header is loaded, no units); empty when the file loaded.
// Errors of the SML reader are raised as TError and leave Active_Local unchanged.
QString Load_Localization(const QString &path);

// The one way the program changes its language: remembers the old direction in
// Was_RTL, then loads path when that file exists and resets to the defaults otherwise.
// Returns the message of Load_Localization.
QString Apply_Language_File(const QString &path);

QString Translate(const QString &text);
QString Translate_In_Context(const QString &text, const QString &context);
// "%*" -> "%s", "%#" -> "%d", backslash-n and "||" -> a carriage return.
QString Prepare_Translation(const QString &text);
QString Remove_Accelerators(const QString &text);

// The language names of a file's header, found by scanning its lines; FileName is left empty.
TLocal_Language Read_Language_Header(const QString &path);
// Entry 0 is the built-in default, then one entry per "*.local" file in folder
// (App_Folder() + "langs" when folder is empty).
TLanguagesArray Get_Languages(const QString &folder);

// Folder the built-in language files are installed in: App_Folder() + "langs".
QString Languages_Folder();
bool Builtin_Languages_Exist();
// Writes the built-in "arabic.local" and "english.local" into Languages_Folder(),
// leaving existing files alone unless overwrite is set. Returns an error text, empty
// when every file that had to be written was written.
QString Write_Builtin_Languages(bool overwrite);
