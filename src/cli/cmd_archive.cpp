#include "commands.h"

#include "archive/archive_file.h"
#include "archive/tarchitem.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace {

// The container of an archive file: by extension unless an option names it.
struct Container
{
    bool Compressed = false;
    bool Encrypted = false;
};

Container Container_Of(const QString &path)
{
    return Container{Is_Compressed_Archive_Path(path), false};
}

// Positional arguments and options of one command line. Options named in `valued` take the
// next argument as their value.
struct Parsed_Args
{
    QStringList Positional;
    QStringList Flags;
    QMap<QString, QString> Values;
    bool Ok = true;
};

Parsed_Args Parse_Args(const QStringList &args, const QStringList &flags, const QStringList &valued = {})
{
    Parsed_Args result;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a.startsWith(QLatin1String("--"))) {
            if (flags.contains(a)) {
                result.Flags.append(a);
            } else if (valued.contains(a) && i + 1 < args.size() && !result.Values.contains(a)) {
                result.Values.insert(a, args[++i]);
            } else {
                result.Ok = false;
            }
        } else {
            result.Positional.append(a);
        }
    }
    return result;
}

// Reads one of --plain, --compressed, --encrypted (with the given prefix) from the flags;
// nothing when none is given, and Ok false when more than one is.
std::optional<Container> Container_Flag(const Parsed_Args &parsed, const QString &prefix, bool &ok)
{
    std::optional<Container> result;
    int count = 0;
    for (const QString &f : parsed.Flags) {
        if (f == prefix + QLatin1String("plain")) {
            result = Container{false, false};
            ++count;
        } else if (f == prefix + QLatin1String("compressed")) {
            result = Container{true, false};
            ++count;
        } else if (f == prefix + QLatin1String("encrypted")) {
            result = Container{false, true};
            ++count;
        }
    }
    if (count > 1)
        ok = false;
    return result;
}

QStringList Container_Flags(const QString &prefix)
{
    return {prefix + QLatin1String("plain"), prefix + QLatin1String("compressed"),
            prefix + QLatin1String("encrypted")};
}

std::unique_ptr<TArchive> Load(const QString &path, Container c)
{
    return Load_Archive_File(path, c.Compressed, c.Encrypted);
}

// ---------------------------------------------------------------------------------------
// JSON form of the model

template<class T, class F>
QJsonArray Json_List(const TOwnList<T> &list, F convert)
{
    QJsonArray array;
    for (const auto &item : list)
        if (item)
            array.append(convert(*item));
    return array;
}

QJsonObject Json_Document(const TDocument &doc)
{
    QJsonArray files;
    for (const TDoc_Digital_File &file : doc.Digital_Files)
        files.append(file.FileName);
    return QJsonObject{
        {QStringLiteral("id"), doc.Id},
        {QStringLiteral("name"), doc.Name},
        {QStringLiteral("type"), doc.A_Type},
        {QStringLiteral("reference"), doc.Reference},
        {QStringLiteral("physicalLocation"), doc.Physical_Location},
        {QStringLiteral("description"), doc.Description},
        {QStringLiteral("keywords"), doc.Keywords},
        {QStringLiteral("location"), doc.Location},
        {QStringLiteral("mail"),
         QJsonObject{
             {QStringLiteral("internal"), doc.Mail.Internal},
             {QStringLiteral("date"), doc.Mail.Date},
             {QStringLiteral("from"), doc.Mail.Mail_From},
             {QStringLiteral("to"), doc.Mail.Mail_To},
             {QStringLiteral("deliveryDate"), doc.Mail.Delivery_date},
         }},
        {QStringLiteral("files"), files},
        {QStringLiteral("documents"), Json_List(doc.Docs, Json_Document)},
    };
}

QJsonObject Json_Subject(const TSubject &subject)
{
    return QJsonObject{
        {QStringLiteral("id"), subject.Id},
        {QStringLiteral("name"), subject.Name},
        {QStringLiteral("subjects"), Json_List(subject.Subs, Json_Subject)},
        {QStringLiteral("documents"), Json_List(subject.Docs, Json_Document)},
    };
}

QJsonObject Json_Folder(const TDocArchive &folder)
{
    return QJsonObject{
        {QStringLiteral("id"), folder.Id},
        {QStringLiteral("name"), folder.Name},
        {QStringLiteral("documents"), Json_List(folder.Docs, Json_Document)},
        {QStringLiteral("subjects"), Json_List(folder.Subs, Json_Subject)},
        {QStringLiteral("folders"), Json_List(folder.Archives, Json_Folder)},
    };
}

