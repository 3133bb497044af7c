#include "archive_file.h"

#include "containers.h"
#include "markup/sml_reader.h"
#include "markup/terror.h"
#include "markup/tsml.h"
#include "text/app_paths.h"
#include "text/date_text.h"

#include <QStringList>

#include <type_traits>

namespace {

const QString S_Archive = QStringLiteral("Archive");
const QString S_Unit = QStringLiteral("Unit");
const QString S_Units = QStringLiteral("Units");
const QString S_Id = QStringLiteral("Id");
const QString S_Type = QStringLiteral("Type");
const QString S_No = QStringLiteral("No");
const QString S_Unit_Id = QStringLiteral("Unit_Id");
const QString S_Person = QStringLiteral("Person");
const QString S_Persons = QStringLiteral("Persons");
const QString S_Document = QStringLiteral("Document");
const QString S_Documents = QStringLiteral("Documents");
const QString S_Subject = QStringLiteral("Subject");
const QString S_Reference = QStringLiteral("Reference");
const QString S_Physical_Location = QStringLiteral("Physical Location");
const QString S_Description = QStringLiteral("Description");
const QString S_Keywords = QStringLiteral("Keywords");
const QString S_Mail = QStringLiteral("Mail");
const QString S_Internal = QStringLiteral("Internal");
const QString S_Date = QStringLiteral("Date");
const QString S_From = QStringLiteral("From");
const QString S_To = QStringLiteral("To");
const QString S_Delivery_Date = QStringLiteral("Delivery date");
const QString S_Location = QStringLiteral("Location");
const QString S_Digital_Files = QStringLiteral("Digital Files");
const QString S_Meta = QStringLiteral("Meta");
const QString S_Items = QStringLiteral("Items");
const QString S_Item = QStringLiteral("Item");
const QString S_Group = QStringLiteral("Group");
const QString S_Fields = QStringLiteral("Fields");
const QString S_Data_Type = QStringLiteral("Data Type");
const QString S_Values = QStringLiteral("Values");

QString Too_Deep_Message()
{
    return QStringLiteral("The archive is nested more than %1 levels deep.").arg(Max_Archive_Depth);
}

// ---------------------------------------------------------------------------------------
// Writing

class Archive_Writer
{
public:
    void Write_Archive(TArchive &archive, TNode &node)
    {
        for (auto &doc : archive.Documents)
            if (doc)
                Write_Document(*doc, node.AddNode(S_Document, doc->Name), 1);
        for (auto &folder : archive.Archives)
            if (folder)
                Write_Folder(*folder, node.AddNode(S_Documents, folder->Name), 1);
        if (archive.AUnit)
            Write_Unit(*archive.AUnit, node.AddNode(S_Unit, archive.AUnit->Name), 1);
        Write_Meta(archive.Meta, node.AddNode(S_Meta, QString()));
    }

private:
    static void Enter(int depth)
    {
        if (depth > Max_Archive_Depth)
            throw TError(Too_Deep_Message());
    }

    static void Give_Id(TArchItem &item)
    {
        if (item.Id.isEmpty())
            item.Id = New_Id();
    }

    static void Add_If(TNode &node, const QString &name, const QString &value)
    {
        if (!value.isEmpty())
            node.AddNode(name, value);
    }

    void Write_Unit(TUnit &unit, TNode &node, int depth)
    {
        Enter(depth);
        Give_Id(unit);
        node.AddNode(S_Id, unit.Id);
        Add_If(node, S_Type, unit.AType);
        for (auto &doc : unit.Documents)
            if (doc)
                Write_Document(*doc, node.AddNode(S_Document, doc->Name), depth + 1);
        for (auto &folder : unit.Archives)
            if (folder)
                Write_Folder(*folder, node.AddNode(S_Documents, folder->Name), depth + 1);
        // The own folder comes back from the file as one more folder of the unit; its
        // nested folders are written too so that nothing moved into it is lost.
        if (TDocArchive *own = unit.Archive.get(); own && own->HasItems())
            Write_Folder(*own, node.AddNode(S_Documents, own->Name), depth + 1);
        if (unit.Persons && Has_Entry(unit.Persons->Persons)) {
            TNode &persons = node.AddNode(S_Persons, QString());
            for (auto &person : unit.Persons->Persons)
                if (person)
                    Write_Person(*person, persons.AddNode(S_Person, person->Name), depth + 1);
        }
        if (Has_Entry(unit.Units)) {
            TNode &units = node.AddNode(S_Units, QString());
            for (auto &sub : unit.Units)
                if (sub)
                    Write_Unit(*sub, units.AddNode(S_Unit, sub->Name), depth + 1);
        }
    }

