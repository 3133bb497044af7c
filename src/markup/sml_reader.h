#pragma once

#include "tsml.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QStringView>
#include <functional>

// Where the reader's lines come from: a text in memory, a list of lines, or bytes decoded
// a chunk at a time. The reader only ever asks for the line it is on, the next one or the
// one before, so a source keeps just those and never holds a whole decoded file.
class Sml_Line_Source
{
public:
    struct Line
    {
        QStringView text;
        qsizetype lead;   // leading blank characters; text.size() for a blank line
        qsizetype marker; // offset of "(*", -1 when none
        bool Blank() const { return lead == text.size(); }
    };
    // Decodes one chunk of bytes, appending to out; returns false on bytes it rejects.
    using Decoder = std::function<bool(QByteArrayView chunk, QString &out)>;

    explicit Sml_Line_Source(QStringView text);
    explicit Sml_Line_Source(const QStringList &lines);
    Sml_Line_Source(QByteArrayView bytes, Decoder decoder, bool utf8_chunks);
    // Bytes read from a device as they are needed.
    Sml_Line_Source(QIODevice *device, Decoder decoder, bool utf8_chunks);

    // Line i, or false when there is none (or decoding failed).
    bool Get(qsizetype i, Line &line);
    // Decoding rejected the bytes, or the device could not be read (Read_Failed).
    bool Failed() const { return FFailed; }
    bool Read_Failed() const { return FReadFailed; }
    // The column (from 1) at which the first non-blank line begins; spaces only count.
    qsizetype Base_Column();

private:
    struct Slot
    {
        qsizetype index = -1;
        qsizetype start = 0; // offset in the window
        qsizetype size = 0;
        qsizetype lead = 0;
        qsizetype marker = -1;
    };
    bool Refill(qsizetype keep_from);
    bool Scan_Next();
    Line Make(const Slot &s) const;

    const QStringList *FList = nullptr;
    QStringView FWindow;
    QString FBuffer; // the decoded window when reading bytes
    QByteArrayView FBytes;
    QIODevice *FDevice = nullptr;
    QByteArray FRaw; // bytes read from the device and not yet decoded
    Decoder FDecode;
    bool FReadFailed = false;
    bool FUtf8Chunks = false;
    bool FAtEnd = true;
    bool FFailed = false;
    qsizetype FNextIndex = 0;
    qsizetype FNextStart = 0;
    Slot FSlots[2];
    int FLast = 0; // slot of the line fetched last
};

// Told of every node the reader makes, in document order, as an XML reader tells of
// elements: Start when a node is made (its name is set; its value may still grow by
// continuation lines and markers), End once no later line can change the node or add to
// its subtree. Every node that starts ends, nodes nest properly (a node's children start
// and end between its own Start and End), and the innermost started node is the parent of
// the next one to start. At End the observer may take the node's content and empty its
// children, so that a reader of large documents need not keep the whole tree.
class Sml_Node_Observer
{
public:
    virtual ~Sml_Node_Observer() = default;
    // Reading begins (again) with root empty.
    virtual void Begin(TNode &root) = 0;
    virtual void Start(TNode &node) = 0;
    virtual void End(TNode &node) = 0;
};

// The SML line reader: turns lines of text into children of a node. It keeps its own
// stack of open levels instead of recursing, so nesting depth is bounded only by memory.
class Sml_Reader
{
public:
    explicit Sml_Reader(TBlock_Comment &comment, Sml_Node_Observer *observer = nullptr)
        : FComment(comment), FObserver(observer)
    {
    }

    // Reads the lines and appends what they describe to Root's children.
    void Read(Sml_Line_Source &source, TNode &Root);

private:
    using Line = Sml_Line_Source::Line;
    struct Level
    {
        TNode *parent; // null: the level's lines have no node to attach to and are dropped
        qsizetype indent; // column from 1
    };

    bool Toggle_If_Marker(const Line &line);
    qsizetype Parse_Levels(qsizetype i, qsizetype indent, TNode &Root);
    qsizetype Read_Continuation_Lines(qsizetype next, qsizetype column, QString &value, bool &found,
                                      bool &after_blank);
    // Names and short values repeat across a document; equal texts share one string.
    QString Shared_Text(QStringView t, qsizetype longest);

    // Ends parent's last child and the last children below it, deepest first.
    void End_Last_Child(TNode &parent);

    TBlock_Comment &FComment;
    Sml_Node_Observer *FObserver;
    std::vector<TNode *> FEnding;
    Sml_Line_Source *FSource = nullptr;
    std::vector<Level> FLevels;
    TNode FScratch; // takes a dropped node while its continuation lines are read
    QString FShared[512];
};
