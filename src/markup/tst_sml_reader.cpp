#include "markup/terror.h"
#include "markup/tsml.h"
#include "tst_sml_support.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

class tst_Sml_Reader : public QObject
{
    Q_OBJECT

private:
    static QString Read(const QString &text)
    {
        TSML sml;
        return Describe(sml.Parse(text));
    }

private slots:
    void readsText_data();
    void readsText();
    void parseAddsToExistingNode();
    void readFromListReplacesNode();
    void decodesBytes_data();
    void decodesBytes();
    void readsFiles();
    void readsLargeFilesInChunks_data();
    void readsLargeFilesInChunks();
    void missingFileRaises();
    void deepNesting();
    void longLinesAndManySiblings();
    void garbageDoesNotCrash();
};

void tst_Sml_Reader::readsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tree");

    QTest::newRow("localization sample")
        << QStringLiteral("sml = version = 0.1; encoding = utf-8\r\n"
                          "  localization\r\n"
                          "    translations\r\n"
                          "      unit\r\n"
                          "        source = Do you want to save the changes\r\n"
                          "                 you made to %s ?\r\n"
                          "        target = \r\n"
                          "\r\n"
                          "      unit\r\n")
        << QStringLiteral("sml=\"version = 0.1; encoding = utf-8\"{localization{translations{unit{"
                          "source=\"Do you want to save the changes\\r\\nyou made to %s ?\";target+1};unit}}}");

    // single lines at a level's column
    QTest::newRow("first = splits") << "t\n  a = b = c" << "t{a=\"b = c\"}";
    QTest::newRow("no spaces") << "t\n  a=b" << "t{a=\"b\"}";
    QTest::newRow("one space dropped") << "t\n  a =  b" << "t{a=\" b\"}";
    QTest::newRow("quoted value") << "t\n  key = \"  padded  \"" << "t{key=\"  padded  \"}";
    QTest::newRow("quoted name with =") << "t\n  \"x=y\"" << "t{x\\=y}";
    QTest::newRow("quoted name keeps its value") << "t\n  \"a\" = b" << "t{\\\"a\\\" \\= b}";
    QTest::newRow("remark cut, space kept") << "t\n  note = keep ~ remark" << "t{note=\"keep \"}";
    QTest::newRow("remark only") << "t\n  ~ remark only" << "t";
    QTest::newRow("value is a remark") << "t\n  a = ~x" << "t{a}";
    QTest::newRow("escaped tilde in value") << "t\n  a = x\\~y~z" << "t{a=\"x~y~z\"}";
    QTest::newRow("escaped tilde in name") << "t\n  a\\~b" << "t{a~b}";
    QTest::newRow("remark after name") << "t\n  ab  ~ c" << "t{ab}";
    QTest::newRow("header") << "t\n  header" << "t{header}";
    QTest::newRow("empty value") << "t\n  target = " << "t{target}";
    QTest::newRow("name with leading =") << "t\n  =x" << "t{\\=x}";
    QTest::newRow("quoted >") << "t\n  \">\"" << "t{>}";
    QTest::newRow("star-paren has no meaning") << "t\n  a *) = 1" << "t{a *)=\"1\"}";

    // continuation lines
    QTest::newRow("blank continuation dropped") << "t\n  a = x\n\n      y" << "t{a=\"x\\r\\ny\"}";
    QTest::newRow("continuation without space") << "t\n  a = x\n     y" << "t{a=\"x\\r\\ny\"}";
    QTest::newRow("continuation quoted") << "t\n  a = x\n      \"  y  \"" << "t{a=\"x\\r\\n  y  \"}";
    QTest::newRow("continuation has no tilde rule") << "t\n  a = x\n      ~y" << "t{a=\"x\\r\\n~y\"}";
    QTest::newRow("continuation is no comment") << "t\n  a = x\n      (* y\n  b" << "t{a=\"x\\r\\n(* y\";b}";
    QTest::newRow("tab is one blank column") << "t\n  a = x\n\t     y" << "t{a=\"x\\r\\ny\"}";
    QTest::newRow("blanks after continuation count once")
        << "t\n  a = x\n      y\n\n\n  b" << "t{a=\"x\\r\\ny\"+1;b}";
    QTest::newRow("blanks after a single line all count") << "t\n  a = x\n\n\n  b" << "t{a=\"x\"+2;b}";
    QTest::newRow("blanks at the end after continuation")
        << "t\n  a = x\n      y\n\n" << "t{a=\"x\\r\\ny\"}";
    QTest::newRow("deeper line ends continuation") << "t\n  a = x\n    b" << "t{a=\"x\"{b}}";

    // continuation markers
    QTest::newRow("> joins with a space") << "t\n  a = abc\n  > = def" << "t{a=\"abc def\"}";
    QTest::newRow(">| joins with a line break") << "t\n  a = abc\n  >| = def" << "t{a=\"abc\\r\\ndef\"}";
    QTest::newRow("marker after children") << "t\n  a = abc\n    b\n  >| = \"  \"" << "t{a=\"abc\\r\\n  \"{b}}";
    QTest::newRow("marker value keeps tilde rule") << "t\n  a\n  > = x~y" << "t{a=\" x\"}";
    QTest::newRow("marker first in level ignored") << "t\n  > = x\n  a" << "t{a}";

    // nameless lines
    QTest::newRow("nameless line gives children to previous")
        << "t\n  a\n  ~c\n    b" << "t{a{b}}";
    QTest::newRow("nameless first line ignored") << "t\n  ~c\n    b\n  a" << "t{a}";
    QTest::newRow("quoted blanks are a name") << "t\n  \"  \"\n    b\n  a" << "t{  {b};a}";
    QTest::newRow("quoted nothing is no name") << "t\n  a\n  \"\"\n    b" << "t{a{b}}";
    // dropped levels nested in dropped levels, with siblings after them at every depth
    QTest::newRow("dropped inside dropped")
        << "t\n  ~c\n    a\n      ~d\n        b\n        c\n        e\n      f\n    g\n  h"
        << "t{h}";
    QTest::newRow("dropped with markers and continuations")
        << "t\n  ~\n    a = 1\n        2\n    >| = 3\n    d\n      ~\n        b\n  c = x" << "t{c=\"x\"}";

    // block comments
    QTest::newRow("comment inside a level")
        << "t\n  a\n  (* start\n  hidden\n  (*\n  b" << "t{a;b}";
    QTest::newRow("unclosed comment") << "t\n  a\n  (*\n  b" << "t{a}";
    QTest::newRow("comment before the top") << "(*\nx\n(*\nt\n  a" << "t{a}";

    // columns and misplaced lines
    QTest::newRow("base column from first line") << "\n   t\n     a" << "t{a}";
    QTest::newRow("tab is no indentation") << "\tt\n  a" << "t{a}";
    QTest::newRow("misplaced line skips to base column")
        << "t\n  a\n   x\n  b\n    c" << "t{a}";
    QTest::newRow("top node is the first") << "a\n  b\nc" << "a{b}";
    // no name and no children; the blank lines count on the empty node
    QTest::newRow("only blank lines") << "\n  \n\t\n" << "+3";
    QTest::newRow("lone CR and LF break lines") << "t\r  a\n  b\r\n" << "t{a;b}";

    // comment pairs the writer kept apart
    QTest::newRow("joiner dropped") << QStringLiteral("t\n  a = (\u2060*x") << "t{a=\"(*x\"}";
    QTest::newRow("one joiner dropped") << QStringLiteral("t\n  (\u2060\u2060*") << QStringLiteral("t{(\u2060*}");
    QTest::newRow("joiner elsewhere kept") << QStringLiteral("t\n  a = x\u2060*") << QStringLiteral("t{a=\"x\u2060*\"}");
}