    void Write_Person(TPerson &person, TNode &node, int depth)
    {
        Enter(depth);
        Give_Id(person);
        node.AddNode(S_Id, person.Id);
        Add_If(node, S_No, person.No);
        Add_If(node, S_Unit_Id, person.Unit_Id);
        for (auto &doc : person.Documents)
            if (doc)
                Write_Document(*doc, node.AddNode(S_Document, doc->Name), depth + 1);
        for (auto &subject : person.Subjects)
            if (subject)
                Write_Subject(*subject, node.AddNode(S_Subject, subject->Name), depth + 1);
        for (auto &folder : person.Archives)
            if (folder)
                Write_Folder(*folder, node.AddNode(S_Documents, folder->Name), depth + 1);
    }

    void Write_Folder(TDocArchive &folder, TNode &node, int depth)
    {
        Enter(depth);
        for (auto &doc : folder.Docs)
            if (doc)
                Write_Document(*doc, node.AddNode(S_Document, doc->Name), depth + 1);
        for (auto &subject : folder.Subs)
            if (subject)
                Write_Subject(*subject, node.AddNode(S_Subject, subject->Name), depth + 1);
        for (auto &sub : folder.Archives)
            if (sub)
                Write_Folder(*sub, node.AddNode(S_Documents, sub->Name), depth + 1);
    }

    void Write_Subject(TSubject &subject, TNode &node, int depth)
    {
        Enter(depth);
        Give_Id(subject);
        node.AddNode(S_Id, subject.Id);
        for (auto &sub : subject.Subs)
            if (sub)
                Write_Subject(*sub, node.AddNode(S_Subject, sub->Name), depth + 1);
        for (auto &doc : subject.Docs)
            if (doc)
                Write_Document(*doc, node.AddNode(S_Document, doc->Name), depth + 1);
    }

    void Write_Document(TDocument &doc, TNode &node, int depth)
    {
        Enter(depth);
        Give_Id(doc);
        node.AddNode(S_Id, doc.Id);
        Add_If(node, S_Type, doc.A_Type);
        Add_If(node, S_Reference, doc.Reference);
        Add_If(node, S_Physical_Location, doc.Physical_Location);
        Add_If(node, S_Description, doc.Description);
        Add_If(node, S_Keywords, doc.Keywords);
        if (doc.Mail.HasData()) {
            TNode &mail = node.AddNode(S_Mail, QString());
            mail.AddNode(S_Internal, doc.Mail.Internal);
            if (doc.Mail.Date != 0)
                mail.AddNode(S_Date, Date_Number_To_Text(doc.Mail.Date));
            Add_If(mail, S_From, doc.Mail.Mail_From);
            Add_If(mail, S_To, doc.Mail.Mail_To);
            if (doc.Mail.Delivery_date != 0)
                mail.AddNode(S_Delivery_Date, Date_Number_To_Text(doc.Mail.Delivery_date));
        }
        Add_If(node, S_Location, doc.Location);
        bool hasFile = false;
        for (const TDoc_Digital_File &file : doc.Digital_Files)
            hasFile = hasFile || !file.FileName.isEmpty();
        if (hasFile) {
            TNode &files = node.AddNode(S_Digital_Files, QString());
            for (const TDoc_Digital_File &file : doc.Digital_Files)
                if (!file.FileName.isEmpty())
                    files.AddNode(file.FileName, QString());
        }
        if (Has_Entry(doc.Docs)) {
            TNode &subs = node.AddNode(S_Documents, QString());
            for (auto &sub : doc.Docs)
                if (sub)
                    Write_Document(*sub, subs.AddNode(S_Document, sub->Name), depth + 1);
        }
    }

