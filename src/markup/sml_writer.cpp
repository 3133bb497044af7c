#include "sml_writer.h"

#include "sml_text.h"

#include <QStringEncoder>

#include <vector>

using namespace Sml_Text;

namespace {

// Where the lines go: one text with CR LF after each line, or a list of lines.
struct Text_Sink
{
    QString &out;
    qsizetype lines = 0;
    void Begin() {}
    void Add(QStringView t) { out.append(t); }
    void End()
    {
        out.append(u"\r\n");
        ++lines;
    }
};

// Encodes as it goes, so no second copy of the whole text is made.
struct Utf8_Sink
{
    QByteArray &out;
    qsizetype lines = 0;
    QStringEncoder encoder{QStringEncoder::Utf8};
    qsizetype used = out.size();
    void Begin() {}
    void Add(QStringView t)
    {
        const qsizetype need = used + 3 * t.size();
        if (need > out.size())
            out.resize(qMax(need, 2 * out.size() + 4096));
        used = encoder.appendToBuffer(out.data() + used, t) - out.data();
    }
    void End()
    {
        Add(u"\r\n");
        ++lines;
    }
    void Finish() { out.resize(used); }
};

struct List_Sink
{
    QStringList &out;
    QString line;
    void Begin() { line.clear(); }
    void Add(QStringView t) { line.append(t); }
    void End() { out.append(line); }
};

// Position and length of the next line break (CR LF, CR or LF) from `from`; pos -1 when none.
struct Break
{
    qsizetype pos;
    qsizetype len;
};
inline Break Next_Break(QStringView t, qsizetype from)
{
    const char16_t *d = t.utf16();
    for (qsizetype i = from; i < t.size(); ++i) {
        const char16_t c = d[i];
        if (c == u'\n')
            return {i, 1};
        if (c == u'\r')
            return {i, (i + 1 < t.size() && d[i + 1] == u'\n') ? 2 : 1};
    }
    return {-1, 0};
}

// The lines of a value; unlike a plain split, a break at the end yields an empty last line,
// so that the break is written too.
std::vector<QStringView> Value_Lines(QStringView v)
{
    std::vector<QStringView> r;
    qsizetype from = 0;
    for (;;) {
        const Break b = Next_Break(v, from);
        if (b.pos < 0) {
            r.push_back(v.sliced(from));
            return r;
        }
        r.push_back(v.sliced(from, b.pos - from));
        from = b.pos + b.len;
    }
}

inline bool Has_Outer_Blank(QStringView t)
{
    return !t.isEmpty() && (Is_Blank_Char(t.front()) || Is_Blank_Char(t.back()));
}

inline bool Is_Marker_Name(QStringView t)
{
    const QStringView r = Trim(t);
    return r == u">" || r == u">|";
}

// Names: the writer keeps a name on one line; its line breaks become spaces.
QString Single_Line(QStringView t)
{
    QString r;
    qsizetype from = 0;
    for (;;) {
        const Break b = Next_Break(t, from);
        if (b.pos < 0) {
            r.append(t.sliced(from));
            return r;
        }
        r.append(t.sliced(from, b.pos - from));
        r.append(u' ');
        from = b.pos + b.len;
    }
}

// A name that can stand before " = ": read back as the trimmed text before the first "="
// from the second character on, without tilde rule or unquoting.
inline bool Fits_Before_Equals(QStringView name)
{
    return !Is_Blank(name) && !Has_Outer_Blank(name) && !name.startsWith(u'"')
           && name.indexOf(u'=', 1) < 0 && !Is_Marker_Name(name);
}

class Writer_Base
{
protected:
    QString FSpaces;
    QString FScratch;
    QString FScratch2;

    QStringView Spaces(qsizetype n)
    {
        if (FSpaces.size() < n)
            FSpaces = QString(qMax<qsizetype>(n, 2 * FSpaces.size() + 64), u' ');
        return QStringView(FSpaces).first(n);
    }

    // A backslash before the first tilde, so the tilde rule keeps the text whole.
    static void Append_Tilde_Escaped(QString &out, QStringView t)
    {
        const qsizetype p = t.indexOf(u'~');
        if (p < 0) {
            out.append(t);
            return;
        }
        out.append(t.first(p));
        out.append(u'\\');
        out.append(t.sliced(p));
    }

    // Text as read by the tilde rule and then unquoted: a name alone on its line, a first
    // value line, a continuation marker's value.
    static void Escape_Tilde_Text(QString &out, QStringView t, bool quote)
    {
        if (!quote && t.indexOf(u'~') < 0) {
            out.append(t);
            return;
        }
        if (quote) {
            QString q;
            q.reserve(t.size() + 2);
            q.append(u'"');
            q.append(t);
            q.append(u'"');
            Append_Tilde_Escaped(out, q);
        } else {
            Append_Tilde_Escaped(out, t);
        }
    }

    // The comment-pair escape comes first; it changes no blank, quote, tilde or "=".
    QStringView Comment_Safe(QStringView t, QString &storage)
    {
        if (!Needs_Comment_Escape(t))
            return t;
        storage = Escape_Comment_Pairs(t);
        return storage;
    }
};

template <typename Sink>
class Writer : Writer_Base
{
public:
    explicit Writer(Sink &sink) : FSink(sink) {}

