#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run_Result
{
    int Status = -1;
    QByteArray Out;
    QByteArray Err;
};

Run_Result Run(const QStringList &args, const QString &workDir = {})
{
    QProcess p;
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(TARSEL_CLI), args);
    Run_Result r;
    if (!p.waitForFinished(60000))
        return r;
    r.Status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.Out = p.readAllStandardOutput();
    r.Err = p.readAllStandardError();
    return r;
}

QJsonObject Dump(const QStringList &args)
{
    const Run_Result r = Run(QStringList{QStringLiteral("dump")} + args);
    if (r.Status != 0)
        qWarning() << r.Err;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.Out, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << error.errorString();
    return doc.object();
}

QJsonObject Without_Path(QJsonObject o)
{
    o.remove(QStringLiteral("filePath"));
    return o;
}

QByteArray Read_All(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Fixture()
{
    return QStringLiteral(TARSEL_SOURCE_DIR "/src/archive/testdata/archive_full.arc");
}

QString Gid(int n)
{
    return QStringLiteral("{00000000-0000-0000-0000-%1}").arg(n, 12, 10, QLatin1Char('0'));
}

} // namespace

class tst_Cli_Archive : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void convertRoundTrip();
    void dumpShape();
    void newArchive_data();
    void newArchive();
    void search_data();
    void search();
    void check();
    void errors_data();
    void errors();

private:
    QTemporaryDir FDir;
    QString FArchive;
};

void tst_Cli_Archive::initTestCase()
{
    QVERIFY(FDir.isValid());
    FArchive = FDir.filePath(QStringLiteral("full.arc"));
    QVERIFY(QFile::copy(Fixture(), FArchive));
}

void tst_Cli_Archive::convertRoundTrip()
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.arc"));
    const QString b = dir.filePath(QStringLiteral("b.ARCX"));
    const QString c = dir.filePath(QStringLiteral("c.arc"));
    const QString d = dir.filePath(QStringLiteral("d.arc"));
    QVERIFY(QFile::copy(Fixture(), a));
    const QJsonObject original = Dump({a});
    QCOMPARE(original.value(QStringLiteral("name")).toString(), QStringLiteral("Office Archive"));

    // plain -> compressed (by extension) -> encrypted (by flag) -> plain
    QCOMPARE(Run({QStringLiteral("convert"), a, b}).Status, 0);
    QVERIFY(Read_All(b).startsWith("\x78\x9C"));
    QCOMPARE(Run({QStringLiteral("convert"), b, c, QStringLiteral("--encrypted")}).Status, 0);
    QCOMPARE(Read_All(c).size() % 8, 0);
    QVERIFY(!Read_All(c).startsWith("\xEF\xBB\xBF"));
    QCOMPARE(Run({QStringLiteral("convert"), c, d, QStringLiteral("--from-encrypted")}).Status, 0);

    QCOMPARE(Without_Path(Dump({b})), Without_Path(original));
    QCOMPARE(Without_Path(Dump({c, QStringLiteral("--encrypted")})), Without_Path(original));
    QCOMPARE(Without_Path(Dump({d})), Without_Path(original));
    QCOMPARE(Dump({d}).value(QStringLiteral("filePath")).toString(), d);
    QCOMPARE(Read_All(d), Read_All(a));

    // an explicit flag wins over the extension
    const QString e = dir.filePath(QStringLiteral("e.arcx"));
    QCOMPARE(Run({QStringLiteral("convert"), a, e, QStringLiteral("--plain")}).Status, 0);
    QVERIFY(Read_All(e).startsWith("\xEF\xBB\xBF"));
    QCOMPARE(Without_Path(Dump({e, QStringLiteral("--plain")})), Without_Path(original));
}

