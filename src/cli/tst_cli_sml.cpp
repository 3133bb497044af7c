#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_Cli_Sml : public QObject
{
    Q_OBJECT

private:
    struct Result
    {
        int code;
        QByteArray out;
        QString err;
    };
    static Result Run(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(TARSEL_CLI), args);
        if (!p.waitForFinished(60000))
            return {-1, {}, QStringLiteral("timed out")};
        return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
    }
    static QString Write_File(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return path;
    }

private slots:
    void printsTreeAsJson();
    void writesJsonAsSml();
    void reportsErrors_data();
    void reportsErrors();
};

void tst_Cli_Sml::printsTreeAsJson()
{
    QTemporaryDir dir;
    const QString path = Write_File(dir, QStringLiteral("a.sml"),
                                    "\xEF\xBB\xBFsml = v\r\n  name = \xD8\xA7\xD9\x84\r\n\r\n  list\r\n    item = 1\r\n"
                                    "           2\r\n");
    const Result r = Run({QStringLiteral("sml"), path});
    QCOMPARE(r.code, 0);
    QJsonParseError error;
    const QJsonObject top = QJsonDocument::fromJson(r.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(top.value("name").toString(), QStringLiteral("sml"));
    QCOMPARE(top.value("value").toString(), QStringLiteral("v"));
    QCOMPARE(top.value("nilValue").toBool(true), false);
    const QJsonArray nodes = top.value("nodes").toArray();
    QCOMPARE(nodes.size(), 2);
    QCOMPARE(nodes[0].toObject().value("value").toString(), QStringLiteral("\u0627\u0644"));
    QCOMPARE(nodes[0].toObject().value("emptyLinesAfter").toInt(), 1);
    const QJsonObject item = nodes[1].toObject().value("nodes").toArray()[0].toObject();
    QCOMPARE(item.value("value").toString(), QStringLiteral("1\r\n2"));
    QCOMPARE(item.value("nodes").toArray().size(), 0);
}

void tst_Cli_Sml::writesJsonAsSml()
{
    QTemporaryDir dir;
    const QString path = Write_File(dir, QStringLiteral("t.json"), R"({
        "name": "sml", "value": "version = 0.1; encoding = utf-8",
        "nodes": [
          {"name": "target", "value": "", "nilValue": true, "emptyLinesAfter": 1},
          {"name": "a=b", "nodes": [{"name": "x", "value": "1\n2"}]}
        ]})");
    const Result r = Run({QStringLiteral("sml"), QStringLiteral("--write"), path});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QByteArray("\xEF\xBB\xBFsml = version = 0.1; encoding = utf-8\r\n"
                               "  target = \r\n"
                               "\r\n"
                               "  \"a=b\"\r\n"
                               "    x = 1\r\n"
                               "        2\r\n"));

    // and the text reads back as the same tree
    const QString sml = Write_File(dir, QStringLiteral("t.sml"), r.out);
    const Result back = Run({QStringLiteral("sml"), sml});
    QCOMPARE(back.code, 0);
    const QJsonObject top = QJsonDocument::fromJson(back.out).object();
    QCOMPARE(top.value("nodes").toArray()[1].toObject().value("name").toString(), QStringLiteral("a=b"));
}

void tst_Cli_Sml::reportsErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QStringList{"sml", "/nonexistent/x.sml"} << 1 << "File not found";
    QTest::newRow("missing json") << QStringList{"sml", "--write", "/nonexistent/x.json"} << 1 << "File not found";
    QTest::newRow("bad json") << QStringList{"sml", "--write", "@bad"} << 1 << "Invalid JSON";
    QTest::newRow("bad node") << QStringList{"sml", "--write", "@node"} << 1 << "Invalid node at top.nodes[0]";
    QTest::newRow("no file") << QStringList{"sml"} << 2 << "usage: sml FILE";
    QTest::newRow("too many") << QStringList{"sml", "a", "b"} << 2 << "usage: sml FILE";
    QTest::newRow("unknown option") << QStringList{"sml", "--read", "a"} << 2 << "usage: sml FILE";
}

void tst_Cli_Sml::reportsErrors()
{
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    if (args.last() == u"@bad")
        args.last() = Write_File(dir, QStringLiteral("bad.json"), "{ not json");
    else if (args.last() == u"@node")
        args.last() = Write_File(dir, QStringLiteral("node.json"), R"({"name": "t", "nodes": [3]})");
    const Result r = Run(args);
    QTEST(r.code, "code");
    QFETCH(QString, message);
    QVERIFY2(r.err.startsWith(message), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
}

QTEST_GUILESS_MAIN(tst_Cli_Sml)
#include "tst_cli_sml.moc"