QJsonObject Json_Person(const TPerson &person)
{
    return QJsonObject{
        {QStringLiteral("id"), person.Id},
        {QStringLiteral("name"), person.Name},
        {QStringLiteral("no"), person.No},
        {QStringLiteral("unitId"), person.Unit_Id},
        {QStringLiteral("documents"), Json_List(person.Documents, Json_Document)},
        {QStringLiteral("subjects"), Json_List(person.Subjects, Json_Subject)},
        {QStringLiteral("folders"), Json_List(person.Archives, Json_Folder)},
    };
}

QJsonObject Json_Unit(const TUnit &unit)
{
    const QJsonArray persons = unit.Persons ? Json_List(unit.Persons->Persons, Json_Person) : QJsonArray();
    const QJsonObject own = unit.Archive ? Json_Folder(*unit.Archive) : Json_Folder(TDocArchive());
    return QJsonObject{
        {QStringLiteral("id"), unit.Id},
        {QStringLiteral("name"), unit.Name},
        {QStringLiteral("type"), unit.AType},
        {QStringLiteral("documents"), Json_List(unit.Documents, Json_Document)},
        {QStringLiteral("folders"), Json_List(unit.Archives, Json_Folder)},
        {QStringLiteral("ownFolder"), own},
        {QStringLiteral("persons"), persons},
        {QStringLiteral("units"), Json_List(unit.Units, Json_Unit)},
    };
}

QJsonObject Json_Meta(const TMeta &meta)
{
    QJsonArray items;
    for (const TItem &item : meta.Items) {
        QJsonArray fields;
        for (const TField &field : item.Fields)
            fields.append(QJsonObject{
                {QStringLiteral("name"), field.Name},
                {QStringLiteral("dataType"), field.Data_Type},
                {QStringLiteral("values"), QJsonArray::fromStringList(field.Values)},
            });
        items.append(QJsonObject{
            {QStringLiteral("name"), item.Name},
            {QStringLiteral("group"), item.Group},
            {QStringLiteral("fields"), fields},
        });
    }
    return QJsonObject{{QStringLiteral("items"), items}};
}

QJsonObject Json_Archive(const TArchive &archive)
{
    const QJsonObject unit = archive.AUnit ? Json_Unit(*archive.AUnit) : Json_Unit(TUnit());
    return QJsonObject{
        {QStringLiteral("name"), archive.Name},
        {QStringLiteral("filePath"), archive.FilePath},
        {QStringLiteral("documents"), Json_List(archive.Documents, Json_Document)},
        {QStringLiteral("folders"), Json_List(archive.Archives, Json_Folder)},
        {QStringLiteral("unit"), unit},
        {QStringLiteral("meta"), Json_Meta(archive.Meta)},
    };
}

QString Json_Line(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

template<class T>
void Print_Hits(const QList<T *> &hits, const QString &kind)
{
    QString out;
    for (const T *item : hits)
        out += Json_Line(QJsonObject{
            {QStringLiteral("kind"), kind},
            {QStringLiteral("id"), item->Id},
            {QStringLiteral("name"), item->Name},
        });
    Print_Out(out);
}

const QString Dump_Usage = QStringLiteral("tarsel-archive-cli dump ARCHIVE [--plain|--compressed|--encrypted]");
const QString Convert_Usage = QStringLiteral(
    "tarsel-archive-cli convert IN OUT [--plain|--compressed|--encrypted] "
    "[--from-plain|--from-compressed|--from-encrypted]");
const QString New_Usage = QStringLiteral("tarsel-archive-cli new OUT [--plain|--compressed|--encrypted]");
const QString Search_Usage = QStringLiteral(
    "tarsel-archive-cli search ARCHIVE TEXT [--in documents|titles|units|persons|subjects|folders] "
    "[--plain|--compressed|--encrypted]");
const QString Check_Usage = QStringLiteral("tarsel-archive-cli check ARCHIVE [--plain|--compressed|--encrypted]");

// Parses "COMMAND PATHS... [container flag]" with `count` positional arguments.
bool Parse_Reading_Command(const QStringList &args, int count, Parsed_Args &parsed, Container &c,
                           const QStringList &valued = {})
{
    parsed = Parse_Args(args, Container_Flags(QStringLiteral("--")), valued);
    bool ok = parsed.Ok && parsed.Positional.size() == count;
    if (!ok)
        return false;
    const std::optional<Container> flag = Container_Flag(parsed, QStringLiteral("--"), ok);
    c = flag.value_or(Container_Of(parsed.Positional.first()));
    return ok;
}

} // namespace

