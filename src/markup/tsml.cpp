#include "tsml.h"

#include "sml_reader.h"
#include "sml_text.h"
#include "sml_writer.h"
#include "terror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <memory>
#include <vector>

namespace {

std::vector<QStringView> Split_Views(QStringView s)
{
    std::vector<QStringView> lines;
    const char16_t *d = s.utf16();
    const qsizetype n = s.size();
    qsizetype from = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = d[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.push_back(s.sliced(from, i - from));
        if (c == u'\r' && i + 1 < n && d[i + 1] == u'\n')
            ++i;
        from = i + 1;
    }
    if (from < n)
        lines.push_back(s.sliced(from));
    return lines;
}

void Select_Top_Node(TNode &node)
{
    if (node.Name.isEmpty() && !node.Nodes.isEmpty()) {
        TNode first = std::move(node.Nodes.first());
        node = std::move(first);
    }
}

QString Decode_Legacy(QByteArrayView bytes)
{
    QStringDecoder legacy = Legacy_Decoder();
    return legacy.decode(bytes);
}

QByteArray &Legacy_Name()
{
    static QByteArray name("windows-1256");
    return name;
}

// Decodes into the window's own storage: no text of the chunk's size is allocated.
bool Append_Decoded(QStringDecoder &decoder, QByteArrayView chunk, QString &out)
{
    const qsizetype old = out.size();
    out.resize(old + decoder.requiredSpace(chunk.size()));
    QChar *end = decoder.appendToBuffer(out.data() + old, chunk);
    out.resize(end - out.constData());
    return !decoder.hasError();
}

bool Append_Utf8(QByteArrayView chunk, QString &out)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    return Append_Decoded(utf8, chunk, out);
}

// A single-byte code page has no state between chunks, so one decoder serves them all.
Sml_Line_Source::Decoder Append_Legacy()
{
    auto legacy = std::make_shared<QStringDecoder>(Legacy_Decoder());
    return [legacy](QByteArrayView chunk, QString &out) {
        Append_Decoded(*legacy, chunk, out);
        return true;
    };
}

} // namespace

const QByteArray &Legacy_Code_Page()
{
    return Legacy_Name();
}

void Set_Legacy_Code_Page(const QByteArray &name)
{
    Legacy_Name() = name;
}

QStringDecoder Legacy_Decoder()
{
    QStringDecoder decoder(Legacy_Name().constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        throw TError(QStringLiteral("The text is not UTF-8, and its legacy code page %1 cannot be "
                                    "decoded on this system.")
                         .arg(QString::fromLatin1(Legacy_Name())));
    return decoder;
}

QString TSML::Decode_Text(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE).decode(QByteArrayView(bytes).sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE).decode(QByteArrayView(bytes).sliced(2));
    QByteArrayView text = bytes;
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8.decode(text);
    if (!utf8.hasError())
        return s;
    return Decode_Legacy(text);
}

QStringList TSML::Split_Lines(const QString &s)
{
    QStringList r;
    for (const QStringView line : Split_Views(s))
        r.append(line.toString());
    return r;
}

// Reading

void TSML::Load(const QString &sFile)
{
    FileName = sFile;
    Parse();
}

TNode TSML::Parse_File(const QString &FilePath)
{
    FileName = FilePath;
    Parse();
    return Node;
}

void TSML::Parse()
{
    if (Sml_Text::Trim(FileName).isEmpty())
        return;
    // Only a regular file is a file here: a folder, a FIFO or a device is "not found"
    // rather than opened (a FIFO would block the reader).
    if (!QFileInfo(FileName).isFile())
        throw TError(QStringLiteral("File not found"));
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw TError(file.errorString());
    const QByteArray head = file.peek(3);
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) {
        Read_From_Bytes(file.readAll());
        return;
    }
    // UTF-8 is read and decoded a chunk at a time as the reader goes; at the first byte
    // that is not UTF-8 the file is read again in the legacy code page.
    const qint64 start = head.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    Node.Init();
    file.seek(start);
    Sml_Line_Source source(&file, Append_Utf8, true);
    Sml_Reader(Block_Comment, Observer).Read(source, Node);
    if (source.Failed() && !source.Read_Failed()) {
        Node.Init();
        file.seek(start);
        Sml_Line_Source legacy(&file, Append_Legacy(), false);
        Sml_Reader(Block_Comment, Observer).Read(legacy, Node);
        if (legacy.Read_Failed())
            throw TError(file.errorString());
    } else if (source.Read_Failed()) {
        throw TError(file.errorString());
    }
    Select_Top_Node(Node);
}

TNode TSML::Read_From_Bytes(QByteArrayView bytes)
{
    Node.Init();
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const QString text = Decode_Text(bytes.toByteArray());
        Sml_Line_Source source{QStringView(text)};
        Sml_Reader(Block_Comment, Observer).Read(source, Node);
    } else {
        // UTF-8 is decoded as the reader goes; at the first byte that is not UTF-8 the
        // whole text is read again in the legacy code page.
        QByteArrayView text = bytes;
        if (text.startsWith("\xEF\xBB\xBF"))
            text = text.sliced(3);
        Sml_Line_Source source(text, Append_Utf8, true);
        Sml_Reader(Block_Comment, Observer).Read(source, Node);
        if (source.Failed()) {
            Node.Init();
            Sml_Line_Source legacy(text, Append_Legacy(), false);
            Sml_Reader(Block_Comment, Observer).Read(legacy, Node);
        }
    }
    Select_Top_Node(Node);
    return Node;
}

