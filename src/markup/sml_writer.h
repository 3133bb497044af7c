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
namespace Sml_Writer {

// Appends the lines of Node's subtree at indentation 0, each followed by CR LF.
// Returns the number of lines written.
qsizetype Write_Text(const TNode &Node, QString &out);
// Appends the same text encoded as UTF-8.
qsizetype Write_Utf8(const TNode &Node, QByteArray &out);
// Appends the same lines, without line breaks, to st.
void Write_Lines(const TNode &Node, QStringList &st);

} // namespace Sml_Writer