int Run_Dump_Command(const QStringList &args)
{
    Parsed_Args parsed;
    Container c;
    if (!Parse_Reading_Command(args, 1, parsed, c))
        return Usage_Error(Dump_Usage);
    auto archive = Load(parsed.Positional[0], c);
    Print_Out(QString::fromUtf8(QJsonDocument(Json_Archive(*archive)).toJson(QJsonDocument::Indented)));
    Keep_Until_Exit(std::move(archive));
    return 0;
}

int Run_Convert_Command(const QStringList &args)
{
    const Parsed_Args parsed =
        Parse_Args(args, Container_Flags(QStringLiteral("--")) + Container_Flags(QStringLiteral("--from-")));
    bool ok = parsed.Ok && parsed.Positional.size() == 2;
    if (!ok)
        return Usage_Error(Convert_Usage);
    const QString in = parsed.Positional[0];
    const QString out = parsed.Positional[1];
    const Container from = Container_Flag(parsed, QStringLiteral("--from-"), ok).value_or(Container_Of(in));
    const Container to = Container_Flag(parsed, QStringLiteral("--"), ok).value_or(Container_Of(out));
    if (!ok)
        return Usage_Error(Convert_Usage);
    auto archive = Load(in, from);
    Save_Archive_File(*archive, out, to.Compressed, to.Encrypted);
    Keep_Until_Exit(std::move(archive));
    return 0;
}

int Run_New_Command(const QStringList &args)
{
    Parsed_Args parsed;
    Container c;
    if (!Parse_Reading_Command(args, 1, parsed, c))
        return Usage_Error(New_Usage);
    const auto archive = New_Archive();
    Save_Archive_File(*archive, parsed.Positional[0], c.Compressed, c.Encrypted);
    return 0;
}

int Run_Search_Command(const QStringList &args)
{
    Parsed_Args parsed;
    Container c;
    const QString inOption = QStringLiteral("--in");
    if (!Parse_Reading_Command(args, 2, parsed, c, {inOption}))
        return Usage_Error(Search_Usage);
    const QString where = parsed.Values.value(inOption, QStringLiteral("documents"));
    static const QStringList kinds = {
        QStringLiteral("documents"), QStringLiteral("titles"), QStringLiteral("units"),
        QStringLiteral("persons"), QStringLiteral("subjects"), QStringLiteral("folders"),
    };
    if (!kinds.contains(where))
        return Usage_Error(Search_Usage);

    auto archive = Load(parsed.Positional[0], c);
    archive->Fill_Lists();
    const QString text = parsed.Positional[1];
    if (where == QLatin1String("documents"))
        Print_Hits(archive->Find_in_Documents(text), QStringLiteral("document"));
    else if (where == QLatin1String("titles"))
        Print_Hits(archive->Find_in_Documents_Title(text), QStringLiteral("document"));
    else if (where == QLatin1String("units"))
        Print_Hits(archive->Find_in_Units(text), QStringLiteral("unit"));
    else if (where == QLatin1String("persons"))
        Print_Hits(archive->Find_in_Persons(text), QStringLiteral("person"));
    else if (where == QLatin1String("subjects"))
        Print_Hits(archive->Find_in_Subjects(text), QStringLiteral("subject"));
    else
        Print_Hits(archive->Find_in_Archives(text), QStringLiteral("folder"));
    Keep_Until_Exit(std::move(archive));
    return 0;
}

int Run_Check_Command(const QStringList &args)
{
    Parsed_Args parsed;
    Container c;
    if (!Parse_Reading_Command(args, 1, parsed, c))
        return Usage_Error(Check_Usage);
    auto archive = Load(parsed.Positional[0], c);
    archive->Fill_Lists();
    QString out;
    bool missing = false;
    for (const TDocument *doc : std::as_const(archive->Document_List)) {
        for (const TDoc_Digital_File &file : doc->Digital_Files) {
            if (file.FileName.isEmpty())
                continue;
            // Stored names and the store's paths use "\"; the file system here uses "/".
            QString full = archive->Get_File_Full_Path(QString(), file.FileName);
            full.replace(QLatin1Char('\\'), QLatin1Char('/'));
            if (QFileInfo(full).isFile())
                continue;
            missing = true;
            out += Json_Line(QJsonObject{
                {QStringLiteral("documentId"), doc->Id},
                {QStringLiteral("file"), file.FileName},
            });
        }
    }
    Print_Out(out);
    Keep_Until_Exit(std::move(archive));
    return missing ? 3 : 0;
}
