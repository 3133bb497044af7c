#include "sml_text.h"

namespace Sml_Text {

QStringView Trim(QStringView t)
{
    qsizetype b = 0, e = t.size();
    while (b < e && Is_Blank_Char(t[b]))
        ++b;
    while (e > b && Is_Blank_Char(t[e - 1]))
        --e;
    return t.sliced(b, e - b);
}

QStringView Apply_Tilde_Rule(QStringView t, QString &storage, bool &cut)
{
    cut = false;
    const qsizetype p = t.indexOf(u'~');
    if (p < 0)
        return t;
    if (p == 0) {
        cut = true;
        return t.first(0);
    }
    if (t[p - 1] == u'\\') {
        storage.reserve(t.size() - 1);
        storage.append(t.first(p - 1));
        storage.append(t.sliced(p));
        return storage;
    }
    cut = true;
    return t.first(p);
}

QStringView Unquote(QStringView t)
{
    const QStringView r = Trim(t);
    if (r.size() >= 2 && r.front() == u'"' && r.back() == u'"')
        return r.sliced(1, r.size() - 2);
    return t;
}

// Calls f(index) for every position where a "(", joiners, "*" run has its joiners.
template <typename F>
static void For_Each_Pair(QStringView t, F f)
{
    qsizetype p = t.indexOf(u'(');
    while (p >= 0 && p + 1 < t.size()) {
        qsizetype q = p + 1;
        while (q < t.size() && t[q] == QChar(Word_Joiner))
            ++q;
        if (q < t.size() && t[q] == u'*')
            f(p + 1, q - p - 1);
        p = t.indexOf(u'(', p + 1);
    }
}

bool Needs_Comment_Escape(QStringView t)
{
    bool found = false;
    For_Each_Pair(t, [&](qsizetype, qsizetype) { found = true; });
    return found;
}

QString Escape_Comment_Pairs(QStringView t)
{
    QString out;
    out.reserve(t.size() + 4);
    qsizetype from = 0;
    For_Each_Pair(t, [&](qsizetype at, qsizetype) {
        out.append(t.sliced(from, at - from));
        out.append(QChar(Word_Joiner));
        from = at;
    });
    out.append(t.sliced(from));
    return out;
}

bool Needs_Comment_Unescape(QStringView t)
{
    if (!t.contains(QChar(Word_Joiner)))
        return false;
    bool found = false;
    For_Each_Pair(t, [&](qsizetype, qsizetype joiners) { found = found || joiners > 0; });
    return found;
}

QString Unescape_Comment_Pairs(QStringView t)
{
    QString out;
    out.reserve(t.size());
    qsizetype from = 0;
    For_Each_Pair(t, [&](qsizetype at, qsizetype joiners) {
        if (joiners == 0)
            return;
        out.append(t.sliced(from, at - from));
        from = at + 1; // drop one joiner
    });
    out.append(t.sliced(from));
    return out;
}

} // namespace Sml_Text
