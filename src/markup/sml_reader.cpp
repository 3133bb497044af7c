#include "sml_reader.h"

#include "sml_text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// ---- line sources ----

Sml_Line_Source::Sml_Line_Source(QStringView text) : FWindow(text) {}

Sml_Line_Source::Sml_Line_Source(const QStringList &lines) : FList(&lines) {}

Sml_Line_Source::Sml_Line_Source(QByteArrayView bytes, Decoder decoder, bool utf8_chunks)
    : FBytes(bytes), FDecode(std::move(decoder)), FUtf8Chunks(utf8_chunks), FAtEnd(bytes.isEmpty())
{
}

Sml_Line_Source::Sml_Line_Source(QIODevice *device, Decoder decoder, bool utf8_chunks)
    : FDevice(device), FDecode(std::move(decoder)), FUtf8Chunks(utf8_chunks), FAtEnd(false)
{
}

// Drops the window's text before keep_from and decodes the next chunk of bytes.
bool Sml_Line_Source::Refill(qsizetype keep_from)
{
    if (FAtEnd || FFailed)
        return false;
    if (keep_from > 0) {
        FBuffer.remove(0, keep_from);
        FNextStart -= keep_from;
        for (Slot &s : FSlots)
            s.start -= keep_from;
    }
    const qsizetype chunk = 1 << 20;
    QByteArrayView avail = FBytes;
    bool more;
    if (FDevice) {
        const qsizetype have = FRaw.size();
        FRaw.resize(chunk + 4);
        const qint64 got = FDevice->read(FRaw.data() + have, chunk + 4 - have);
        if (got < 0) {
            FReadFailed = FFailed = true;
            return false;
        }
        FRaw.resize(have + got);
        avail = FRaw;
        more = !FDevice->atEnd();
    } else {
        more = FBytes.size() > chunk;
    }
    qsizetype take = qMin<qsizetype>(avail.size(), chunk);
    if (!more)
        take = avail.size();
    // Chunks end before a lead byte, so each holds whole UTF-8 sequences.
    if (FUtf8Chunks && take < avail.size()) {
        qsizetype cut = take;
        while (cut > take - 4 && cut > 0 && (quint8(avail[cut]) & 0xC0) == 0x80)
            --cut;
        if (cut > 0)
            take = cut;
    }
    if (!FDecode(avail.first(take), FBuffer)) {
        FFailed = true;
        return false;
    }
    if (FDevice) {
        FRaw.remove(0, take);
        FAtEnd = !more && FRaw.isEmpty();
    } else {
        FBytes = FBytes.sliced(take);
        FAtEnd = FBytes.isEmpty();
    }
    FWindow = FBuffer;
    return true;
}

// Splits off the line that begins at FNextStart into the slot not fetched last.
bool Sml_Line_Source::Scan_Next()
{
    qsizetype p = FNextStart, lead = -1, marker = -1;
    for (;;) {
        const char16_t *d = FWindow.utf16();
        const qsizetype n = FWindow.size();
        // Scan while the character after p is in the window, so that CR LF and "(*" are
        // never judged at the window's edge.
        const qsizetype limit = FAtEnd ? n : n - 1;
        if (lead < 0) {
            while (p < limit && d[p] <= u' ' && d[p] != u'\n' && d[p] != u'\r')
                ++p;
            if (p < limit && d[p] > u' ')
                lead = p - FNextStart;
        }
        while (p < limit) {
#if defined(__SSE2__)
            // Eight characters at a time up to the next one that matters: CR, LF or "(".
            if (p + 8 <= limit) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(d + p));
                const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16('\n')),
                                                              _mm_cmpeq_epi16(v, _mm_set1_epi16('\r'))),
                                                 _mm_cmpeq_epi16(v, _mm_set1_epi16('(')));
                const int mask = _mm_movemask_epi8(hit);
                if (mask == 0) {
                    p += 8;
                    continue;
                }
                p += __builtin_ctz(unsigned(mask)) / 2;
            }