void tst_Cli_Archive::dumpShape()
{
    const QJsonObject archive = Dump({FArchive});
    QCOMPARE(archive.keys(), (QStringList{QStringLiteral("documents"), QStringLiteral("filePath"),
                                          QStringLiteral("folders"), QStringLiteral("meta"), QStringLiteral("name"),
                                          QStringLiteral("unit")}));
    const QJsonObject unit = archive.value(QStringLiteral("unit")).toObject();
    QCOMPARE(unit.value(QStringLiteral("id")).toString(), Gid(10));
    QCOMPARE(unit.value(QStringLiteral("type")).toString(), QStringLiteral("Ministry"));
    // the own folder was read back as the unit's second folder
    const QJsonArray folders = unit.value(QStringLiteral("folders")).toArray();
    QCOMPARE(folders.size(), 2);
    QCOMPARE(folders[1].toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Documents"));
    const QJsonObject own = unit.value(QStringLiteral("ownFolder")).toObject();
    QCOMPARE(own.value(QStringLiteral("documents")).toArray().size(), 0);
    QCOMPARE(own.keys(), (QStringList{QStringLiteral("documents"), QStringLiteral("folders"), QStringLiteral("id"),
                                      QStringLiteral("name"), QStringLiteral("subjects")}));

    const QJsonObject doc = unit.value(QStringLiteral("documents")).toArray().at(0).toObject();
    QCOMPARE(doc.value(QStringLiteral("description")).toString(), QStringLiteral("First line\r\nSecond line"));
    const QJsonObject mail = doc.value(QStringLiteral("mail")).toObject();
    QCOMPARE(mail.value(QStringLiteral("internal")).toInt(), 2);
    QCOMPARE(mail.value(QStringLiteral("date")).toInt(), 20170305);
    QCOMPARE(mail.value(QStringLiteral("deliveryDate")).toInt(), 20170000);
    QCOMPARE(mail.value(QStringLiteral("from")).toString(), QStringLiteral("Finance"));
    QCOMPARE(doc.value(QStringLiteral("files")).toArray(),
             (QJsonArray{QStringLiteral("2017-03-13\\scan1.jpg"), QStringLiteral("2017-03-13\\scan2.jpg")}));
    QCOMPARE(doc.value(QStringLiteral("documents")).toArray().at(0).toObject().value(QStringLiteral("name")).toString(),
             QStringLiteral("Attachment"));

    const QJsonObject person = unit.value(QStringLiteral("persons")).toArray().at(0).toObject();
    QCOMPARE(person.value(QStringLiteral("name")).toString(), QString::fromUtf8("أحمد"));
    QCOMPARE(person.value(QStringLiteral("no")).toString(), QStringLiteral("7"));
    QCOMPARE(person.value(QStringLiteral("unitId")).toString(), Gid(10));

    const QJsonObject item = archive.value(QStringLiteral("meta")).toObject().value(QStringLiteral("items")).toArray().at(0).toObject();
    QCOMPARE(item.value(QStringLiteral("group")).toString(), QStringLiteral("Mail"));
    const QJsonObject field = item.value(QStringLiteral("fields")).toArray().at(0).toObject();
    QCOMPARE(field.value(QStringLiteral("dataType")).toString(), QStringLiteral("Text"));
    QCOMPARE(field.value(QStringLiteral("values")).toArray(), (QJsonArray{QStringLiteral("Ahmad"), QStringLiteral("Sara")}));
}

void tst_Cli_Archive::newArchive_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("plain") << QStringLiteral("new.arc") << QByteArray("\xEF\xBB\xBFsml = ");
    QTest::newRow("compressed") << QStringLiteral("new.Arcx") << QByteArray("\x78\x9C");
}

void tst_Cli_Archive::newArchive()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, start);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    const Run_Result r = Run({QStringLiteral("new"), path});
    QCOMPARE(r.Status, 0);
    QVERIFY(Read_All(path).startsWith(start));
    const QJsonObject archive = Dump({path});
    QCOMPARE(archive.value(QStringLiteral("name")).toString(), QStringLiteral("Archive"));
    const QJsonObject unit = archive.value(QStringLiteral("unit")).toObject();
    QCOMPARE(unit.value(QStringLiteral("name")).toString(), QStringLiteral("My Archive"));
    QVERIFY(!unit.value(QStringLiteral("id")).toString().isEmpty());
    const QJsonArray docs = unit.value(QStringLiteral("documents")).toArray();
    QCOMPARE(docs.size(), 1);
    QCOMPARE(docs[0].toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Document"));
    QCOMPARE(docs[0].toObject().value(QStringLiteral("id")).toString().size(), 38);
}