    void Write(const TNode &top)
    {
        struct Frame
        {
            const TNode *node;
            qsizetype indent;
            qsizetype next_child;
            qsizetype last_child; // index of the last child that is written, -1 when none
            bool follows;         // more lines are written after this node's subtree
            int markers_from;     // first value line written as a marker after the subtree, -1 none
        };
        std::vector<Frame> stack;
        auto open = [&](const TNode &node, qsizetype indent, bool follows) {
            qsizetype last = node.Nodes.size() - 1;
            while (last >= 0 && node.Nodes[last].Name.isEmpty())
                --last;
            const int markers = Write_Head(node, indent, follows || last >= 0, stack.empty());
            stack.push_back({&node, indent, 0, last, follows, markers});
        };
        open(top, 0, false);
        while (!stack.empty()) {
            Frame &f = stack.back();
            if (f.next_child > f.last_child) {
                if (f.markers_from >= 0)
                    Write_Markers(*f.node, f.indent, f.markers_from);
                stack.pop_back();
                continue;
            }
            const TNode &child = f.node->Nodes[f.next_child];
            const qsizetype index = f.next_child++;
            if (child.Name.isEmpty())
                continue; // left out with its subtree: no line can name it
            const bool follows = index < f.last_child || f.markers_from >= 0 || f.follows;
            open(child, f.indent + 2, follows); // may move f
        }
    }

private:
    Sink &FSink;

    // Writes the node's own lines and its empty lines. Returns the index of the first value
    // line that must follow the subtree as a continuation marker instead, -1 when none.
    int Write_Head(const TNode &node, qsizetype indent, bool followed, bool top)
    {
        QString name_storage;
        QStringView name = node.Name;
        if (Next_Break(name, 0).pos >= 0) {
            name_storage = Single_Line(name);
            name = name_storage;
        }
        QString safe_name;
        name = Comment_Safe(name, safe_name);

        const QStringView value = node.Value;
        const bool has_value = !value.isEmpty();
        const bool before_equals = Fits_Before_Equals(name) || (top && name.isEmpty());
        int markers = -1;

        FSink.Begin();
        FSink.Add(Spaces(indent));
        if ((has_value || node.Nil_Value) && before_equals) {
            FSink.Add(name);
            FSink.Add(u" = ");
            if (!has_value) {
                FSink.End();
            } else if (Next_Break(value, 0).pos < 0) {
                Write_First_Line(value);
                FSink.End();
            } else {
                const std::vector<QStringView> lines = Value_Lines(value);
                Write_First_Line(lines[0]);
                FSink.End();
                // The reader folds the blank lines after continuation lines into one, and
                // loses them at the end of the text.
                const int ela = node.Empty_Lines_After;
                if (ela <= 0 || (ela == 1 && followed)) {
                    const qsizetype column = indent + name.size() + 2; // of the "=", from 1
                    for (size_t k = 1; k < lines.size(); ++k) {
                        FSink.Begin();
                        FSink.Add(Spaces(column + 1));
                        Write_Continuation(lines[k]);
                        FSink.End();
                    }
                } else {
                    markers = 1;
                }
            }
        } else {
            Write_Name_Alone(name);
            FSink.End();
            if (has_value)
                markers = Next_Break(value, 0).pos == 0 ? 1 : 0; // no first line to place
        }
        for (int k = 0; k < node.Empty_Lines_After; ++k) {
            FSink.Begin();
            FSink.End();
        }
        return markers;
    }

    void Write_First_Line(QStringView line)
    {
        // The value is not trimmed, so blanks need no quotes here.
        const QStringView t = Comment_Safe(line, FScratch);
        Write_Tilde_Text(t, Is_Quoted(t));
    }

    void Write_Tilde_Text(QStringView t, bool quote)
    {
        if (!quote && t.indexOf(u'~') < 0) {
            FSink.Add(t);
            return;
        }
        FScratch2.clear();
        Escape_Tilde_Text(FScratch2, t, quote);
        FSink.Add(FScratch2);
    }

    void Write_Continuation(QStringView line)
    {
        QStringView t = Comment_Safe(line, FScratch);
        if (Is_Blank(t) || Is_Quoted(t)) {
            FSink.Add(u"\"");
            FSink.Add(t);
            FSink.Add(u"\"");
        } else {
            FSink.Add(t);
        }
    }

    void Write_Name_Alone(QStringView name)
    {
        const bool quote = Has_Outer_Blank(name) || Is_Quoted(name) || Is_Marker_Name(name)
                           || name.contains(u'=');
        Write_Tilde_Text(name, quote);
    }

    // The value's lines as continuation markers: ">" joins with a space, ">|" with a line
    // break, both at the node's own column after its subtree.
    void Write_Markers(const TNode &node, qsizetype indent, int from)
    {
        const std::vector<QStringView> lines = Value_Lines(node.Value);
        for (size_t k = size_t(from); k < lines.size(); ++k) {
            QStringView piece = lines[k];
            FSink.Begin();
            FSink.Add(Spaces(indent));
            if (k == 0) {
                // ">" puts a space before the piece; the value's own leading space serves.
                if (piece.startsWith(u' '))
                    piece = piece.sliced(1);
                FSink.Add(u"> = ");
            } else {
                FSink.Add(u">| = ");
            }
            Write_First_Line(piece);
            FSink.End();
        }
    }
};

} // namespace

namespace Sml_Writer {

qsizetype Write_Text(const TNode &Node, QString &out)
{
    Text_Sink sink{out};
    Writer<Text_Sink> writer(sink);
    writer.Write(Node);
    return sink.lines;
}

qsizetype Write_Utf8(const TNode &Node, QByteArray &out)
{
    Utf8_Sink sink{out};
    Writer<Utf8_Sink> writer(sink);
    writer.Write(Node);
    sink.Finish();
    return sink.lines;
}

void Write_Lines(const TNode &Node, QStringList &st)
{
    List_Sink sink{st, {}};
    Writer<List_Sink> writer(sink);
    writer.Write(Node);
}

} // namespace Sml_Writer
