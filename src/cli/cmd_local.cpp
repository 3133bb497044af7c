#include "commands.h"

int Run_Translate_Command(const QStringList &)
{
    return Usage_Error(QStringLiteral("not available yet"));
}

int Run_Languages_Command(const QStringList &)
{
    return Usage_Error(QStringLiteral("not available yet"));
}

