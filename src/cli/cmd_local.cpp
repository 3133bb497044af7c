#include "commands.h"

#include "local/localization.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char *const Translate_Usage = "tarsel-archive-cli translate [--lang FILE.local] [--context TAG] TEXT";
const char *const Languages_Usage = "tarsel-archive-cli languages [FOLDER]";

} // namespace

int Run_Translate_Command(const QStringList &args)
{
    QString langFile;
    QString context;
    bool hasContext = false;
    QStringList texts;
    bool optionsDone = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (!optionsDone && arg == QLatin1String("--")) {
            optionsDone = true;
        } else if (!optionsDone && (arg == QLatin1String("--lang") || arg == QLatin1String("--context"))) {
            if (i + 1 >= args.size())
                return Usage_Error(QLatin1String(Translate_Usage));
            if (arg == QLatin1String("--lang")) {
                langFile = args.at(++i);
            } else {
                context = args.at(++i);
                hasContext = true;
            }
        } else if (!optionsDone && arg.startsWith(QLatin1String("--"))) {
            return Usage_Error(QLatin1String(Translate_Usage));
        } else {
            texts << arg;
        }
    }
    if (texts.size() != 1)
        return Usage_Error(QLatin1String(Translate_Usage));

    Reset_Localization();
    if (!langFile.isNull()) {
        if (!QFileInfo(langFile).isFile()) {
            Print_Error(QStringLiteral("File not found"));
            return 1;
        }
        const QString error = Load_Localization(langFile);
        if (!error.isEmpty()) {
            Print_Error(error);
            return 1;
        }
    }
    const QString &text = texts.first();
    Print_Out((hasContext ? Translate_In_Context(text, context) : Translate(text)) + QLatin1Char('\n'));
    return 0;
}

int Run_Languages_Command(const QStringList &args)
{
    if (args.size() > 1 || (args.size() == 1 && args.first().startsWith(QLatin1String("--"))))
        return Usage_Error(QLatin1String(Languages_Usage));
    QJsonArray list;
    for (const TLocal_Language &entry : Get_Languages(args.value(0))) {
        list.append(QJsonObject{
            {QStringLiteral("language"), entry.Language},
            {QStringLiteral("nativeName"), entry.Native_Name},
            {QStringLiteral("fileName"), entry.FileName},
        });
    }
    Print_Out(QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented)));
    return 0;
}