    static void Write_Meta(const TMeta &meta, TNode &node)
    {
        TNode &items = node.AddNode(S_Items, QString());
        for (const TItem &item : meta.Items) {
            TNode &itemNode = items.AddNode(S_Item, item.Name);
            itemNode.AddNode(S_Group, item.Group);
            TNode &fields = itemNode.AddNode(S_Fields, QString());
            for (const TField &field : item.Fields) {
                TNode &fieldNode = fields.AddNode(field.Name, QString());
                fieldNode.AddNode(S_Data_Type, field.Data_Type);
                if (!field.Values.isEmpty()) {
                    TNode &values = fieldNode.AddNode(S_Values, QString());
                    for (const QString &value : field.Values)
                        values.AddNode(value, QString());
                }
            }
        }
    }

    template<class T>
    static bool Has_Entry(const TOwnList<T> &list)
    {
        for (const auto &p : list)
            if (p)
                return true;
        return false;
    }
};

// ---------------------------------------------------------------------------------------
// Reading

QString Value_Of(const TNode &node, const QString &name)
{
    const TNode *child = node.FindChild(name);
    return child ? child->Value : QString();
}

bool Same_Name(const QString &name, const QString &key)
{
    return name.size() == key.size() && name.compare(key, Qt::CaseInsensitive) == 0;
}

// The value of a node for the model. A node the reader is done with (not const) gives its
// text away, which spares counting references up and down again.
template<class Node>
QString Value_For_Model(Node *n)
{
    if (!n)
        return QString();
    if constexpr (std::is_const_v<Node>)
        return n->Value;
    else
        return std::move(n->Value);
}

// A later Mail node replaces everything an earlier one gave.
template<class Node>
void Read_Mail(TMail &mail, Node &node)
{
    Node *internal = nullptr, *date = nullptr, *from = nullptr, *to = nullptr, *delivery = nullptr;
    for (Node &child : node.Nodes) {
        if (Same_Name(child.Name, S_Internal))
            internal = &child;
        else if (Same_Name(child.Name, S_Date))
            date = &child;
        else if (Same_Name(child.Name, S_From))
            from = &child;
        else if (Same_Name(child.Name, S_To))
            to = &child;
        else if (Same_Name(child.Name, S_Delivery_Date))
            delivery = &child;
    }
    mail.Internal = internal ? internal->AsInteger() : 0;
    mail.Date = date ? Text_To_Date_Number(date->Value) : 0;
    mail.Mail_From = Value_For_Model(from);
    mail.Mail_To = Value_For_Model(to);
    mail.Delivery_date = delivery ? Text_To_Date_Number(delivery->Value) : 0;
}

// Documents are most of an archive, so their children are visited once: a value is the
// last child whose name matches without regard to case (as FindChild gives it), while the
// nested nodes are recognised by their exact names, in file order. sub(node) is called for
// each sub-document node in order.
template<class Node, class Sub>
void Read_Document_Fields(TDocument &doc, Node &node, Sub sub)
{
    doc.Name = Value_For_Model(&node);
    Node *id = nullptr, *type = nullptr, *reference = nullptr, *physical = nullptr, *description = nullptr,
         *keywords = nullptr, *location = nullptr;
    for (Node &child : node.Nodes) {
        const QString &name = child.Name;
        if (name == S_Mail) {
            Read_Mail(doc.Mail, child);
        } else if (name == S_Digital_Files) {
            doc.Digital_Files.reserve(doc.Digital_Files.size() + child.Nodes.size());
            for (Node &file : child.Nodes)
                doc.Digital_Files.append(TDoc_Digital_File{file.Name, int(doc.Digital_Files.size())});
        } else if (name == S_Document) {
            sub(child);
        } else if (name == S_Documents) {
            for (Node &n : child.Nodes)
                sub(n);
        }
        if (Same_Name(name, S_Id))
            id = &child;
        else if (Same_Name(name, S_Type))
            type = &child;
        else if (Same_Name(name, S_Reference))
            reference = &child;
        else if (Same_Name(name, S_Physical_Location))
            physical = &child;
        else if (Same_Name(name, S_Description))
            description = &child;
        else if (Same_Name(name, S_Keywords))
            keywords = &child;
        else if (Same_Name(name, S_Location))
            location = &child;
    }
    doc.Id = Value_For_Model(id);
    doc.A_Type = Value_For_Model(type);
    doc.Reference = Value_For_Model(reference);
    doc.Physical_Location = Value_For_Model(physical);
    doc.Description = Value_For_Model(description);
    doc.Keywords = Value_For_Model(keywords);
    doc.Location = Value_For_Model(location);
}

class Archive_Reader
{
public:
    // With streamed set, the documents were built while the text was read (see
    // Archive_Observer): each document node takes the next of them instead of being read.
    explicit Archive_Reader(TArchive &archive, TOwnList<TDocument> *streamed = nullptr)
        : FArchive(archive), FStreamed(streamed)
    {
    }
    bool All_Streamed_Taken() const { return !FStreamed || FNext == FStreamed->size(); }

