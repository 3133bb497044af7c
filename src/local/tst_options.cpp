#include "local/options.h"
#include "text/app_paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QByteArray Sml_Bytes(const QStringList &lines)
{
    QByteArray bytes("\xEF\xBB\xBF");
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

QByteArray Read_Bytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

} // namespace

class tst_Options : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void noFileKeepsRecord();
    void saveWritesFiveChildren();
    void saveEmptyValues();
    void roundTripFromOtherDirectory();
    void load_data();
    void load();
    void storedLanguageFile_data();
    void storedLanguageFile();
    void saveFailureReported();

private:
    void Write_Options(const QStringList &lines);
    std::unique_ptr<QTemporaryDir> FTemp;
    QString FApp; // program folder of the current test, ending with "/"
};

void tst_Options::init()
{
    FTemp = std::make_unique<QTemporaryDir>();
    QVERIFY(FTemp->isValid());
    FApp = FTemp->path() + QLatin1Char('/');
    Set_App_Folder(FApp);
    Current_Options = TOptions();
}

void tst_Options::Write_Options(const QStringList &lines)
{
    QVERIFY(QDir().mkpath(FApp + QStringLiteral("user")));
    QFile f(FApp + QStringLiteral("user/options.sml"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(Sml_Bytes(lines));
}

void tst_Options::noFileKeepsRecord()
{
    Current_Options = {QStringLiteral("Arabic"), QStringLiteral("/x/arabic.local"), QStringLiteral("a.arc"), true, 9};
    Load_Options();
    QCOMPARE(Current_Options.Language, QStringLiteral("Arabic"));
    QCOMPARE(Current_Options.Language_File, QStringLiteral("/x/arabic.local"));
    QCOMPARE(Current_Options.Last_Opened_Archive, QStringLiteral("a.arc"));
    QCOMPARE(Current_Options.Open_Last_Archive_On_Startup, true);
    QCOMPARE(Current_Options.Tree_Font_Size, 9);
}

void tst_Options::saveWritesFiveChildren()
{
    Current_Options = {QStringLiteral("Arabic"), FApp + QStringLiteral("langs/arabic.local"),
                       QStringLiteral("/data/office.arcx"), true, 14};
    QString reason = QStringLiteral("untouched");
    QVERIFY(Save_Options(&reason));
    QCOMPARE(reason, QStringLiteral("untouched"));
    QCOMPARE(QDir::cleanPath(Options_File_Path()), FApp + QStringLiteral("user/options.sml"));
    QCOMPARE(Read_Bytes(Options_File_Path()), Sml_Bytes({
        "Options",
        "  Language = Arabic",
        "  Language File = langs\\arabic.local",
        "  Last Opened Archive = /data/office.arcx",
        "  Open last Archive on startup = true",
        "  Tree Font Size = 14",
    }));
}

void tst_Options::saveEmptyValues()
{
    Current_Options = TOptions();
    QVERIFY(Save_Options());
    // An empty value is written as the bare name; a missing number as 0.
    QCOMPARE(Read_Bytes(Options_File_Path()), Sml_Bytes({
        "Options",
        "  Language",
        "  Language File",
        "  Last Opened Archive",
        "  Open last Archive on startup = false",
        "  Tree Font Size = 0",
    }));
    Current_Options = {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z"), true, 5};
    Load_Options();
    QCOMPARE(Current_Options.Language, QString());
    QCOMPARE(Current_Options.Language_File, QString());
    QCOMPARE(Current_Options.Last_Opened_Archive, QString());
    QCOMPARE(Current_Options.Open_Last_Archive_On_Startup, false);
    QCOMPARE(Current_Options.Tree_Font_Size, 0);
}

void tst_Options::roundTripFromOtherDirectory()
{
    const QString chosen = FApp + QStringLiteral("langs/arabic.local");
    Current_Options = {QStringLiteral("Arabic"), chosen, QStringLiteral("office.arc"), false, -3};
    QVERIFY(Save_Options());
    Current_Options = TOptions();

    // The stored path is relative to the program, not to the current directory.
    QTemporaryDir elsewhere;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    Load_Options();
    QDir::setCurrent(before);

    QCOMPARE(Current_Options.Language, QStringLiteral("Arabic"));
    QCOMPARE(Current_Options.Language_File, QDir::toNativeSeparators(chosen));
    QCOMPARE(Current_Options.Last_Opened_Archive, QStringLiteral("office.arc"));
    QCOMPARE(Current_Options.Open_Last_Archive_On_Startup, false);
    QCOMPARE(Current_Options.Tree_Font_Size, -3);
}

void tst_Options::load_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("languageFile"); // relative to the program folder unless absolute
    QTest::addColumn<bool>("openLast");
    QTest::addColumn<int>("fontSize");

    QTest::newRow("as written") << QStringList{"Options", "  Language = Arabic", "  Language File = langs\\arabic.local",
                                               "  Open last Archive on startup = true", "  Tree Font Size = 12"}
                                << "Arabic" << "langs/arabic.local" << true << 12;
    QTest::newRow("names in other case")
        << QStringList{"Options", "  LANGUAGE = Arabic", "  language file = langs\\arabic.local",
                       "  OPEN LAST ARCHIVE ON STARTUP = TRUE", "  tree font size = 11"}
        << "Arabic" << "langs/arabic.local" << true << 11;
    QTest::newRow("forward slashes") << QStringList{"Options", "  Language File = langs/sub/x.local"} << ""
                                     << "langs/sub/x.local" << false << 0;
    QTest::newRow("absolute path kept") << QStringList{"Options", "  Language File = /opt/langs/x.local"} << ""
                                        << "/opt/langs/x.local" << false << 0;
    QTest::newRow("children missing") << QStringList{"Options"} << "" << "" << false << 0;
    QTest::newRow("not a number") << QStringList{"Options", "  Tree Font Size = big",
                                                 "  Open last Archive on startup = yes"}
                                  << "" << "" << false << 0;
    QTest::newRow("Default language") << QStringList{"Options", "  Language = Default", "  Language File"}
                                      << "Default" << "" << false << 0;
}

void tst_Options::load()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, language);
    QFETCH(QString, languageFile);
    QFETCH(bool, openLast);
    QFETCH(int, fontSize);
    Write_Options(lines);
    Current_Options = {QStringLiteral("stale"), QStringLiteral("stale"), QStringLiteral("stale"), true, 99};
    Load_Options();
    QCOMPARE(Current_Options.Language, language);
    QString expectedFile = languageFile;
    if (!expectedFile.isEmpty() && QDir::isRelativePath(expectedFile))
        expectedFile = FApp + expectedFile;
    QCOMPARE(Current_Options.Language_File, QDir::toNativeSeparators(expectedFile));
    QCOMPARE(Current_Options.Last_Opened_Archive, QString());
    QCOMPARE(Current_Options.Open_Last_Archive_On_Startup, openLast);
    QCOMPARE(Current_Options.Tree_Font_Size, fontSize);
}

