#include "markup/tsml.h"
#include "tst_sml_support.h"

#include <QTest>

class tst_TNode : public QObject
{
    Q_OBJECT

private slots:
    void typedValues_data();
    void typedValues();
    void addNodeOverloads();
    void findsLastChildIgnoringCase();
    void datesToText_data();
    void datesToText();
    void textToDates_data();
    void textToDates();
    void documentLookups();
    void deepTreesCopyAndDestroy();
};

void tst_TNode::typedValues_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("boolean");
    QTest::addColumn<int>("integer");
    QTest::addColumn<QPoint>("point");
    QTest::newRow("true") << "true" << true << 0 << QPoint();
    QTest::newRow("TRUE") << "TRUE" << true << 0 << QPoint();
    QTest::newRow(" true") << " true" << false << 0 << QPoint();
    QTest::newRow("negative") << "-42" << false << -42 << QPoint();
    QTest::newRow("not a number") << "12a" << false << 0 << QPoint();
    QTest::newRow("too big") << "99999999999" << false << 0 << QPoint();
    QTest::newRow("point") << "10:-3" << false << 0 << QPoint(10, -3);
    QTest::newRow("half point") << "x:7" << false << 0 << QPoint(0, 7);
    QTest::newRow("empty") << "" << false << 0 << QPoint();
}

void tst_TNode::typedValues()
{
    QFETCH(QString, value);
    TNode n;
    n.Value = value;
    QTEST(n.AsBoolean(), "boolean");
    QTEST(n.AsInteger(), "integer");
    QTEST(n.AsPoint(), "point");
}

void tst_TNode::addNodeOverloads()
{
    TNode n;
    n.Init(QStringLiteral("p"));
    QCOMPARE(n.AddNode(QStringLiteral("i"), -7).Value, QStringLiteral("-7"));
    QCOMPARE(n.AddNode(QStringLiteral("b"), true).Value, QStringLiteral("true"));
    QCOMPARE(n.AddNode(QStringLiteral("b"), false).Value, QStringLiteral("false"));
    QCOMPARE(n.AddNode(QStringLiteral("s"), "text").Value, QStringLiteral("text"));
    QCOMPARE(n.AddNode(QStringLiteral("pt"), QPoint(3, -4)).Value, QStringLiteral("3:-4"));
    QCOMPARE(n.AddNode(QStringLiteral("d"), TDateTime{42807.75}).Value, QStringLiteral("2017-03-13"));
    TNode &nil = n.AddNode(QStringLiteral("nil"), QString(), false);
    QVERIFY(nil.Nil_Value);
    QVERIFY(!n.Nodes[0].Nil_Value);

    TNode sub;
    sub.Init(QStringLiteral("sub"));
    sub.AddNode(QStringLiteral("leaf"), QStringLiteral("1"));
    TNode &copy = n.AddNode(sub);
    sub.Nodes[0].Value = QStringLiteral("changed");
    QCOMPARE(copy.Nodes[0].Value, QStringLiteral("1"));

    TSML::Add_Node(n, QStringLiteral("list"), QStringList{"x", "y"});
    TSML::Add_Node(n, QStringLiteral("flag"), true);
    QCOMPARE(Describe(n.Nodes.last()), QStringLiteral("flag=\"true\""));
    QCOMPARE(Describe(n.Nodes[n.Nodes.size() - 2]), QStringLiteral("list{x;y}"));

    n.Init(QStringLiteral("again"));
    QCOMPARE(Describe(n), QStringLiteral("again"));
}

void tst_TNode::findsLastChildIgnoringCase()
{
    TNode n;
    n.AddNode(QStringLiteral("Item"), QStringLiteral("1")).AddNode(QStringLiteral("deep"), QStringLiteral("x"));
    n.AddNode(QStringLiteral("ITEM"), QStringLiteral("2"));
    n.AddNode(QStringLiteral("other"), QStringLiteral("3"));
    QCOMPARE(n.FindChildNode(QStringLiteral("item")).Value, QStringLiteral("2"));
    QCOMPARE(n.FindChild(QStringLiteral("iTeM")), &n.Nodes[1]);
    QCOMPARE(n.Values(QStringLiteral("Other")), QStringLiteral("3"));
    // only direct children
    QVERIFY(n.FindChildNode(QStringLiteral("deep")).Name.isEmpty());
    QVERIFY(n.FindChild(QStringLiteral("deep")) == nullptr);
    QCOMPARE(n.Values(QStringLiteral("deep")), QString());
}