void tst_Sml_Reader::readsText()
{
    QFETCH(QString, text);
    QFETCH(QString, tree);
    QCOMPARE(Read(text), tree);
}

void tst_Sml_Reader::parseAddsToExistingNode()
{
    TSML sml;
    sml.Node.AddNode(QStringLiteral("old"), QStringLiteral("1"));
    // Node keeps its empty name, so the selection picks its first child: the old one.
    QCOMPARE(Describe(sml.Parse(QStringLiteral("new"))), QStringLiteral("old=\"1\""));
}

void tst_Sml_Reader::readFromListReplacesNode()
{
    TSML sml;
    sml.Node.AddNode(QStringLiteral("old"), QStringLiteral("1"));
    const TNode n = sml.Read_From_List({QStringLiteral("top"), QStringLiteral("  a = 1"),
                                        QStringLiteral("      2")});
    QCOMPARE(Describe(n), QStringLiteral("top{a=\"1\\r\\n2\"}"));
    QCOMPARE(Describe(sml.Node), Describe(n));
}

void tst_Sml_Reader::decodesBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString arabic = QStringLiteral("\u0627\u0644");
    QTest::newRow("utf-8") << QByteArray("a \xD8\xA7\xD9\x84") << QStringLiteral("a ") + arabic;
    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF\xD8\xA7\xD9\x84") << arabic;
    QTest::newRow("utf-16 le bom") << QByteArray("\xFF\xFE\x27\x06\x44\x06", 6) << arabic;
    QTest::newRow("utf-16 be bom") << QByteArray("\xFE\xFF\x06\x27\x06\x44", 6) << arabic;
    QTest::newRow("windows-1256") << QByteArray("a \xC7\xE1") << QStringLiteral("a ") + arabic;
    QTest::newRow("bom, then not utf-8") << QByteArray("\xEF\xBB\xBF\xC7\xE1") << arabic;
    QTest::newRow("empty") << QByteArray() << QString();
}