void tst_Options::storedLanguageFile_data()
{
    QTest::addColumn<QString>("path"); // "@" stands for the program folder, "#" for it without "/"
    QTest::addColumn<QString>("stored");
    QTest::newRow("in langs") << "@langs/arabic.local" << "langs\\arabic.local";
    QTest::newRow("deeper") << "@langs/extra/x.local" << "langs\\extra\\x.local";
    QTest::newRow("dot segments") << "@user/../langs/x.local" << "langs\\x.local";
    QTest::newRow("outside stays absolute") << "/usr/share/x.local" << "/usr/share/x.local";
    QTest::newRow("parent folder") << "@../other/x.local" << "@../other/x.local";
    QTest::newRow("sibling with same prefix") << "#-other/x.local" << "#-other/x.local";
    QTest::newRow("empty") << "" << "";
}

void tst_Options::storedLanguageFile()
{
    QFETCH(QString, path);
    QFETCH(QString, stored);
    for (QString *s : {&path, &stored}) {
        s->replace(QLatin1Char('@'), FApp);
        s->replace(QLatin1Char('#'), FTemp->path());
    }
    QCOMPARE(Language_File_To_Stored(path), stored);
    if (!path.isEmpty())
        QCOMPARE(QDir::cleanPath(QDir::fromNativeSeparators(Language_File_From_Stored(stored))),
                 QDir::cleanPath(path));
}

void tst_Options::saveFailureReported()
{
    // A file where the "user" folder belongs makes the options file unwritable.
    QFile blocker(FApp + QStringLiteral("user"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Current_Options = {QStringLiteral("Arabic"), QString(), QString(), true, 1};
    QString reason;
    QVERIFY(!Save_Options(&reason));
    QVERIFY(!reason.isEmpty());
    QCOMPARE(Current_Options.Language, QStringLiteral("Arabic")); // the record keeps the new values
}

QTEST_GUILESS_MAIN(tst_Options)
#include "tst_options.moc"
