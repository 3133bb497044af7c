#include "commands.h"

int Run_Sml_Command(const QStringList &)
{
    return Usage_Error(QStringLiteral("not available yet"));
}