    void Read_Archive(const TNode &node)
    {
        for (const TNode &child : node.Nodes) {
            if (child.Name == S_Document) {
                Add_Document(FArchive.Documents, &FArchive, child, 1);
            } else if (child.Name == S_Documents) {
                TDocArchive &folder = New_In(FArchive.Archives, &FArchive);
                folder.Id = Value_Of(child, S_Id);
                Read_Folder(folder, child, 1);
            } else if (child.Name == S_Unit) {
                // A later unit replaces the earlier one; build it aside first so that the
                // archive never holds a half-read unit if reading fails.
                auto unit = std::make_unique<TUnit>();
                unit->Parent = &FArchive;
                Read_Unit(*unit, child, 1);
                FArchive.AUnit = std::move(unit);
            } else if (child.Name == S_Meta) {
                Read_Meta(child);
            }
        }
    }

private:
    TArchive &FArchive;
    TOwnList<TDocument> *FStreamed;
    size_t FNext = 0;

    void Add_Document(TOwnList<TDocument> &list, TArchItem *parent, const TNode &node, int depth)
    {
        if (!FStreamed) {
            Read_Document(New_In(list, parent), node, depth);
            return;
        }
        Q_ASSERT(FNext < FStreamed->size());
        if (FNext >= FStreamed->size())
            return;
        std::unique_ptr<TDocument> doc = std::move((*FStreamed)[FNext++]);
        doc->Parent = parent;
        list.push_back(std::move(doc));
    }

    template<class T>
    static T &New_In(TOwnList<T> &list, TArchItem *parent)
    {
        list.push_back(std::make_unique<T>());
        T &item = *list.back();
        item.Parent = parent;
        return item;
    }

    static void Enter(int depth)
    {
        if (depth > Max_Archive_Depth)
            throw TError(Too_Deep_Message());
    }

    void Read_Unit(TUnit &unit, const TNode &node, int depth)
    {
        Enter(depth);
        unit.Name = node.Value;
        unit.AType = Value_Of(node, S_Type);
        unit.Id = Value_Of(node, S_Id);
        for (const TNode &child : node.Nodes) {
            if (child.Name == S_Units) {
                for (const TNode &sub : child.Nodes)
                    Read_Unit(New_In(unit.Units, &unit), sub, depth + 1);
            } else if (child.Name == S_Unit) {
                Read_Unit(New_In(unit.Units, &unit), child, depth + 1);
            } else if (child.Name == S_Persons) {
                for (const TNode &sub : child.Nodes)
                    Read_Person(New_In(unit.Persons->Persons, &unit), sub, unit.Id, depth + 1);
            } else if (child.Name == S_Person) {
                Read_Person(New_In(unit.Persons->Persons, &unit), child, unit.Id, depth + 1);
            } else if (child.Name == S_Documents) {
                TDocArchive &folder = New_In(unit.Archives, &unit);
                folder.Id = Value_Of(child, S_Id);
                Read_Folder(folder, child, depth + 1);
            } else if (child.Name == S_Document) {
                Add_Document(unit.Documents, &unit, child, depth + 1);
            }
        }
    }

