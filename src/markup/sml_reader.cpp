#include "sml_reader.h"

#include "sml_text.h"

using namespace Sml_Text;

namespace {

const QString Crlf = QStringLiteral("\r\n");

inline void Append_Text(QString &target, QStringView piece)
{
    if (Needs_Comment_Unescape(piece))
        target.append(Unescape_Comment_Pairs(piece));
    else
        target.append(piece);
}

inline QString To_Text(QStringView piece)
{
    if (Needs_Comment_Unescape(piece))
        return Unescape_Comment_Pairs(piece);
    return piece.toString();
}

// A line split into name and value. column is the 0-based offset of the "=" in the
// level's text, -1 when the line is all name.
struct Name_Value
{
    QStringView name;
    QStringView value;
    qsizetype column = -1;
    QString storage; // holds a text the tilde rule had to rebuild
};

void Extract_Name_Value(QStringView s, Name_Value &r)
{
    const qsizetype eq = s.startsWith(u'"') ? -1 : s.indexOf(u'=', 1);
    bool cut = false;
    if (eq < 0) {
        r.name = Apply_Tilde_Rule(Trim(s), r.storage, cut);
        if (cut)
            r.name = Trim(r.name);
        r.value = QStringView();
        r.column = -1;
        return;
    }
    r.name = Trim(s.first(eq));
    QStringView value = s.sliced(eq + 1);
    if (value.startsWith(u' '))
        value = value.sliced(1);
    r.value = Apply_Tilde_Rule(value, r.storage, cut);
    r.column = eq;
}

} // namespace

int Sml_Reader::Get_Ident(const std::vector<QStringView> &lines)
{
    for (const QStringView line : lines) {
        if (Is_Blank(line))
            continue;
        qsizetype spaces = 0;
        while (spaces < line.size() && line[spaces] == u' ')
            ++spaces;
        return int(qMin<qsizetype>(spaces, INT_MAX - 1)) + 1;
    }
    return 1;
}

bool Sml_Reader::Toggle_If_Marker(const Line &line)
{
    if (line.marker < 0)
        return false;
    FComment.Indent = int(qMin<qsizetype>(line.marker + 1, INT_MAX));
    FComment.In_Comment = !FComment.In_Comment;
    return true;
}

void Sml_Reader::Read(const std::vector<QStringView> &lines, TNode &Root)
{
    FLines.clear();
    FLines.reserve(lines.size());
    for (const QStringView text : lines)
        FLines.push_back({text, Leading_Blanks(text), text.indexOf(u"(*")});

    const qsizetype base = Get_Ident(lines);
    FComment.In_Comment = false;
    const qsizetype n = qsizetype(FLines.size());
    qsizetype i = 0;
    while (i < n) {
        if (Toggle_If_Marker(FLines[i]))
            ++i;
        else if (FComment.In_Comment)
            ++i;
        else
            i = Parse_Levels(i, base, Root) + 1; // the line that ended the level is skipped
    }
    FDiscard.Init();
}

// Reads the level at `indent` under Root and every level below it. Each entry of
// FLevels is one open level; a level ends at the first line that does not belong to it
// and that line is offered to the level above, as a recursive reader would return it.
qsizetype Sml_Reader::Parse_Levels(qsizetype i, qsizetype indent, TNode &Root)
{
    const qsizetype n = qsizetype(FLines.size());
    FLevels.clear();
    FLevels.push_back({&Root, indent});
    Name_Value nv;
    while (i < n) {
        const Level level = FLevels.back();
        const Line &line = FLines[i];
        if (line.lead == line.text.size()) {
            ++level.parent->Empty_Lines_After;
            ++i;
            continue;
        }
        if (line.lead < level.indent - 1 || line.text[level.indent - 1] == u' ') {
            FLevels.pop_back();
            if (FLevels.empty())
                return i;
            continue;
        }
        if (Toggle_If_Marker(line) || FComment.In_Comment) {
            ++i;
            continue;
        }

        nv.storage.clear();
        Extract_Name_Value(line.text.sliced(level.indent - 1), nv);
        const QStringView trimmed = Trim(nv.name);
        const bool space_joined = trimmed == u">";
        if (space_joined || trimmed == u">|") {
            if (!level.parent->Nodes.isEmpty()) {
                QString &value = level.parent->Nodes.last().Value;
                value.append(space_joined ? QStringView(u" ") : QStringView(Crlf));
                Append_Text(value, Unquote(nv.value));
            }
            ++i;
            continue;
        }

        const QStringView name = Unquote(nv.name);
        TNode *owner;
        if (Is_Blank(name)) {
            // No node of its own: the lines below belong to the previous sibling.
            owner = level.parent->Nodes.isEmpty() ? &FDiscard : &level.parent->Nodes.last();
        } else {
            TNode &child = level.parent->Nodes.emplace_back();
            child.Name = To_Text(name);
            child.Value = To_Text(Unquote(nv.value));
            if (nv.column >= 0) {
                bool found = false;
                const qsizetype next =
                    Read_Continuation_Lines(i + 1, level.indent + nv.column, child.Value, found);
                if (found) {
                    if (next < n && FLines[next - 1].lead == FLines[next - 1].text.size())
                        ++child.Empty_Lines_After;
                    i = next - 1;
                }
            }
            owner = &child;
        }
        FLevels.push_back({owner, level.indent + 2});
        ++i;
    }
    FLevels.clear();
    return n;
}

// column: the column (from 1) of the "=" of the node's line.
qsizetype Sml_Reader::Read_Continuation_Lines(qsizetype next, qsizetype column, QString &value,
                                              bool &found)
{
    const qsizetype n = qsizetype(FLines.size());
    for (; next < n; ++next) {
        const Line &line = FLines[next];
        if (line.lead == line.text.size())
            continue;
        if (line.lead < column)
            return next;
        const QStringView piece =
            line.text[column] == u' ' ? line.text.sliced(column + 1) : line.text.sliced(column);
        value.append(Crlf);
        Append_Text(value, Unquote(piece));
        found = true;
    }
    return n;
}