void tst_Cli_Archive::search_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("hits"); // kind:name in result order
    const QString in = QStringLiteral("--in");
    QTest::newRow("titles") << QStringList{QStringLiteral("Doc"), in, QStringLiteral("titles")}
                            << QStringList{QStringLiteral("document:Folder Doc"), QStringLiteral("document:Subject Doc"),
                                           QStringLiteral("document:Unit Doc"), QStringLiteral("document:Unit Folder Doc"),
                                           QStringLiteral("document:Own Doc"), QStringLiteral("document:Person Doc")};
    QTest::newRow("documents by default, words then subject")
        << QStringList{QStringLiteral("Folder Subject")}
        << QStringList{QStringLiteral("document:Folder Doc"), QStringLiteral("document:Subject Doc"),
                       QStringLiteral("document:Unit Folder Doc")};
    QTest::newRow("documents by keyword") << QStringList{QStringLiteral("budget"), in, QStringLiteral("documents")}
                                          << QStringList{QStringLiteral("document:Unit Doc")};
    QTest::newRow("folders") << QStringList{QStringLiteral("Folder"), in, QStringLiteral("folders")}
                             << QStringList{QStringLiteral("folder:Archive Folder"), QStringLiteral("folder:Inner Folder"),
                                            QStringLiteral("folder:Unit Folder"), QStringLiteral("folder:Person Folder")};
    QTest::newRow("subjects") << QStringList{QStringLiteral("Subject"), in, QStringLiteral("subjects")}
                              << QStringList{QStringLiteral("subject:Folder Subject"), QStringLiteral("subject:Sub Subject"),
                                             QStringLiteral("subject:Own Subject"), QStringLiteral("subject:Person Subject")};
    QTest::newRow("units") << QStringList{QStringLiteral("i"), in, QStringLiteral("units")}
                           << QStringList{QStringLiteral("unit:My Archive"), QStringLiteral("unit:Section")};
    QTest::newRow("persons") << QStringList{QString::fromUtf8("حم"), in, QStringLiteral("persons")}
                             << QStringList{QString::fromUtf8("person:أحمد")};
    QTest::newRow("nothing") << QStringList{QStringLiteral("zzz")} << QStringList{};
}

void tst_Cli_Archive::search()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, hits);
    const Run_Result r = Run(QStringList{QStringLiteral("search"), FArchive} + args);
    QCOMPARE(r.Status, 0);
    QStringList actual;
    for (const QByteArray &line : r.Out.split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject hit = QJsonDocument::fromJson(line).object();
        QVERIFY2(hit.contains(QStringLiteral("id")), line.constData());
        actual.append(hit.value(QStringLiteral("kind")).toString() + QLatin1Char(':') +
                      hit.value(QStringLiteral("name")).toString());
    }
    QCOMPARE(actual, hits);
}

void tst_Cli_Archive::check()
{
    // GIVEN the archive with one of its two files in the store
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("office.arc"));
    QVERIFY(QFile::copy(Fixture(), path));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("documents/2017-03-13")));
    QFile scan1(dir.filePath(QStringLiteral("documents/2017-03-13/scan1.jpg")));
    QVERIFY(scan1.open(QIODevice::WriteOnly));
    scan1.close();

    // WHEN it is checked THEN the other one is reported and the status is 3
    Run_Result r = Run({QStringLiteral("check"), path});
    QCOMPARE(r.Status, 3);
    const QList<QByteArray> lines = r.Out.trimmed().split('\n');
    QCOMPARE(lines.size(), 1);
    const QJsonObject missing = QJsonDocument::fromJson(lines[0]).object();
    QCOMPARE(missing.value(QStringLiteral("documentId")).toString(), Gid(11));
    QCOMPARE(missing.value(QStringLiteral("file")).toString(), QStringLiteral("2017-03-13\\scan2.jpg"));

    // AND once it is there too, nothing is reported
    QFile scan2(dir.filePath(QStringLiteral("documents/2017-03-13/scan2.jpg")));
    QVERIFY(scan2.open(QIODevice::WriteOnly));
    scan2.close();
    r = Run({QStringLiteral("check"), path});
    QCOMPARE(r.Status, 0);
    QCOMPARE(r.Out, QByteArray());

    // a relative archive path resolves the store from the working folder
    r = Run({QStringLiteral("check"), QStringLiteral("office.arc")}, dir.path());
    QCOMPARE(r.Status, 0);
}