    void Read_Person(TPerson &person, const TNode &node, const QString &unitId, int depth)
    {
        Enter(depth);
        person.Name = node.Value;
        person.Id = Value_Of(node, S_Id);
        person.No = Value_Of(node, S_No);
        person.Unit_Id = unitId;
        for (const TNode &child : node.Nodes) {
            if (child.Name == S_Document) {
                Add_Document(person.Documents, &person, child, depth + 1);
            } else if (child.Name == S_Subject) {
                Read_Subject(New_In(person.Subjects, &person), child, depth + 1);
            } else if (child.Name == S_Documents) {
                TDocArchive &folder = New_In(person.Archives, &person);
                folder.Id = Value_Of(child, S_Id);
                Read_Folder(folder, child, depth + 1);
            }
        }
    }

    void Read_Folder(TDocArchive &folder, const TNode &node, int depth)
    {
        Enter(depth);
        folder.Name = node.Value;
        for (const TNode &child : node.Nodes) {
            if (child.Name == S_Document) {
                Add_Document(folder.Docs, &folder, child, depth + 1);
            } else if (child.Name == S_Subject) {
                Read_Subject(New_In(folder.Subs, &folder), child, depth + 1);
            } else if (child.Name == S_Documents) {
                Read_Folder(New_In(folder.Archives, &folder), child, depth + 1);
            }
        }
    }

    void Read_Subject(TSubject &subject, const TNode &node, int depth)
    {
        Enter(depth);
        subject.Name = node.Value;
        subject.Id = Value_Of(node, S_Id);
        for (const TNode &child : node.Nodes) {
            if (child.Name == S_Document)
                Add_Document(subject.Docs, &subject, child, depth + 1);
            else if (child.Name == S_Subject)
                Read_Subject(New_In(subject.Subs, &subject), child, depth + 1);
        }
    }

    void Read_Document(TDocument &doc, const TNode &node, int depth)
    {
        Enter(depth);
        Read_Document_Fields(doc, node, [&](const TNode &sub) {
            Read_Document(New_In(doc.Docs, &doc), sub, depth + 1);
        });
    }

    void Read_Meta(const TNode &node)
    {
        const TNode *items = node.FindChild(S_Items);
        if (!items)
            return;
        FArchive.Meta.Items.clear();
        for (const TNode &itemNode : items->Nodes) {
            TItem item;
            item.Name = itemNode.Value;
            item.Group = Value_Of(itemNode, S_Group);
            if (const TNode *fields = itemNode.FindChild(S_Fields)) {
                for (const TNode &fieldNode : fields->Nodes) {
                    TField field;
                    field.Name = fieldNode.Name;
                    field.Data_Type = Value_Of(fieldNode, S_Data_Type);
                    if (const TNode *values = fieldNode.FindChild(S_Values))
                        for (const TNode &value : values->Nodes)
                            field.Values.append(value.Name);
                    item.Fields.append(field);
                }
            }
            FArchive.Meta.Items.append(item);
        }
    }
};


// Builds the documents while the SML text is read, so that the node tree of an archive is
// never held whole: a document node, once it has ended, becomes a TDocument and its
// subtree is freed. What is left of the tree (the archive's units, persons, folders and
// subjects, and empty document nodes) is read by Archive_Reader afterwards, each document
// node taking the next built document. The kinds below follow Archive_Reader's rules
// exactly, so both visit the same document nodes in the same order; documents are ended
// children first, and those not inside another document end in file order.
class Archive_Observer : public Sml_Node_Observer
{
public:
    // The documents of the last node named "Archive" under the top node, in file order
    // (sub-documents are inside their documents).
    TOwnList<TDocument> Documents;
    // A document of that archive nests deeper than Max_Archive_Depth.
    bool Too_Deep = false;