void tst_Sml_Reader::decodesBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(TSML::Decode_Text(bytes), text);
}

void tst_Sml_Reader::readsFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("legacy.sml"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("sml = v\r  \xC7\xE1 = \xC7\r");
    f.close();

    TSML sml;
    sml.Node.AddNode(QStringLiteral("stale"), QString());
    const TNode n = sml.Parse_File(path);
    QCOMPARE(sml.FileName, path);
    QCOMPARE(Describe(n), QStringLiteral("sml=\"v\"{\u0627\u0644=\"\u0627\"}"));

    TSML other;
    other.Load(path);
    QCOMPARE(Describe(other.Node), Describe(n));

    // A blank file name reads nothing and keeps the node.
    other.FileName = QStringLiteral("  ");
    other.Parse();
    QCOMPARE(Describe(other.Node), Describe(n));
}

// Files are decoded a megabyte at a time; what lies across a chunk's edge must read as
// it does from a text in memory.
void tst_Sml_Reader::readsLargeFilesInChunks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const int chunk = 1 << 20;
    auto padded = [](QByteArray head, int at, const QByteArray &tail) {
        // Lines of "  x = ..." up to offset `at`, where tail begins.
        head += "\r\n";
        while (head.size() < at) {
            QByteArray line = "  x = " + QByteArray(qMin(60, qMax(1, at - int(head.size()) - 8)), 'v') + "\r\n";
            if (head.size() + line.size() > at)
                line = QByteArray(at - int(head.size()), ' ');
            head += line;
        }
        return head + tail;
    };
    QTest::newRow("CR LF across the edge")
        << padded("t", chunk - 8, "  y = 1\r\n  z = 2\r\n");
    QTest::newRow("comment marker across the edge")
        << padded("t", chunk - 3, "  (*\r\n  hidden\r\n  (*\r\n  after\r\n");
    QByteArray arabic = "t\r\n";
    while (arabic.size() < 3 * chunk)
        arabic += "  \xD8\xA7\xD9\x84 = \xD8\xA7\xD9\x84\xD8\xB9\r\n               \xD8\xB9\r\n\r\n";
    QTest::newRow("multi-byte characters") << arabic;
    QTest::newRow("not utf-8 near the end") << arabic + "  \xC7\xE1 = x\r\n";
    QTest::newRow("one long line") << "t\r\n  a = " + QByteArray(5 * chunk, 'w') + "\r\n  b\r";
    QTest::newRow("blank lines across chunks") << "t\r\n  a = 1\r\n" + QByteArray(3 * chunk, '\n') + "  b\r\n";
}

