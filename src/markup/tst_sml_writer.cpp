#include "markup/tsml.h"
#include "tst_sml_support.h"

#include <QFile>
#include <algorithm>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

class tst_Sml_Writer : public QObject
{
    Q_OBJECT

private slots:
    void writesLocalizationSample();
    void writesNodes_data();
    void writesNodes();
    void readsBackEscapes_data();
    void readsBackEscapes();
    void stringListAppends();
    void savesFile();
    void failedSaveKeepsOldFile();
    void randomTreesReadBack_data();
    void randomTreesReadBack();
};

static TNode Top(const TNode &child)
{
    TNode t;
    t.Init(QStringLiteral("t"));
    t.AddNode(child);
    return t;
}

static bool Blank_Name(const QString &name)
{
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() <= 32; });
}

static TNode Make(const QString &name, const QString &value, bool nil = false, int ela = 0)
{
    TNode n;
    n.Init(name);
    n.Value = value;
    n.Nil_Value = nil;
    n.Empty_Lines_After = ela;
    return n;
}

void tst_Sml_Writer::writesLocalizationSample()
{
    TSML sml;
    sml.Init_SML_Node();
    TNode &translations = sml.Node.AddNode(QStringLiteral("localization"), QString())
                              .AddNode(QStringLiteral("translations"), QString());
    TNode &unit = translations.AddNode(QStringLiteral("unit"), QString());
    unit.AddNode(QStringLiteral("source"),
                 QStringLiteral("Do you want to save the changes\r\nyou made to %s ?"));
    unit.AddNode(QStringLiteral("target"), QString(), false).Empty_Lines_After = 1;
    translations.AddNode(QStringLiteral("unit"), QString());

    const QString expected = QStringLiteral("sml = version = 0.1; encoding = utf-8\r\n"
                                            "  localization\r\n"
                                            "    translations\r\n"
                                            "      unit\r\n"
                                            "        source = Do you want to save the changes\r\n"
                                            "                 you made to %s ?\r\n"
                                            "        target = \r\n"
                                            "\r\n"
                                            "      unit\r\n");
    QCOMPARE(sml.Node.AsText(), expected);
    QCOMPARE(sml.Node.AsStream(), QByteArray("\xEF\xBB\xBF") + expected.toUtf8());
}

