// tarsel-archive: the desktop program.

#include "ui/main/application.h"

int main(int argc, char **argv)
{
    return Run_Application(argc, argv);
}
