#include "ui/options/language_choice.h"

#include <QDir>
#include <QFileInfo>

#include "local/options.h"
#include "markup/terror.h"
#include "ui/controls/msg_box.h"
#include "ui/main/control_bridge.h"

namespace {

QString Full_Path(const QString &path)
{
    if (path.trimmed().isEmpty())
        return {};
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

int Rtl_Style()
{
    return Local_Is_RTL() ? MB_RIGHT | MB_RTLREADING : 0;
}

} // namespace

QStringList Language_Rows(const TLanguagesArray &languages)
{
    QStringList rows;
    rows.reserve(languages.size());
    for (const TLocal_Language &entry : languages) {
        rows.append(entry.Native_Name + QStringLiteral("  ") + entry.Language);
        if (entry.Language == QLatin1String("English") && !rows.isEmpty())
            rows[0].clear();
    }
    return rows;
}

int Active_Language_Row(const TLanguagesArray &languages)
{
    const QString active = Full_Path(Active_Local.File_Path);
    for (int i = 0; i < languages.size(); ++i) {
        if (Full_Path(languages[i].FileName) == active)
            return i;
    }
    return 0;
}

bool Save_Options_And_Language(bool *languageChanged)
{
    QString reason;
    const bool saved = Save_Options(&reason);
    if (!saved) {
        Msg_Box(Translate(QStringLiteral("Cannot save file.")) + u'|' + reason + u'\r'
                    + QDir::toNativeSeparators(Options_File_Path()),
                QStringLiteral("Save Failed"), MB_OK | MB_ICONHAND | Rtl_Style());
    }
    // The choice holds in memory even when the file could not be written: the options
    // are written again when the program ends.
    const bool changed = Current_Options.Language != Active_Local.Target_Lang.Name;
    if (languageChanged)
        *languageChanged = changed;
    if (changed) {
        QString message;
        try {
            message = Apply_Language_File(Current_Options.Language_File);
        } catch (const TError &error) {
            message = error.message();
        }
        if (!message.isEmpty())
            Msg_Box(message, QString::fromLatin1(Localization_Error_Caption), MB_OK | MB_ICONHAND);
        Control_Localize_Main();
    }
    return saved;
}
