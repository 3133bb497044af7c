#pragma once

#include "tsml.h"

#include <QStringView>
#include <vector>

// The SML line reader: turns lines of text into children of a node. It keeps its own
// stack of open levels instead of recursing, so nesting depth is bounded only by memory.
class Sml_Reader
{
public:
    explicit Sml_Reader(TBlock_Comment &comment) : FComment(comment) {}

    // Reads the lines and appends what they describe to Root's children.
    void Read(const std::vector<QStringView> &lines, TNode &Root);

    // The column (from 1) at which the first non-blank line begins; spaces only count.
    static int Get_Ident(const std::vector<QStringView> &lines);

private:
    struct Line
    {
        QStringView text;
        qsizetype lead;   // leading blank characters
        qsizetype marker; // index of "(*", -1 when none
    };
    struct Level
    {
        TNode *parent;
        qsizetype indent; // column from 1
    };

    bool Toggle_If_Marker(const Line &line);
    qsizetype Parse_Levels(qsizetype i, qsizetype indent, TNode &Root);
    qsizetype Read_Continuation_Lines(qsizetype next, qsizetype column, QString &value, bool &found);

    TBlock_Comment &FComment;
    std::vector<Line> FLines;
    std::vector<Level> FLevels;
    TNode FDiscard; // owner of the lines that have no node to attach to
};
