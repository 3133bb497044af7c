#include "localization.h"

#include "markup/tsml.h"
#include "text/app_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

TLocal Active_Local;
bool Was_RTL = false;

namespace {

// Trimming as every SML text is trimmed: characters up to the space, on both ends.
QString Trim_Blanks(const QString &s)
{
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s.at(first).unicode() <= ' ')
        ++first;
    while (last > first && s.at(last - 1).unicode() <= ' ')
        --last;
    return s.mid(first, last - first);
}

QString Join_Path(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

struct TBuiltin_File
{
    const char *Resource;
    const char *FileName;
};

// Arabic first, as the installer has always written them.
constexpr TBuiltin_File Builtin_Files[] = {
    {":/langs/arabic.local", "arabic.local"},
    {":/langs/english.local", "english.local"},
};

} // namespace

bool Local_Is_RTL()
{
    return Active_Local.Target_Lang.Orientation == QLatin1String("rtl");
}

void Reset_Localization()
{
    Active_Local = TLocal();
    Active_Local.Source_Lang = QStringLiteral("English");
    Active_Local.Target_Lang.Name = QStringLiteral("Default");
    Active_Local.Target_Lang.Native_Name = QStringLiteral("English");
    Active_Local.Target_Lang.Orientation = QStringLiteral("ltr");
    Active_Local.Target_Lang.Keyboard_Layout = QStringLiteral("English");
}

