#pragma once

#include "tnode.h"

#include <QStringDecoder>
#include <QStringList>

struct TBlock_Comment
{
    int Indent = 0;
    bool In_Comment = false;
};

class Sml_Node_Observer;

// One SML document: the reader, the writer and the document-wide node lookups.
// Reading errors (a missing file, input too deep to read) are raised as TError.
class TSML
{
public:
    TBlock_Comment Block_Comment;
    QString FileName;
    TNode Node;
    // Told of every node as it is read (see Sml_Node_Observer); not owned.
    Sml_Node_Observer *Observer = nullptr;

    // Reading
    void Load(const QString &sFile);
    TNode Parse_File(const QString &FilePath);
    void Parse();
    TNode Read_From_List(const QStringList &st);
    TNode Parse(const QString &s);
    void Parse(const QStringList &st);
    // Reads the lines of s into Node as Parse(st) reads a list of them, without
    // splitting s into a list first.
    void Parse_Lines(QStringView s);
    // As Parse_Lines over the UTF-8 text of bytes, decoded a chunk at a time as the
    // reader goes. At the first byte that is not UTF-8, Node is cleared and false returned.
    bool Parse_Lines_Utf8(QByteArrayView bytes);
    // When Node has no name, its first child becomes Node, as reading a document selects it.
    void Select_Top();
    // Reads a document from file bytes already in memory (decoded as Parse() decodes a
    // file), replacing Node; returns Node.
    TNode Read_From_Bytes(QByteArrayView bytes);

    // Writing
    void Init_SML_Node();
    // Writes Node to FileName, replacing the file only once the new text is complete.
    // On failure returns false and sets Last_Error to the reason shown to the user.
    bool Save();
    void Get_StringList(QStringList &st) const;
    QString Last_Error;
    // Number of lines the last Save() had to write.
    qsizetype Last_Line_Count = 0;
    // The text of the "Save Failed" box for the last failed Save().
    QString Save_Failed_Text() const;

    // Document-wide lookups
    static void Add_Node(TNode &Node, const QString &sName, const QString &sValue);
    static void Add_Node(TNode &Node, const QString &sName, bool Value);
    static void Add_Node(TNode &Node, const QString &sName, const QStringList &names);
    static TNode FindNode(const TNode &ANode, const QString &Name);
    TNode FindNode(const QString &Node_Name) const;
    TNode NodeByName(const QString &AName) const;
    static QString GetNodeName(const QString &APath);
    static TNode FindNodeByPath(const TNode &ANode, const QString &APathName);
    TNode FindNodeByPath(const QString &APathName) const;
    TNode NodeByPath(const QString &APathName) const;
    static TNode NewNode();

    // Decoding of file bytes: a byte-order mark names the encoding; bytes that are not
    // valid UTF-8 are read in the legacy code page (Windows-1256).
    static QString Decode_Text(const QByteArray &bytes);
    // Splits at CR LF, CR or LF; a break after the last line adds no empty line.
    static QStringList Split_Lines(const QString &s);
};

// The legacy 8-bit code page: texts without a byte-order mark that are not UTF-8 are read
// in it, and so are compressed and encrypted containers without a mark. Legacy_Decoder
// raises TError naming the code page when this Qt build cannot decode it (Qt without ICU
// knows only a few encodings), so that such a text never reads as an empty one.
const QByteArray &Legacy_Code_Page();
void Set_Legacy_Code_Page(const QByteArray &name);
QStringDecoder Legacy_Decoder();

// The box a failed save shows: "Cannot save file. ", CR, "Lines: N", CR, reason, CR, path.
QString Save_Failed_Text(qsizetype lines, const QString &reason, const QString &path);
inline constexpr const char *Save_Failed_Caption = "Save Failed";