void tst_Sml_Reader::readsLargeFilesInChunks()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.sml"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    TSML file, memory;
    file.Load(path);
    memory.Parse(TSML::Decode_Text(bytes));
    QVERIFY(!memory.Node.Nodes.isEmpty());
    QVERIFY(Describe(file.Node) == Describe(memory.Node));
}

void tst_Sml_Reader::missingFileRaises()
{
    QTemporaryDir dir;
    TSML sml;
    sml.FileName = dir.filePath(QStringLiteral("none.sml"));
    try {
        sml.Parse();
        QFAIL("no error raised");
    } catch (const TError &e) {
        QCOMPARE(e.message(), QStringLiteral("File not found"));
    }
}

void tst_Sml_Reader::deepNesting()
{
    // Every level two columns deeper: 3000 levels, about 9 million characters.
    const int depth = 3000;
    QString text;
    for (int i = 0; i < depth; ++i)
        text += QString(2 * i, u' ') + QStringLiteral("n%1 = v\r\n").arg(i);
    TSML sml;
    sml.Parse(text);
    const TNode *n = &sml.Node;
    int levels = 1;
    while (!n->Nodes.isEmpty()) {
        QCOMPARE(n->Nodes.size(), 1);
        n = &n->Nodes.first();
        ++levels;
    }
    QCOMPARE(levels, depth);
    QCOMPARE(n->Name, QStringLiteral("n%1").arg(depth - 1));

    // Written back, the tree reads the same.
    QCOMPARE(sml.Node.AsText(), text);
}

void tst_Sml_Reader::longLinesAndManySiblings()
{
    const QString big(20 * 1000 * 1000, u'x');
    TSML sml;
    sml.Parse(QStringLiteral("t\r\n  a = ") + big + QStringLiteral("\r\n  ") + big);
    QCOMPARE(sml.Node.Nodes.size(), 2);
    QCOMPARE(sml.Node.Nodes[0].Value.size(), big.size());
    QCOMPARE(sml.Node.Nodes[1].Name.size(), big.size());

    QString many = QStringLiteral("t\r\n");
    for (int i = 0; i < 200000; ++i)
        many += QStringLiteral("  item = %1\r\n").arg(i);
    TSML siblings;
    siblings.Parse(many);
    QCOMPARE(siblings.Node.Nodes.size(), 200000);
    QCOMPARE(siblings.Node.Nodes.last().Value, QStringLiteral("199999"));
}

void tst_Sml_Reader::garbageDoesNotCrash()
{
    QRandomGenerator rng(7);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(int(rng.bounded(1, 4000)), Qt::Uninitialized);
        for (char &c : bytes) {
            // Mostly format characters, so that the rules get exercised.
            static const char pick[] = "  \r\n=~\"(*>|\\ab\t\xC7";
            c = rng.bounded(4) ? pick[rng.bounded(int(sizeof pick - 1))] : char(rng.bounded(256));
        }
        TSML sml;
        const TNode n = sml.Parse(TSML::Decode_Text(bytes));
        TSML again;
        again.Parse(n.AsText());
    }
}

QTEST_GUILESS_MAIN(tst_Sml_Reader)
#include "tst_sml_reader.moc"
