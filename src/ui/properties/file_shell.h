#pragma once

#include <QString>

#include <functional>

// Opening an attached file with the system's default program and showing it in the file
// manager. Both hand a URL to the desktop, never a command line built from a stored name.
bool Open_File_With_System(const QString &path);
// Shows the file selected in the file manager (freedesktop FileManager1 over D-Bus where a
// file manager offers it); otherwise, or for a missing file, opens its folder.
bool Show_File_In_File_Manager(const QString &path);

// Test seam: while set, the two calls above are passed to these instead of the desktop.
struct TFile_Shell
{
    std::function<bool(const QString &path)> Open;
    std::function<bool(const QString &path)> Show;
};
void Set_File_Shell(TFile_Shell shell);
