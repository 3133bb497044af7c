#pragma once

#include "markup/tnode.h"

#include <QString>
#include <vector>

// A compact text form of a node tree for comparisons in tests:
//   name="value"+ELA{child;child}   (value, +ELA and braces only when present)
// CR and LF are shown as \r and \n; a backslash escapes the characters that would
// otherwise be read as part of this form.
inline QString Sml_Escape(const QString &t, QStringView special)
{
    QString r;
    for (QChar c : t) {
        if (c == u'\r')
            r += QStringLiteral("\\r");
        else if (c == u'\n')
            r += QStringLiteral("\\n");
        else if (c == u'\\' || special.contains(c))
            r += u'\\' + QString(c);
        else
            r += c;
    }
    return r;
}

inline QString Describe(const TNode &top)
{
    // Iterative, so that deep trees can be described too.
    QString out;
    struct Pos
    {
        const TNode *node;
        qsizetype next;
    };
    std::vector<Pos> stack;
    auto head = [&](const TNode &n) {
        out += Sml_Escape(n.Name, u"\"{};=+");
        if (!n.Value.isEmpty())
            out += QStringLiteral("=\"") + Sml_Escape(n.Value, u"\"") + u'"';
        if (n.Empty_Lines_After)
            out += u'+' + QString::number(n.Empty_Lines_After);
        if (!n.Nodes.isEmpty())
            out += u'{';
    };
    head(top);
    stack.push_back({&top, 0});
    while (!stack.empty()) {
        Pos &p = stack.back();
        if (p.next >= p.node->Nodes.size()) {
            if (!p.node->Nodes.isEmpty())
                out += u'}';
            stack.pop_back();
            continue;
        }
        if (p.next > 0)
            out += u';';
        const TNode &c = p.node->Nodes[p.next++];
        head(c);
        stack.push_back({&c, 0});
    }
    return out;
}