TNode TSML::Read_From_List(const QStringList &st)
{
    Node.Init();
    Parse(st);
    Select_Top_Node(Node);
    return Node;
}

TNode TSML::Parse(const QString &s)
{
    Sml_Line_Source source{QStringView(s)};
    Sml_Reader(Block_Comment, Observer).Read(source, Node);
    Select_Top_Node(Node);
    return Node;
}

void TSML::Parse(const QStringList &st)
{
    Sml_Line_Source source(st);
    Sml_Reader(Block_Comment, Observer).Read(source, Node);
}

void TSML::Parse_Lines(QStringView s)
{
    Sml_Line_Source source(s);
    Sml_Reader(Block_Comment, Observer).Read(source, Node);
}

bool TSML::Parse_Lines_Utf8(QByteArrayView bytes)
{
    Sml_Line_Source source(bytes, Append_Utf8, true);
    Sml_Reader(Block_Comment, Observer).Read(source, Node);
    if (!source.Failed())
        return true;
    Node.Init();
    Block_Comment = {};
    return false;
}

void TSML::Select_Top()
{
    Select_Top_Node(Node);
}

// Writing

void TSML::Init_SML_Node()
{
    Node.Init(QStringLiteral("sml"));
    Node.Value = QStringLiteral("version = 0.1; encoding = utf-8");
}

void TSML::Get_StringList(QStringList &st) const
{
    Sml_Writer::Write_Lines(Node, st);
}

bool TSML::Save()
{
    Last_Error.clear();
    Last_Line_Count = 0;
    if (Sml_Text::Trim(FileName).isEmpty())
        return false;
    QByteArray bytes("\xEF\xBB\xBF");
    Last_Line_Count = Sml_Writer::Write_Utf8(Node, bytes);

    // A file marked read-only is not replaced, even where the user could replace it.
    const QFileInfo target(FileName);
    if (target.exists() && !target.isDir() && !(target.permissions() & QFile::WriteOwner)) {
        Last_Error = QStringLiteral("Access denied.");
        return false;
    }

    QSaveFile file(FileName);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok)
        ok = file.write(bytes) == bytes.size();
    if (ok)
        ok = file.commit();
    if (ok)
        return true;

    const QString reason = file.errorString();
    file.cancelWriting();
    const QFileInfo info(FileName);
    if (!info.exists() || !info.isWritable() || !(info.permissions() & QFile::WriteOwner))
        Last_Error = QStringLiteral("Access denied.");
    else
        Last_Error = reason;
    return false;
}

QString TSML::Save_Failed_Text() const
{
    return ::Save_Failed_Text(Last_Line_Count, Last_Error, FileName);
}

QString Save_Failed_Text(qsizetype lines, const QString &reason, const QString &path)
{
    return QStringLiteral("Cannot save file. \rLines: %1\r%2\r%3").arg(lines).arg(reason, path);
}

// Document-wide lookups

void TSML::Add_Node(TNode &Node, const QString &sName, const QString &sValue)
{
    Node.AddNode(sName, sValue);
}

void TSML::Add_Node(TNode &Node, const QString &sName, bool Value)
{
    Node.AddNode(sName, Value);
}

void TSML::Add_Node(TNode &Node, const QString &sName, const QStringList &names)
{
    TNode &child = Node.AddNode(sName, QString());
    for (const QString &name : names)
        child.AddNode(name, QString());
}

TNode TSML::FindNode(const TNode &ANode, const QString &Name)
{
    // Depth first, each child before its own children, without recursion.
    struct Pos
    {
        const TNode *node;
        qsizetype next;
    };
    std::vector<Pos> stack{{&ANode, 0}};
    while (!stack.empty()) {
        Pos &top = stack.back();
        if (top.next >= top.node->Nodes.size()) {
            stack.pop_back();
            continue;
        }
        const TNode &child = top.node->Nodes[top.next++];
        if (child.Name.compare(Name, Qt::CaseInsensitive) == 0)
            return child;
        if (!child.Nodes.isEmpty())
            stack.push_back({&child, 0});
    }
    return TNode();
}

TNode TSML::FindNode(const QString &Node_Name) const
{
    return FindNode(Node, Node_Name);
}

TNode TSML::NodeByName(const QString &AName) const
{
    return FindNode(Node, AName);
}

QString TSML::GetNodeName(const QString &APath)
{
    return APath.sliced(APath.lastIndexOf(u'.') + 1);
}

TNode TSML::FindNodeByPath(const TNode &ANode, const QString &APathName)
{
    return FindNode(ANode, GetNodeName(APathName));
}

TNode TSML::FindNodeByPath(const QString &APathName) const
{
    return FindNodeByPath(Node, APathName);
}

TNode TSML::NodeByPath(const QString &APathName) const
{
    return FindNodeByPath(Node, APathName);
}

TNode TSML::NewNode()
{
    return TNode();
}
