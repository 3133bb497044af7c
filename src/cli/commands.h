#pragma once

#include <QStringList>

#include <memory>

class TArchive;

// Each command takes the arguments after its own name and returns the exit status:
// 0 success, 1 an error (message on standard error), 2 a usage error (usage text on
// standard error), 3 where a command defines it.
int Run_Sml_Command(const QStringList &args);       // sml
int Run_Translate_Command(const QStringList &args); // translate
int Run_Languages_Command(const QStringList &args); // languages
int Run_Dump_Command(const QStringList &args);      // dump
int Run_Convert_Command(const QStringList &args);   // convert
int Run_New_Command(const QStringList &args);       // new
int Run_Search_Command(const QStringList &args);    // search
int Run_Check_Command(const QStringList &args);     // check

// Output helpers shared by the commands: UTF-8 to stdout / stderr.
void Print_Out(const QString &text);
void Print_Error(const QString &text);
int Usage_Error(const QString &usage);

// The archive stays until the process exits: freeing 100,000 documents item by item is
// work nobody waits for at exit (builds that check for leaks still free it).
void Keep_Until_Exit(std::unique_ptr<TArchive> archive);