// Exact text for a child of "t"; every row also reads back (readsBackEscapes).
void tst_Sml_Writer::writesNodes_data()
{
    QTest::addColumn<TNode>("node");
    QTest::addColumn<QString>("text");
    auto row = [](const char *tag, const TNode &n, const QString &lines) {
        QTest::newRow(tag) << n << QStringLiteral("t\r\n") + lines;
    };
    row("blank value, not nil", Make("a", ""), "  a\r\n");
    row("blank value, nil", Make("a", "", true), "  a = \r\n");
    row("name with =", Make("a=b", ""), "  \"a=b\"\r\n");
    row("name >", Make(">", ""), "  \">\"\r\n");
    row("name >|", Make(">|", ""), "  \">|\"\r\n");
    row("three lines", Make("key", "one\r\ntwo\nthree"),
        "  key = one\r\n        two\r\n        three\r\n");
    row("first = in the name", Make("=", "v"), "  = = v\r\n");
    row("empty line in the value", Make("a", "x\r\n\r\ny"), "  a = x\r\n      \"\"\r\n      y\r\n");
    row("break at the end", Make("a", "x\r\n"), "  a = x\r\n      \"\"\r\n");
    row("blank continuation", Make("a", "x\r\n  "), "  a = x\r\n      \"  \"\r\n");
    row("quoted continuation", Make("a", "x\r\n \"y\""), "  a = x\r\n      \" \"y\"\"\r\n");
    row("value starts with a break", Make("a", "\r\ny"), "  a = \r\n      y\r\n");
    row("tilde in value", Make("a", "x~y~z"), "  a = x\\~y~z\r\n");
    row("value starts with tilde", Make("a", "~x"), "  a = \\~x\r\n");
    row("tilde in a lone name", Make("a~b", ""), "  a\\~b\r\n");
    row("tilde in a name with value", Make("a~b", "v"), "  a~b = v\r\n");
    row("continuation tilde kept", Make("a", "x\r\n~y"), "  a = x\r\n      ~y\r\n");
    row("quoted value", Make("a", "\"x\""), "  a = \"\"x\"\"\r\n");
    row("blank value", Make("a", " \t"), "  a =  \t\r\n");
    row("quoted tilde value", Make("a", "\"~\""), "  a = \"\"\\~\"\"\r\n");
    row("name with outer blanks", Make(" a ", ""), "  \" a \"\r\n");
    row("name begins with a quote", Make("\"a", ""), "  \"a\r\n");
    row("quoted name", Make("\"a\"", ""), "  \"\"a\"\"\r\n");
    row("name with = and value", Make("a=b", "v"), "  \"a=b\"\r\n  > = v\r\n");
    row("name with = and spaced value", Make("a=b", " v\r\nw"), "  \"a=b\"\r\n  > = v\r\n  >| = w\r\n");
    row("name with = and broken value", Make("a=b", "\r\nw"), "  \"a=b\"\r\n  >| = w\r\n");
    row("comment pair", Make("(*", "a(*b"), QStringLiteral("  (\u2060* = a(\u2060*b\r\n"));
    row("comment pair in continuation", Make("a", "x\r\n(*"), QStringLiteral("  a = x\r\n      (\u2060*\r\n"));
    row("joined pair", Make("a", QStringLiteral("(\u2060*")), QStringLiteral("  a = (\u2060\u2060*\r\n"));
    row("line break in a name", Make("a\r\nb\nc", ""), "  a b c\r\n");
    row("two blank lines after continuation", Make("a", "x\r\ny", false, 2),
        "  a = x\r\n\r\n\r\n  >| = y\r\n");
    row("one blank line at the end after continuation", Make("a", "x\r\ny", false, 1),
        "  a = x\r\n\r\n  >| = y\r\n");

    TNode parent = Make("p", "x\r\ny", false, 2);
    parent.AddNode(QStringLiteral("c"), QStringLiteral("1")).Empty_Lines_After = 1;
    row("markers follow the subtree", parent, "  p = x\r\n\r\n\r\n    c = 1\r\n\r\n  >| = y\r\n");

    // a name of blanks is a name: quoted, it keeps its subtree and its value
    TNode blanks = Make("p", "");
    TNode &spaces = blanks.AddNode(QStringLiteral("  "), QStringLiteral("v"));
    spaces.AddNode(QStringLiteral("child"), QString()).AddNode(QStringLiteral("grandchild"), QString());
    blanks.AddNode(QStringLiteral("\t"), QString());
    blanks.AddNode(QStringLiteral("kept"), QString());
    row("names of blanks kept", blanks,
        "  p\r\n    \"  \"\r\n      child\r\n        grandchild\r\n    > = v\r\n    \"\t\"\r\n    kept\r\n");

    TNode skipped = Make("p", "");
    skipped.AddNode(QString(), QString()).AddNode(QStringLiteral("lost"), QString());
    skipped.AddNode(QStringLiteral("kept"), QString());
    row("empty names left out", skipped, "  p\r\n    kept\r\n");
}

void tst_Sml_Writer::writesNodes()
{
    QFETCH(TNode, node);
    QFETCH(QString, text);
    QCOMPARE(Top(node).AsText(), text);
}

void tst_Sml_Writer::readsBackEscapes_data()
{
    writesNodes_data();
}