#endif
            const char16_t c = d[p];
            if (c <= u'(') {
                if (c == u'\n' || c == u'\r')
                    break;
                if (c == u'(' && marker < 0 && p + 1 < n && d[p + 1] == u'*')
                    marker = p - FNextStart;
            }
            ++p;
        }
        if (p < limit || FAtEnd)
            break;
        // Keep the lines the reader may still ask for, and the one being scanned.
        qsizetype keep = FNextStart;
        for (const Slot &s : FSlots)
            if (s.index >= 0)
                keep = qMin(keep, s.start);
        if (!Refill(keep))
            return false;
        p -= keep;
    }
    const qsizetype n = FWindow.size();
    if (p >= n && FNextStart >= n)
        return false; // a break after the last line adds no line
    Slot &s = FSlots[1 - FLast];
    s.index = FNextIndex;
    s.start = FNextStart;
    s.size = p - FNextStart;
    s.lead = lead < 0 ? s.size : lead;
    s.marker = marker;
    FLast = 1 - FLast;
    ++FNextIndex;
    if (p < n && FWindow[p] == u'\r' && p + 1 < n && FWindow[p + 1] == u'\n')
        ++p;
    FNextStart = p < n ? p + 1 : n;
    return true;
}

Sml_Line_Source::Line Sml_Line_Source::Make(const Slot &s) const
{
    return {FWindow.sliced(s.start, s.size), s.lead, s.marker};
}

bool Sml_Line_Source::Get(qsizetype i, Line &line)
{
    if (FList) {
        if (i >= FList->size())
            return false;
        const QStringView t = (*FList)[i];
        line = {t, Leading_Blanks(t), t.indexOf(u"(*")};
        return true;
    }
    if (FSlots[FLast].index == i) {
        line = Make(FSlots[FLast]);
        return true;
    }
    if (FSlots[1 - FLast].index == i) {
        line = Make(FSlots[1 - FLast]);
        return true;
    }
    if (FFailed || !Scan_Next()) // i is the next line: the reader never skips ahead
        return false;
    line = Make(FSlots[FLast]);
    return true;
}

qsizetype Sml_Line_Source::Base_Column()
{
    auto column = [](QStringView t) -> qsizetype {
        if (Is_Blank(t))
            return 0;
        qsizetype spaces = 0;
        while (spaces < t.size() && t[spaces] == u' ')
            ++spaces;
        return spaces + 1;
    };
    if (FList) {
        for (const QString &t : *FList)
            if (const qsizetype c = column(t))
                return c;
        return 1;
    }
    // The window grows until it holds a character that is not blank; nothing is dropped
    // yet, since reading starts at the first line.
    qsizetype p = 0;
    for (;;) {
        while (p < FWindow.size() && Is_Blank_Char(FWindow[p]))
            ++p;
        if (p < FWindow.size() || !Refill(0))
            break;
    }
    if (p >= FWindow.size())
        return 1;
    qsizetype b = p;
    while (b > 0 && FWindow[b - 1] != u'\n' && FWindow[b - 1] != u'\r')
        --b;
    return column(FWindow.sliced(b, p + 1 - b));
}

// ---- reader ----

bool Sml_Reader::Toggle_If_Marker(const Line &line)
{
    if (line.marker < 0)
        return false;
    FComment.Indent = int(qMin<qsizetype>(line.marker + 1, INT_MAX));
    FComment.In_Comment = !FComment.In_Comment;
    return true;
}

QString Sml_Reader::Shared_Text(QStringView t, qsizetype longest)
{
    if (t.size() > longest || t.isEmpty())
        return To_Text(t);
    const qsizetype n = t.size();
    const size_t h = size_t(n) * 7 + t[0].unicode() * 31 + t[n / 2].unicode() * 131 + t[n - 1].unicode();
    QString &slot = FShared[h % std::size(FShared)];
    if (slot != t)
        slot = To_Text(t);
    return slot;
}

void Sml_Reader::End_Last_Child(TNode &parent)
{
    // The last child of a node that has not ended has not ended either; nothing else below
    // it is still open.
    if (parent.Nodes.isEmpty())
        return;
    if (TNode &last = parent.Nodes.last(); last.Nodes.isEmpty()) {
        FObserver->End(last); // the usual case: a node without children
        return;
    }
    FEnding.clear();
    for (TNode *n = &parent; !n->Nodes.isEmpty(); n = &n->Nodes.last())
        FEnding.push_back(&n->Nodes.last());
    for (auto it = FEnding.rbegin(); it != FEnding.rend(); ++it)
        FObserver->End(**it);
    FEnding.clear();
}