    void Begin(TNode &) override
    {
        FOpen.assign(1, Open{Kind::Root, 0, 0});
        FRoot_Children = 0;
        Documents.clear();
        Too_Deep = false;
    }

    void Start(TNode &node) override
    {
        const Open parent = FOpen.back();
        const Kind kind = Child_Kind(parent.kind, node.Name);
        if (parent.kind == Kind::Root)
            ++FRoot_Children;
        if (kind == Kind::Archive) {
            // only the last archive node is read: what an earlier one gave is not needed
            Documents.clear();
            Too_Deep = false;
        }
        const bool item = kind == Kind::Unit || kind == Kind::Person || kind == Kind::Folder
                          || kind == Kind::Subject || kind == Kind::Doc;
        FOpen.push_back(Open{kind, parent.depth + (item ? 1 : 0), Documents.size()});
        // A document node has about ten children; room for them at once spares the list
        // growing step by step, for every document.
        if (kind == Kind::Doc)
            node.Nodes.reserve(12);
        else if (parent.kind == Kind::Doc && node.Name == S_Mail)
            node.Nodes.reserve(5);
    }

    void End(TNode &node) override
    {
        const Open open = FOpen.back();
        FOpen.pop_back();
        if (open.kind != Kind::Doc)
            return;
        if (open.depth > Max_Archive_Depth) {
            Too_Deep = true; // reported if this archive is the one read; nothing is built
            Documents.resize(open.start);
            node.Nodes = QList<TNode>(); // clear() would keep the storage
            return;
        }
        auto doc = std::make_unique<TDocument>();
        size_t next = open.start;
        Read_Document_Fields(*doc, node, [&](const TNode &) {
            if (next >= Documents.size())
                return; // one that was too deep
            std::unique_ptr<TDocument> sub = std::move(Documents[next++]);
            sub->Parent = doc.get();
            doc->Docs.push_back(std::move(sub));
        });
        Documents.resize(open.start);
        Documents.push_back(std::move(doc));
        node.Nodes = QList<TNode>(); // clear() would keep the storage
    }

private:
    enum class Kind : quint8 { None, Root, Top, Archive, Unit, Unit_List, Person, Person_List, Folder, Subject, Doc, Doc_List };
    struct Open
    {
        Kind kind;
        int depth;    // items from the archive down to this node
        size_t start; // Documents.size() when the node started
    };
    std::vector<Open> FOpen;
    int FRoot_Children = 0;

    Kind Child_Kind(Kind parent, const QString &name) const
    {
        switch (parent) {
        case Kind::Root:
            return FRoot_Children == 0 ? Kind::Top : Kind::None; // the top node is the first
        case Kind::Top:
            return name == S_Archive ? Kind::Archive : Kind::None;
        case Kind::Archive:
            if (name == S_Document)
                return Kind::Doc;
            if (name == S_Documents)
                return Kind::Folder;
            return name == S_Unit ? Kind::Unit : Kind::None;
        case Kind::Unit:
            if (name == S_Units)
                return Kind::Unit_List;
            if (name == S_Unit)
                return Kind::Unit;
            if (name == S_Persons)
                return Kind::Person_List;
            if (name == S_Person)
                return Kind::Person;
            if (name == S_Documents)
                return Kind::Folder;
            return name == S_Document ? Kind::Doc : Kind::None;
        case Kind::Unit_List:
            return Kind::Unit;
        case Kind::Person_List:
            return Kind::Person;
        case Kind::Person:
        case Kind::Folder:
            if (name == S_Document)
                return Kind::Doc;
            if (name == S_Subject)
                return Kind::Subject;
            return name == S_Documents ? Kind::Folder : Kind::None;
        case Kind::Subject:
            if (name == S_Document)
                return Kind::Doc;
            return name == S_Subject ? Kind::Subject : Kind::None;
        case Kind::Doc:
            if (name == S_Document)
                return Kind::Doc;
            return name == S_Documents ? Kind::Doc_List : Kind::None;
        case Kind::Doc_List:
            return Kind::Doc;
        case Kind::None:
            break;
        }
        return Kind::None;
    }
};

} // namespace

