#include "commands.h"

#include "markup/terror.h"

#include <QCoreApplication>
#include <QMap>

#include <cstdio>
#include <functional>

void Print_Out(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void Print_Error(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    if (!text.endsWith(QLatin1Char('\n')))
        std::fputc('\n', stderr);
}

int Usage_Error(const QString &usage)
{
    Print_Error(QStringLiteral("usage: ") + usage);
    return 2;
}

static const char *const Usage_Text =
    "usage: tarsel-archive-cli COMMAND [ARGS]\n"
    "  sml FILE                      print an SML file's node tree as JSON\n"
    "  sml --write FILE.json         print the SML text of a JSON node tree\n"
    "  translate [--lang FILE.local] [--context TAG] TEXT\n"
    "  languages [FOLDER]            list the available languages as JSON\n"
    "  dump ARCHIVE [--plain|--compressed|--encrypted]\n"
    "  convert IN OUT [--plain|--compressed|--encrypted]\n"
    "  new OUT\n"
    "  search ARCHIVE TEXT [--in documents|titles|units|persons|subjects|folders]\n"
    "  check ARCHIVE\n";

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QMap<QString, std::function<int(const QStringList &)>> commands = {
        {QStringLiteral("sml"), Run_Sml_Command},
        {QStringLiteral("translate"), Run_Translate_Command},
        {QStringLiteral("languages"), Run_Languages_Command},
        {QStringLiteral("dump"), Run_Dump_Command},
        {QStringLiteral("convert"), Run_Convert_Command},
        {QStringLiteral("new"), Run_New_Command},
        {QStringLiteral("search"), Run_Search_Command},
        {QStringLiteral("check"), Run_Check_Command},
    };
    if (args.isEmpty() || !commands.contains(args.first())) {
        std::fputs(Usage_Text, stderr);
        return 2;
    }
    const QString name = args.takeFirst();
    try {
        return commands[name](args);
    } catch (const TError &e) {
        Print_Error(e.message());
        return 1;
    } catch (const std::exception &e) {
        Print_Error(QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
