#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::fputs("usage: tarsel-archive-cli COMMAND ...\n", stderr);
    return 2;
}