void tst_TNode::datesToText_data()
{
    QTest::addColumn<double>("date");
    QTest::addColumn<QString>("text");
    QTest::newRow("day") << 42807.0 << "2017-03-13";
    QTest::newRow("time is not written") << 42807.99 << "2017-03-13";
    QTest::newRow("first day") << 1.0 << "1899-12-31";
    QTest::newRow("zero") << 0.0 << "0000-00-00";
    QTest::newRow("negative") << -5.0 << "0000-00-00";
    QTest::newRow("last day") << 2958465.0 << "9999-12-31";
}

void tst_TNode::datesToText()
{
    QFETCH(double, date);
    QTEST(Date_To_Text(TDateTime{date}), "text");
}

void tst_TNode::textToDates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("date");
    QTest::newRow("date") << "2017-03-13" << 42807.0;
    QTest::newRow("padded") << "  2017-03-13  " << 42807.0;
    QTest::newRow("date and time") << "2017-03-13 18:00:00.000" << 42807.75;
    QTest::newRow("milliseconds") << "2017-03-13 00:00:00.500" << 42807.0 + 0.5 / 86400;
    QTest::newRow("before day zero") << "1899-12-29 06:00:00" << -1.25;
    QTest::newRow("empty") << "   " << 0.0;
    QTest::newRow("zero date") << "0000-00-00" << 0.0;
    QTest::newRow("impossible") << "2017-02-30" << 0.0;
    QTest::newRow("bad time") << "2017-03-13 25:00" << 0.0;
    QTest::newRow("month not a number") << "2017-xx-13" << 42748.0; // month 1
    QTest::newRow("no year") << "13" << 0.0;
}

void tst_TNode::textToDates()
{
    QFETCH(QString, text);
    QFETCH(double, date);
    QCOMPARE(Text_To_Date_Time(text).Value, date);
    TNode n;
    n.Value = text;
    QCOMPARE(n.AsDate().Value, date);
}

void tst_TNode::documentLookups()
{
    TSML sml;
    sml.Parse(QStringLiteral("sml = v\n"
                             "  a\n"
                             "    target = deep\n"
                             "  Target = second\n"
                             "  b\n"
                             "    x\n"));
    // depth first: the first child's subtree before the later children
    QCOMPARE(sml.FindNode(QStringLiteral("TARGET")).Value, QStringLiteral("deep"));
    QCOMPARE(sml.NodeByName(QStringLiteral("x")).Name, QStringLiteral("x"));
    QCOMPARE(TSML::FindNode(sml.Node.Nodes[1], QStringLiteral("target")).Name, QString());
    QCOMPARE(TSML::GetNodeName(QStringLiteral("sml.b.x")), QStringLiteral("x"));
    QCOMPARE(TSML::GetNodeName(QStringLiteral("plain")), QStringLiteral("plain"));
    QCOMPARE(sml.NodeByPath(QStringLiteral("anything.target")).Value, QStringLiteral("deep"));
    QCOMPARE(sml.FindNodeByPath(QStringLiteral("b.x")).Name, QStringLiteral("x"));
    QVERIFY(sml.FindNode(QStringLiteral("sml")).Name.isEmpty()); // the node itself is not searched
    QCOMPARE(Describe(TSML::NewNode()), QString());
}

void tst_TNode::deepTreesCopyAndDestroy()
{
    // Far deeper than a recursive destructor or copy could go on the stack.
    const int depth = 300000;
    auto chain = [depth] {
        TNode top;
        top.Init(QStringLiteral("top"));
        TNode *n = &top;
        for (int i = 0; i < depth; ++i)
            n = &n->AddNode(QStringLiteral("n"), QString());
        n->Name = QStringLiteral("bottom");
        return top;
    };
    TNode top = chain();
    TNode copy = top;
    top.Nodes.first().Name = QStringLiteral("changed");
    QCOMPARE(copy.Nodes.first().Name, QStringLiteral("n"));
    QCOMPARE(TSML::FindNode(copy, QStringLiteral("bottom")).Name, QStringLiteral("bottom"));
    top = copy;   // the old chain goes
    copy = TNode();
    top.Init();
    TNode again = chain();
    QVERIFY(!again.Nodes.isEmpty());
}

QTEST_GUILESS_MAIN(tst_TNode)
#include "tst_tnode.moc"
