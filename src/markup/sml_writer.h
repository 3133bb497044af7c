#pragma once

#include "tnode.h"

#include <QString>
#include <QStringList>

// The SML writer. Ordinary trees are written plainly: the name, " = " and the value,
// further value lines aligned after the "=", children two columns deeper. Where the
// reader would otherwise change a name or value, the writer escapes it with the
// format's own means (quotes, a backslash before a tilde, "" for an empty piece,
// continuation markers) so that the text reads back unchanged. It keeps its own stack
// of open nodes, so any depth can be written.
//
// Two texts the format cannot carry exactly, and what is written instead:
// - "(*" inside a line, which would make the line a comment marker: written as "(",
//   U+2060 WORD JOINER, "*" (a run of joiners there gets one more); our reader removes one
//   joiner, other readers see it.
// - The value of a node whose name must stand alone on its line (a name with "=" after its
//   first character, outer blanks or only blanks, a leading double quote, or a marker name
//   ">" or ">|"): written after the subtree as continuation markers, "> = " for the first
//   line and ">| = " for the others. The ">" marker joins with a space, so the value comes
//   back with one leading space, unless it begins with a space or a line break already.
// Line breaks in a name become spaces; a node with an empty name is left out with its
// subtree. A name made only of blanks is written quoted and kept.
namespace Sml_Writer {

// Appends the lines of Node's subtree at indentation 0, each followed by CR LF.
// Returns the number of lines written.
qsizetype Write_Text(const TNode &Node, QString &out);
// Appends the same text encoded as UTF-8.
qsizetype Write_Utf8(const TNode &Node, QByteArray &out);
// Appends the same lines, without line breaks, to st.
void Write_Lines(const TNode &Node, QStringList &st);

} // namespace Sml_Writer
