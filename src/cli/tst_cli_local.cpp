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
    int Exit = -1;
    QString Out;
    QString Err;
};

Run_Result Run_Cli(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(TARSEL_CLI), args);
    Run_Result r;
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.Exit = p.exitCode();
    r.Out = QString::fromUtf8(p.readAllStandardOutput());
    r.Err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString Arabic_File()
{
    return QStringLiteral(TARSEL_SOURCE_DIR "/src/local/langs/arabic.local");
}

QString Local_Fixture(const char *name)
{
    return QStringLiteral(TARSEL_SOURCE_DIR "/src/local/testdata/") + QLatin1String(name);
}

} // namespace

class tst_CliLocal : public QObject
{
    Q_OBJECT

private slots:
    void translate_data();
    void translate();
    void translateErrors_data();
    void translateErrors();
    void usageErrors_data();
    void usageErrors();
    void languages();
    void languagesMissingFolder();
};

void tst_CliLocal::translate_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("out");
    QTest::newRow("no file: text unchanged") << QStringList{"&Save"} << "&Save\n";
    QTest::newRow("no file: prepared") << QStringList{"%# files||more"} << "%d files\rmore\n";
    QTest::newRow("no file: bracket") << QStringList{"[x]"} << "\n";
    QTest::newRow("no file: context") << QStringList{"--context", "hint", "[x]"} << "[x]\n";
    QTest::newRow("arabic") << QStringList{"--lang", Arabic_File(), "Default"} << QStringLiteral("الإفتراضي\n");
    QTest::newRow("arabic first unit") << QStringList{"--lang", Arabic_File(), "Close"} << QStringLiteral("&غلق\n");
    QTest::newRow("arabic context")
        << QStringList{"--context", "hint", "--lang", Arabic_File(), "Close"} << QStringLiteral("غلق\n");
    QTest::newRow("arabic two lines")
        << QStringList{"--lang", Arabic_File(),
                       "The archive file has been modified by another program.\r\nDo you want to reload it?"}
        << QStringLiteral("تم تعديل ملف الأرشيف من قبل برنامج آخر.\r\nهل يتم إعادة تحميل الملف؟\n");
    QTest::newRow("text after --") << QStringList{"--lang", Arabic_File(), "--", "--lang"} << "--lang\n";
}

void tst_CliLocal::translate()
{
    QFETCH(QStringList, args);
    QFETCH(QString, out);
    const Run_Result r = Run_Cli(QStringList{"translate"} + args);
    QCOMPARE(r.Err, QString());
    QCOMPARE(r.Exit, 0);
    QCOMPARE(r.Out, out);
}

void tst_CliLocal::translateErrors_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << Local_Fixture("gone.local") << "File not found";
    QTest::newRow("no localization") << Local_Fixture("no_localization.local")
                                     << "The tag \"localization\" not found in localization file.";
    QTest::newRow("Translations") << Local_Fixture("capital_translations.local")
                                  << "The tag \"translations\" not found in localization file.";
}

void tst_CliLocal::translateErrors()
{
    QFETCH(QString, file);
    QFETCH(QString, message);
    const Run_Result r = Run_Cli({"translate", "--lang", file, "Open"});
    QCOMPARE(r.Exit, 1);
    QCOMPARE(r.Out, QString());
    QCOMPARE(r.Err.trimmed(), message);
}

void tst_CliLocal::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("translate without text") << QStringList{"translate"};
    QTest::newRow("two texts") << QStringList{"translate", "a", "b"};
    QTest::newRow("--lang without file") << QStringList{"translate", "--lang"};
    QTest::newRow("--context without tag") << QStringList{"translate", "Close", "--context"};
    QTest::newRow("unknown option") << QStringList{"translate", "--language", "x", "Close"};
    QTest::newRow("two folders") << QStringList{"languages", "a", "b"};
}

void tst_CliLocal::usageErrors()
{
    QFETCH(QStringList, args);
    const Run_Result r = Run_Cli(args);
    QCOMPARE(r.Exit, 2);
    QCOMPARE(r.Out, QString());
    QVERIFY2(r.Err.contains(QLatin1String("usage:")), qPrintable(r.Err));
    QVERIFY2(r.Err.contains(args.first()), qPrintable(r.Err));
}

void tst_CliLocal::languages()
{
    QTemporaryDir temp;
    QVERIFY(QFile::copy(Arabic_File(), temp.filePath(QStringLiteral("arabic.local"))));
    QFile other(temp.filePath(QStringLiteral("other.local")));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("  localization\r\n");
    other.close();

    const Run_Result r = Run_Cli({"languages", temp.path()});
    QCOMPARE(r.Err, QString());
    QCOMPARE(r.Exit, 0);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.Out.toUtf8(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QJsonArray list = doc.array();
    QCOMPARE(list.size(), 3);
    QCOMPARE(list[0].toObject(), QJsonObject({{"language", "Default"}, {"nativeName", "English"}, {"fileName", ""}}));
    QStringList rows;
    for (int i = 1; i < list.size(); ++i) {
        const QJsonObject o = list[i].toObject();
        rows << o[QStringLiteral("language")].toString() + QLatin1Char('|') + o[QStringLiteral("nativeName")].toString()
                    + QLatin1Char('|') + QDir::cleanPath(o[QStringLiteral("fileName")].toString());
    }
    rows.sort();
    QCOMPARE(rows, QStringList({QStringLiteral("<Unknown>||") + temp.filePath(QStringLiteral("other.local")),
                                QStringLiteral("Arabic|العربية|") + temp.filePath(QStringLiteral("arabic.local"))}));
}

void tst_CliLocal::languagesMissingFolder()
{
    QTemporaryDir temp;
    const Run_Result r = Run_Cli({"languages", temp.filePath(QStringLiteral("none"))});
    QCOMPARE(r.Exit, 0);
    const QJsonArray list = QJsonDocument::fromJson(r.Out.toUtf8()).array();
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].toObject()[QStringLiteral("language")].toString(), QStringLiteral("Default"));
}

QTEST_GUILESS_MAIN(tst_CliLocal)
#include "tst_cli_local.moc"