void tst_Cli_Archive::errors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString missing = QStringLiteral("/nonexistent/none.arc");
    QTest::newRow("dump missing file") << QStringList{QStringLiteral("dump"), missing} << 1 << QStringLiteral("File not found");
    QTest::newRow("dump missing compressed") << QStringList{QStringLiteral("dump"), missing, QStringLiteral("--compressed")} << 1 << QStringLiteral("File not found");
    QTest::newRow("search missing file") << QStringList{QStringLiteral("search"), missing, QStringLiteral("x")} << 1 << QString();
    QTest::newRow("check missing file") << QStringList{QStringLiteral("check"), missing} << 1 << QString();
    QTest::newRow("plain read as compressed") << QStringList{QStringLiteral("dump"), QStringLiteral("@archive"), QStringLiteral("--compressed")} << 1 << QString();
    QTest::newRow("convert into a folder") << QStringList{QStringLiteral("convert"), QStringLiteral("@archive"), QStringLiteral("@dir")} << 1 << QString();
    QTest::newRow("new into a missing folder") << QStringList{QStringLiteral("new"), QStringLiteral("/nonexistent/dir/x.arc")} << 1 << QString();
    QTest::newRow("dump without file") << QStringList{QStringLiteral("dump")} << 2 << QStringLiteral("usage:");
    QTest::newRow("dump two files") << QStringList{QStringLiteral("dump"), QStringLiteral("a"), QStringLiteral("b")} << 2 << QStringLiteral("usage:");
    QTest::newRow("dump two containers") << QStringList{QStringLiteral("dump"), QStringLiteral("a"), QStringLiteral("--plain"), QStringLiteral("--encrypted")} << 2 << QStringLiteral("usage:");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("dump"), QStringLiteral("a"), QStringLiteral("--zip")} << 2 << QStringLiteral("usage:");
    QTest::newRow("convert one file") << QStringList{QStringLiteral("convert"), QStringLiteral("a")} << 2 << QStringLiteral("usage:");
    QTest::newRow("search bad kind") << QStringList{QStringLiteral("search"), QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("--in"), QStringLiteral("letters")} << 2 << QStringLiteral("usage:");
    QTest::newRow("search --in without value") << QStringList{QStringLiteral("search"), QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("--in")} << 2 << QStringLiteral("usage:");
    QTest::newRow("search without text") << QStringList{QStringLiteral("search"), QStringLiteral("a")} << 2 << QStringLiteral("usage:");
    QTest::newRow("check two files") << QStringList{QStringLiteral("check"), QStringLiteral("a"), QStringLiteral("b")} << 2 << QStringLiteral("usage:");
}

void tst_Cli_Archive::errors()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    args.replaceInStrings(QStringLiteral("@archive"), FArchive);
    args.replaceInStrings(QStringLiteral("@dir"), FDir.path());
    const Run_Result r = Run(args);
    QCOMPARE(r.Status, status);
    QCOMPARE(r.Out, QByteArray());
    QVERIFY2(!r.Err.trimmed().isEmpty(), "a message on standard error");
    if (!message.isEmpty())
        QVERIFY2(QString::fromUtf8(r.Err).contains(message), r.Err.constData());
}

QTEST_GUILESS_MAIN(tst_Cli_Archive)
#include "tst_cli_archive.moc"