void Sml_Reader::Read(Sml_Line_Source &source, TNode &Root)
{
    if (FObserver)
        FObserver->Begin(Root);
    FSource = &source;
    const qsizetype base = source.Base_Column();
    FComment.In_Comment = false;
    qsizetype i = 0;
    Line line;
    while (source.Get(i, line)) {
        if (Toggle_If_Marker(line))
            ++i;
        else if (FComment.In_Comment)
            ++i;
        else
            i = Parse_Levels(i, base, Root) + 1; // the line that ended the level is skipped
    }
    FScratch.Init();
    FSource = nullptr;
    if (FObserver)
        End_Last_Child(Root);
}

// Reads the level at `indent` under Root and every level below it. Each entry of
// FLevels is one open level; a level ends at the first line that does not belong to it
// and that line is offered to the level above, as a recursive reader would return it.
qsizetype Sml_Reader::Parse_Levels(qsizetype i, qsizetype indent, TNode &Root)
{
    FLevels.clear();
    FLevels.push_back({&Root, indent});
    Name_Value nv;
    Line line;
    while (FSource->Get(i, line)) {
        const Level level = FLevels.back();
        if (line.Blank()) {
            if (level.parent)
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
            if (level.parent && !level.parent->Nodes.isEmpty()) {
                QString &value = level.parent->Nodes.last().Value;
                value.append(space_joined ? QStringView(u" ") : QStringView(Crlf));
                Append_Text(value, Unquote(nv.value));
            }
            ++i;
            continue;
        }

        // An unquoted name is trimmed already, so only a quoted name can be blank and not
        // empty: such a name makes a node, as the writer writes names of blanks quoted.
        const QStringView name = Unquote(nv.name);
        TNode *owner;
        if (name.isEmpty()) {
            // No node of its own: the lines below belong to the previous sibling, or are
            // dropped when there is none. A dropped level never shares a node with another
            // open level, whose pointer would go stale when that node's children grow.
            owner = level.parent && !level.parent->Nodes.isEmpty() ? &level.parent->Nodes.last()
                                                                    : nullptr;
        } else {
            if (level.parent && FObserver)
                End_Last_Child(*level.parent);
            TNode &child = level.parent ? level.parent->Nodes.emplace_back() : FScratch;
            if (!level.parent)
                child.Init();
            child.Name = Shared_Text(name, 24);
            child.Value = Shared_Text(Unquote(nv.value), 24);
            if (level.parent && FObserver)
                FObserver->Start(child);
            if (nv.column >= 0) {
                bool found = false, after_blank = false;
                const qsizetype next = Read_Continuation_Lines(i + 1, level.indent + nv.column,
                                                               child.Value, found, after_blank);
                if (found) {
                    if (after_blank)
                        ++child.Empty_Lines_After;
                } else {
                    // Only blank lines were passed; the child's own level would count each
                    // of them, so they are counted here and not read twice.
                    child.Empty_Lines_After = int(qMin<qsizetype>(child.Empty_Lines_After + (next - i - 1), INT_MAX));
                }
                i = next - 1;
            }
            owner = level.parent ? &child : nullptr;
        }
        FLevels.push_back({owner, level.indent + 2});
        ++i;
    }
    FLevels.clear();
    return i; // the lines ran out
}

// column: the column (from 1) of the "=" of the node's line. after_blank is set when the
// scan stopped at a line that follows a blank one; running out of lines does not set it.
qsizetype Sml_Reader::Read_Continuation_Lines(qsizetype next, qsizetype column, QString &value,
                                              bool &found, bool &after_blank)
{
    Line line;
    bool blank = false;
    for (; FSource->Get(next, line); ++next) {
        if (line.Blank()) {
            blank = true;
            continue;
        }
        if (line.lead < column) {
            after_blank = blank;
            return next;
        }
        blank = false;
        const QStringView piece =
            line.text[column] == u' ' ? line.text.sliced(column + 1) : line.text.sliced(column);
        value.append(Crlf);
        Append_Text(value, Unquote(piece));
        found = true;
    }
    return next;
}
