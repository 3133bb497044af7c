#pragma once

#include <QString>
#include <QStringView>

// Small text rules shared by the SML reader and writer. "Blank" characters are those
// whose code is at most that of the space: spaces, tabs and control characters.
namespace Sml_Text {

inline bool Is_Blank_Char(QChar c) { return c.unicode() <= 0x20; }

// Number of blank characters at the start of t.
inline qsizetype Leading_Blanks(QStringView t)
{
    qsizetype i = 0;
    while (i < t.size() && Is_Blank_Char(t[i]))
        ++i;
    return i;
}

QStringView Trim(QStringView t);
inline bool Is_Blank(QStringView t) { return Leading_Blanks(t) == t.size(); }

// The tilde rule: a "~" starts a trailing remark unless a backslash stands before it.
// Returns t itself when it holds no tilde; sets cut when the text was shortened.
QStringView Apply_Tilde_Rule(QStringView t, QString &storage, bool &cut);

// Strips one pair of enclosing double quotes (of the trimmed text).
QStringView Unquote(QStringView t);
inline bool Is_Quoted(QStringView t)
{
    const QStringView r = Trim(t);
    return r.size() >= 2 && r.front() == u'"' && r.back() == u'"';
}

// A line holding "(*" is a block-comment marker. Texts keep such a pair through the
// writer as "(", U+2060 WORD JOINER, "*": the writer adds one joiner to every "(",
// joiners, "*" run and the reader takes one away, so every text comes back unchanged.
constexpr char16_t Word_Joiner = 0x2060;
bool Needs_Comment_Escape(QStringView t);
QString Escape_Comment_Pairs(QStringView t);
bool Needs_Comment_Unescape(QStringView t);
QString Unescape_Comment_Pairs(QStringView t);

} // namespace Sml_Text
