#pragma once

#include <QList>
#include <QPoint>
#include <QtGlobal>
#include <QString>
#include <QStringList>

// A date-and-time value: days since 30 December 1899, the time of day as fraction.
struct TDateTime
{
    double Value = 0;
};

// One SML node. A value type: copying a node copies its whole subtree.
struct TNode
{
    QString Name;
    QString Value;
    bool Nil_Value = false;
    int Empty_Lines_After = 0;
    QList<TNode> Nodes;

    TNode() = default;
    TNode(const TNode &) = default;
    TNode(TNode &&) noexcept = default;
    TNode &operator=(const TNode &) = default;
    TNode &operator=(TNode &&) noexcept = default;
    // Frees the subtree without recursion, so trees of any depth can be destroyed.
    ~TNode();

    void Init();
    void Init(const QString &AName);

    // Appending children; each returns the appended child.
    TNode &AddNode(const TNode &ANode);
    TNode &AddNode(const QString &sName, const QString &sValue);
    // Sets Nil_Value whatever Default holds, so the child is written with " = ".
    TNode &AddNode(const QString &sName, const QString &sValue, bool Default);
    TNode &AddNode(const QString &sName, int iValue);
    TNode &AddNode(const QString &sName, bool Value);
    TNode &AddNode(const QString &sName, QPoint APoint);
    TNode &AddNode(const QString &sName, TDateTime ADate);
    // Keeps string literals from binding to the bool overload.
    TNode &AddNode(const QString &sName, const char *sValue) { return AddNode(sName, QString::fromUtf8(sValue)); }

    // The last direct child whose name matches without regard to case; a cleared node when none.
    TNode FindChildNode(const QString &Name) const;
    // Pointer form of FindChildNode for callers that walk large trees: no copy, nullptr when none.
    const TNode *FindChild(const QString &Name) const;
    QString Values(const QString &Name) const;

    bool AsBoolean() const;
    int AsInteger() const;
    QPoint AsPoint() const;
    TDateTime AsDate() const;

    // This subtree written at indentation 0, every line followed by CR LF.
    QString AsText() const;
    void AsText(QString &s) const;
    // The UTF-8 byte-order mark followed by AsText() in UTF-8.
    QByteArray AsStream() const;
};

Q_DECLARE_TYPEINFO(TNode, Q_RELOCATABLE_TYPE);

QString Date_To_Text(TDateTime d);
TDateTime Text_To_Date_Time(const QString &s);
