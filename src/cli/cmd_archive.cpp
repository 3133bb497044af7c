#include "commands.h"

int Run_Dump_Command(const QStringList &)
{
    return Usage_Error(QStringLiteral("not available yet"));
}

int Run_Convert_Command(const QStringList &)
{
    return Usage_Error(QStringLiteral("not available yet"));
}

int Run_New_Command(const QStringList &)
{
    return Usage_Error(QStringLiteral("not available yet"));
}

int Run_Search_Command(const QStringList &)
{
    return Usage_Error(QStringLiteral("not available yet"));
}

int Run_Check_Command(const QStringList &)
{
    return Usage_Error(QStringLiteral("not available yet"));
}