QString Load_Localization(const QString &path)
{
    TSML doc;
    const TNode top = doc.Parse_File(path);
    const TNode localization = top.FindChildNode(QStringLiteral("localization"));
    if (Trim_Blanks(localization.Name).compare(QLatin1String("localization"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("The tag \"localization\" not found in localization file.");

    Active_Local = TLocal();
    Active_Local.File_Path = path;
    Active_Local.Author_Note = localization.Values(QStringLiteral("author_note"));

    const TNode header = localization.FindChildNode(QStringLiteral("header"));
    Active_Local.Source_Lang = header.Values(QStringLiteral("source_lang"));
    const TNode target = header.FindChildNode(QStringLiteral("target_lang"));
    Active_Local.Target_Lang.Name = Trim_Blanks(target.Value);
    Active_Local.Target_Lang.Native_Name = Trim_Blanks(target.Values(QStringLiteral("native_Name")));
    Active_Local.Target_Lang.Orientation = Trim_Blanks(target.Values(QStringLiteral("orientation")));
    Active_Local.Target_Lang.Keyboard_Layout = Trim_Blanks(target.Values(QStringLiteral("Keyboard_Layout")));

    // The name lookup ignores case, but only the lower-case spelling counts as the
    // translations node.
    const TNode *translations = localization.FindChild(QStringLiteral("translations"));
    if (!translations || translations->Name != QLatin1String("translations"))
        return QStringLiteral("The tag \"translations\" not found in localization file.");

    // Every child takes a slot, so Ids count positions among all children; a child
    // that is not a unit stays an inert entry that no lookup matches.
    const QList<TNode> &children = translations->Nodes;
    Active_Local.Units.resize(children.size());
    for (qsizetype i = 0; i < children.size(); ++i) {
        const TNode &node = children.at(i);
        if (node.Name != QLatin1String("unit"))
            continue;
        TTransUnit &unit = Active_Local.Units[i];
        unit.Id = qint32(i + 1);
        unit.Author_Note = Trim_Blanks(node.Values(QStringLiteral("author_note")));
        unit.Translator_Note = Trim_Blanks(node.Values(QStringLiteral("translator_note")));
        unit.Context = Trim_Blanks(node.Values(QStringLiteral("context")));
        unit.Source = Trim_Blanks(node.Values(QStringLiteral("source")));
        unit.Orientation = Trim_Blanks(node.Values(QStringLiteral("Orientation")));
        unit.Target = node.Values(QStringLiteral("target"));
        unit.Target_F = node.Values(QStringLiteral("target_f"));
        unit.Target_P = node.Values(QStringLiteral("target_o"));
        unit.Target_PF = node.Values(QStringLiteral("target_pf"));
    }
    return QString();
}

QString Apply_Language_File(const QString &path)
{
    Was_RTL = Local_Is_RTL();
    if (!path.isEmpty() && QFileInfo(path).isFile())
        return Load_Localization(path);
    Reset_Localization();
    return QString();
}

QString Remove_Accelerators(const QString &text)
{
    QString result = text;
    result.remove(QLatin1Char('&'));
    return result;
}

QString Prepare_Translation(const QString &text)
{
    QString result = text;
    result.replace(QLatin1String("%*"), QLatin1String("%s"));
    result.replace(QLatin1String("%#"), QLatin1String("%d"));
    result.replace(QLatin1String("\\n"), QString(QChar(13)));
    result.replace(QLatin1String("||"), QString(QChar(13)));
    return result;
}

QString Translate(const QString &text)
{
    const QString trimmed = Trim_Blanks(text);
    // A text with a bracket is a placeholder that shows nothing untranslated.
    QString result = trimmed.contains(QLatin1Char('[')) ? QString() : Prepare_Translation(text);
    if (trimmed.isEmpty())
        return result;
    const QString key = Trim_Blanks(Remove_Accelerators(text));
    for (const TTransUnit &unit : std::as_const(Active_Local.Units)) {
        if (Trim_Blanks(Remove_Accelerators(unit.Source)) != key)
            continue;
        if (!Trim_Blanks(unit.Target).isEmpty())
            result = Prepare_Translation(unit.Target);
        break;
    }
    return result;
}

QString Translate_In_Context(const QString &text, const QString &context)
{
    QString result = Prepare_Translation(text);
    if (Trim_Blanks(text).isEmpty())
        return result;
    const QString key = Trim_Blanks(Remove_Accelerators(text));
    const QString wanted = Trim_Blanks(context);
    for (const TTransUnit &unit : std::as_const(Active_Local.Units)) {
        if (Trim_Blanks(unit.Source) != key || Trim_Blanks(unit.Context) != wanted)
            continue;
        if (!Trim_Blanks(unit.Target).isEmpty())
            result = Prepare_Translation(unit.Target);
        break;
    }
    return result;
}

TLocal_Language Read_Language_Header(const QString &path)
{
    TLocal_Language entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entry;
    // Decode_Text falls back to the legacy code page for bytes that are not UTF-8.
    const QStringList lines = TSML::Split_Lines(TSML::Decode_Text(file.readAll()));
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (line.contains(QLatin1String("target_lang")) && eq >= 0)
            entry.Language = Trim_Blanks(line.mid(eq + 1));
        if (line.contains(QLatin1String("native_name"))) {
            if (eq >= 0)
                entry.Native_Name = Trim_Blanks(line.mid(eq + 1));
            break;
        }
    }
    return entry;
}

QString Languages_Folder()
{
    return App_Folder() + QStringLiteral("langs");
}

TLanguagesArray Get_Languages(const QString &folder)
{
    // Entries carry full paths, also when the caller names the folder relatively.
    const QString dir = QDir::cleanPath(QDir(folder.isEmpty() ? Languages_Folder() : folder).absolutePath());
    QStringList files;
    List_Files(files, Join_Path(dir, QString()), QStringLiteral("*.local"), false);

    TLanguagesArray result;
    result.reserve(files.size() + 1);
    result.append({QStringLiteral("Default"), QStringLiteral("English"), QString()});
    for (const QString &file : std::as_const(files)) {
        TLocal_Language entry;
        entry.FileName = file;
        try {
            const TLocal_Language header = Read_Language_Header(file);
            entry.Language = Trim_Blanks(header.Language).isEmpty() ? QStringLiteral("<Unknown>") : header.Language;
            entry.Native_Name = header.Native_Name;
        } catch (...) {
            // A file that cannot be read is still listed, with empty names.
        }
        result.append(entry);
    }
    return result;
}

bool Builtin_Languages_Exist()
{
    const QString dir = Languages_Folder();
    for (const TBuiltin_File &builtin : Builtin_Files) {
        if (!QFileInfo(Join_Path(dir, QLatin1String(builtin.FileName))).isFile())
            return false;
    }
    return true;
}

QString Write_Builtin_Languages(bool overwrite)
{
    const QString dir = Languages_Folder();
    if (!QDir().mkpath(dir))
        return QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(dir));

    QStringList errors;
    for (const TBuiltin_File &builtin : Builtin_Files) {
        const QString target = Join_Path(dir, QLatin1String(builtin.FileName));
        if (!overwrite && QFileInfo::exists(target))
            continue;
        QFile resource(QLatin1String(builtin.Resource));
        if (!resource.open(QIODevice::ReadOnly)) {
            errors << QStringLiteral("The built-in file %1 is missing").arg(QLatin1String(builtin.FileName));
            continue;
        }
        const QByteArray bytes = resource.readAll();
        // QSaveFile leaves an existing file intact when the write fails half way.
        QSaveFile out(target);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            errors << QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(target), out.errorString());
    }
    return errors.join(QLatin1Char('\n'));
}