void tst_Sml_Writer::readsBackEscapes()
{
    QFETCH(TNode, node);
    QFETCH(QString, text);
    TSML sml;
    const TNode back = sml.Parse(text);
    TNode expected = Top(node);
    TNode &e = expected.Nodes.first();
    e.Nil_Value = false;
    e.Name.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ');
    e.Value.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\n', QStringLiteral("\r\n"));
    if (e.Name == u"a=b" && !e.Value.isEmpty() && !e.Value.startsWith(u' ') && !e.Value.startsWith(u'\r'))
        e.Value.prepend(u' ');
    for (qsizetype i = e.Nodes.size() - 1; i >= 0; --i)
        if (e.Nodes[i].Name.isEmpty())
            e.Nodes.removeAt(i);
    for (TNode &c : e.Nodes)
        if (Blank_Name(c.Name) && !c.Value.isEmpty() && !c.Value.startsWith(u' '))
            c.Value.prepend(u' '); // written alone, the value comes back after one space
    QCOMPARE(Describe(back), Describe(expected));
}

void tst_Sml_Writer::stringListAppends()
{
    TSML sml;
    sml.Init_SML_Node();
    sml.Node.AddNode(QStringLiteral("a"), QStringLiteral("1\r\n2"));
    QStringList st{QStringLiteral("kept")};
    sml.Get_StringList(st);
    QCOMPARE(st, QStringList({"kept", "sml = version = 0.1; encoding = utf-8", "  a = 1", "      2"}));
}

void tst_Sml_Writer::savesFile()
{
    QTemporaryDir dir;
    TSML sml;
    sml.Init_SML_Node();
    sml.Node.AddNode(QStringLiteral("name"), QStringLiteral("\u0627\u0644"));
    QVERIFY(!sml.Save()); // no file name

    sml.FileName = dir.filePath(QStringLiteral("out.sml"));
    QVERIFY2(sml.Save(), qPrintable(sml.Last_Error));
    QFile f(sml.FileName);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(bytes, QByteArray("\xEF\xBB\xBFsml = version = 0.1; encoding = utf-8\r\n  name = \xD8\xA7\xD9\x84\r\n"));
    QCOMPARE(sml.Last_Line_Count, 2);

    TSML back;
    back.Load(sml.FileName);
    QCOMPARE(Describe(back.Node), Describe(sml.Node));
}

void tst_Sml_Writer::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.sml"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);

    TSML sml;
    sml.Init_SML_Node();
    sml.FileName = path;
    QVERIFY(!sml.Save());
    QCOMPARE(sml.Last_Error, QStringLiteral("Access denied."));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("old"));
    QCOMPARE(sml.Save_Failed_Text(),
             QStringLiteral("Cannot save file. \rLines: 1\rAccess denied.\r") + path);
    QCOMPARE(QString::fromLatin1(Save_Failed_Caption), QStringLiteral("Save Failed"));

    // A file whose attributes cannot be read: its folder does not exist.
    sml.FileName = dir.filePath(QStringLiteral("missing/new.sml"));
    QVERIFY(!sml.Save());
    QCOMPARE(sml.Last_Error, QStringLiteral("Access denied."));

    // Any other failure reports the system's reason: here the target is a folder.
    sml.FileName = dir.path();
    QVERIFY(!sml.Save());
    QVERIFY(!sml.Last_Error.isEmpty());
    QVERIFY(sml.Last_Error != QStringLiteral("Access denied."));
    QVERIFY(QFileInfo(dir.path()).isDir());
}

// ---- randomized round trip ----