TNode Archive_To_Node(TArchive &archive)
{
    TSML sml;
    sml.Init_SML_Node();
    TNode top = std::move(sml.Node);
    TNode &node = top.AddNode(S_Archive, archive.Name);
    Archive_Writer().Write_Archive(archive, node);
    return top;
}

bool Save_Archive_File(TArchive &archive, const QString &path, bool compressed, bool encripted)
{
    // Ids handed out here stay even if the write fails; path and flags change only once the
    // file is complete, so a failed save leaves the model pointing at the old file. Every
    // failure leaves through TError.
    TNode top = Archive_To_Node(archive);
    if (encripted) {
        QStringList lines;
        TSML sml;
        sml.Node = std::move(top);
        sml.Get_StringList(lines);
        sml.Node = TNode();
        Write_Encrypted_File(lines, path);
    } else if (compressed) {
        Write_Compressed_File(path, top);
    } else {
        Write_Plain_File(path, top);
    }
    archive.FilePath = path;
    archive.Encripted = encripted;
    archive.Compressed = compressed;
    archive.SetNeedSave(false);
    return true;
}

namespace {

std::unique_ptr<TArchive> Archive_From_Node(const TNode &top, const QString &path, bool compressed,
                                            bool encripted, Archive_Observer *streamed)
{
    auto archive = std::make_unique<TArchive>();
    const TNode *node = top.FindChild(S_Archive);
    if (!node || node->Name != S_Archive)
        return archive;
    if (streamed && streamed->Too_Deep)
        throw TError(Too_Deep_Message());
    archive->Name = node->Value;
    Archive_Reader reader(*archive, streamed ? &streamed->Documents : nullptr);
    reader.Read_Archive(*node);
    Q_ASSERT(reader.All_Streamed_Taken());
    archive->FilePath = path;
    archive->SetNeedSave(false);
    archive->Compressed = compressed;
    archive->Encripted = encripted;
    return archive;
}

} // namespace

std::unique_ptr<TArchive> Load_Archive_From_Node(const TNode &top, const QString &path,
                                                 bool compressed, bool encripted)
{
    return Archive_From_Node(top, path, compressed, encripted, nullptr);
}

std::unique_ptr<TArchive> Load_Archive_From_Text(const QString &text)
{
    TSML sml;
    const TNode top = sml.Parse(text);
    return Load_Archive_From_Node(top);
}

std::unique_ptr<TArchive> Load_Archive_From_Bytes(const QByteArray &bytes, bool compressed, bool encripted)
{
    Archive_Observer observer;
    TNode top;
    if (encripted) {
        top = Read_Encrypted_Node(bytes, &observer);
    } else if (compressed) {
        top = Read_Compressed_Bytes(bytes, &observer);
    } else {
        TSML sml;
        sml.Observer = &observer;
        top = sml.Read_From_Bytes(bytes);
    }
    return Archive_From_Node(top, QString(), false, false, &observer);
}

std::unique_ptr<TArchive> Load_Archive_File(const QString &path, bool compressed, bool encripted)
{
    // The documents are built as the text is read; only the rest of the tree is kept.
    Archive_Observer observer;
    TNode top;
    if (encripted) {
        top = Read_Encrypted_Node_File(path, &observer);
    } else if (compressed) {
        top = Read_Compressed_File(path, &observer);
    } else {
        TSML sml;
        sml.Observer = &observer;
        sml.Parse_File(path);
        top = std::move(sml.Node);
    }
    return Archive_From_Node(top, path, compressed, encripted, &observer);
}

bool Is_Compressed_Archive_Path(const QString &path)
{
    const qsizetype sep = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < sep)
        return false;
    return path.mid(dot).toUpper() == QLatin1String(".ARCX");
}

void TArchive::Save()
{
    Save_Archive_File(*this, FilePath, Compressed, Encripted);
    IsNew = false;
}
