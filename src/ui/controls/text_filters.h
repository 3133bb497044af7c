#pragma once
#include <QString>

// What the entry controls do to their text while the user types.
struct TText_Filter
{
    bool NoKashida = false;   // remove the Arabic tatweel
    bool NoSpace = false;     // no leading blanks, no runs of blanks
    bool NumbersOnly = false; // digits, one leading "-", the first "."
    double MaxNumber = 0;     // with NumbersOnly, when above 0: the largest number allowed
    double MinNumber = 0;     // kept for the forms; not enforced while typing

    bool Active() const { return NoKashida || NoSpace || NumbersOnly; }
};

// The text as the filter leaves it. Blanks are spaces and tabs; line breaks are kept so
// that a memo can still take new lines.
QString Filtered_Text(const QString &text, const TText_Filter &filter);
// Whether the text begins with a Hebrew, Arabic or Syriac letter, after skipping leading
// characters of ! # $ % ( ) * + - = [ ] ^ @.
bool Begins_Right_To_Left(const QString &text);
// The text as an SQL string literal in which the characters " % ' * , - ; < = > are
// spelled as CHAR(code) pieces: a'b gives 'a' + CHAR(39) + 'b'.
QString SQL_String_Expression(const QString &text);
// Every line as "<p>line</p>" followed by CR LF.
QString HTML_Paragraphs(const QString &text);
// The text without tab, line-feed and carriage-return characters.
QString One_Line(const QString &text);