namespace {

const QStringList Pieces = {
    "a", "b", "Name", "=", "~", "\"", " ", "  ", "\t", "\\", ">", "|", "(", "*", "(*",
    QStringLiteral("\u2060"), QStringLiteral("\u0627\u0644\u0639\u0631\u0628\u064A\u0629"),
    QStringLiteral("\u0645"), "\r", "\n", "\r\n", "x y", "1", "-", ":", "*)"};

QString Random_Text(QRandomGenerator &rng, int max_pieces, bool breaks)
{
    QString t;
    const int n = int(rng.bounded(max_pieces + 1));
    for (int i = 0; i < n; ++i) {
        QString p = Pieces[int(rng.bounded(int(Pieces.size())))];
        if (!breaks && (p.contains(u'\r') || p.contains(u'\n')))
            p = QStringLiteral("c");
        t += p;
    }
    return t;
}

// Mostly plain names, sometimes the texts that need escapes.
QString Random_Name(QRandomGenerator &rng)
{
    if (rng.bounded(3) == 0)
        return QStringLiteral("Node%1").arg(rng.bounded(100));
    return Random_Text(rng, 4, rng.bounded(8) == 0);
}

void Fill(QRandomGenerator &rng, TNode &node, int depth)
{
    const int children = depth > 4 ? 0 : int(rng.bounded(depth == 0 ? 6 : 4));
    for (int i = 0; i < children; ++i) {
        TNode &c = node.AddNode(Random_Name(rng), rng.bounded(4) == 0 ? QString() : Random_Text(rng, 6, true));
        c.Nil_Value = rng.bounded(3) == 0;
        c.Empty_Lines_After = int(rng.bounded(4)) * int(rng.bounded(2));
        Fill(rng, c, depth + 1);
    }
}

QStringView Blank_Trim(QStringView t)
{
    while (!t.isEmpty() && t.front().unicode() <= 32)
        t = t.sliced(1);
    while (!t.isEmpty() && t.back().unicode() <= 32)
        t.chop(1);
    return t;
}

QString Crlf_Breaks(QString t)
{
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return t.replace(u'\n', QStringLiteral("\r\n"));
}

// What the reader gives back of a written tree; each step is a text the format cannot carry.
void Expected(TNode &n)
{
    n.Nil_Value = false;                       // never read back
    n.Value = Crlf_Breaks(n.Value);            // CR and LF alone come back as CR LF
    n.Name = Crlf_Breaks(n.Name).replace(QStringLiteral("\r\n"), QStringLiteral(" ")); // names stay on one line
    // A name that cannot stand before " = " is written alone, its value as markers: the
    // ">" marker puts a space before a value whose first line is not empty.
    const QStringView trimmed = Blank_Trim(n.Name);
    const bool alone = trimmed.size() != n.Name.size() || n.Name.startsWith(u'"')
                       || n.Name.indexOf(u'=', 1) >= 0 || trimmed == u">" || trimmed == u">|";
    if (alone && !n.Value.isEmpty() && !n.Value.startsWith(u' ') && !n.Value.startsWith(u'\r'))
        n.Value.prepend(u' ');
    for (qsizetype i = n.Nodes.size() - 1; i >= 0; --i)
        if (n.Nodes[i].Name.isEmpty())
            n.Nodes.removeAt(i); // an empty name makes no node: left out with its subtree
    for (TNode &c : n.Nodes)
        Expected(c);
}

} // namespace

void tst_Sml_Writer::randomTreesReadBack_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 2u, 3u, 42u, 2024u})
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

void tst_Sml_Writer::randomTreesReadBack()
{
    QFETCH(quint32, seed);
    QRandomGenerator rng(seed);
    for (int round = 0; round < 800; ++round) {
        TSML sml;
        sml.Init_SML_Node();
        sml.Node.Empty_Lines_After = int(rng.bounded(3));
        Fill(rng, sml.Node, 0);
        const QString text = sml.Node.AsText();
        QVERIFY2(!text.contains(QStringLiteral("(*")), qPrintable(text));

        TSML back;
        back.Parse(text);
        TNode expected = sml.Node;
        Expected(expected);
        if (Describe(back.Node) != Describe(expected)) {
            qWarning().noquote() << "round" << round << "text:\n" << text;
            QCOMPARE(Describe(back.Node), Describe(expected));
        }
    }
}

QTEST_GUILESS_MAIN(tst_Sml_Writer)
#include "tst_sml_writer.moc"
