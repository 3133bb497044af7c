#include "commands.h"

#include "archive/tarchitem.h"
#include "markup/terror.h"
#include "text/huge_page_heap.h"

#include <QCoreApplication>
#include <QMap>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

std::vector<std::unique_ptr<TArchive>> &Kept()
{
    static std::vector<std::unique_ptr<TArchive>> kept;
    return kept;
}

// Leaves at once when archives were kept, without freeing them; with AddressSanitizer the
// leak check runs at exit, so there they are freed as usual.
int Finish(int status)
{
#if !defined(__SANITIZE_ADDRESS__)
    if (!Kept().empty()) {
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(status);
    }
#endif
    Kept().clear();
    return status;
}

} // namespace

void Keep_Until_Exit(std::unique_ptr<TArchive> archive)
{
    Kept().push_back(std::move(archive));
}

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
    "                 [--from-plain|--from-compressed|--from-encrypted]\n"
    "  new OUT [--plain|--compressed|--encrypted]\n"
    "  search ARCHIVE TEXT [--in documents|titles|units|persons|subjects|folders]\n"
    "                      [--plain|--compressed|--encrypted]\n"
    "  check ARCHIVE [--plain|--compressed|--encrypted]\n";

int main(int argc, char **argv)
{
    Restart_With_Huge_Page_Heap(argv);
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
        return Finish(commands[name](args));
    } catch (const TError &e) {
        Print_Error(e.message());
        return Finish(1);
    } catch (const std::exception &e) {
        Print_Error(QString::fromLocal8Bit(e.what()));
        return Finish(1);
    }
}
