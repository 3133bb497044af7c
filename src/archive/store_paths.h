#pragma once

#include <QString>

// Path texts of the documents store. Stored names use "\" between their steps, as the
// archive files were written on Windows; archive paths on this platform use "/". The
// helpers accept both, and To_Native_Path gives the form the file system understands.

bool Is_Path_Separator(QChar c);
// Every "\" turned into "/".
QString To_Native_Path(const QString &path);
// Runs of separators reduced to their first one. A leading pair of equal separators
// (a network path such as \\server\share) is kept as it is.
QString Collapse_Separators(const QString &path);
// The folder part of a path up to and including its last separator; empty for a bare name.
QString Folder_Part(const QString &path);
// The text after the last separator.
QString Name_Part(const QString &path);
// "name (n).ext" for a file name "name.ext"; a leading dot does not start an extension.
QString Numbered_File_Name(const QString &fileName, int n);
// True when both files exist and hold the same bytes.
bool Same_File_Content(const QString &nativeA, const QString &nativeB);
