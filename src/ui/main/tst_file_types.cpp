#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>

#include "ui/main/file_types.h"

namespace {

QByteArray Read_All(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Write_All(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool Make_Executable(const QString &path)
{
    return Write_All(path, "#!/bin/sh\nexit 0\n")
        && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

struct TRun
{
    QString Program;
    QStringList Arguments;
};

} // namespace

class tst_FileTypes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void execArgument_data();
    void execArgument();
    void desktopEntryStartsTheRunningProgram();
    void writtenOnceThenLeftAlone();
    void onlyWhatDiffersIsRewritten();
    void databasesRefreshedOnlyWithTheirTools();
    void unwritableFileDoesNotStopTheOthers();
    void defaultFolderIsTheUsersDataFolder();

private:
    QTemporaryDir Home;
    QTemporaryDir Tools;
    QTemporaryDir Data;
    QByteArray Saved_Path;
    QList<TRun> Runs;
    TTool_Runner Recorder;
};

void tst_FileTypes::initTestCase()
{
    QVERIFY(Home.isValid() && Tools.isValid());
    // The registration must never touch the real user's data folder, and the MIME
    // database of this process must see the type written there.
    qputenv("XDG_DATA_HOME", Home.path().toLocal8Bit());
    Saved_Path = qgetenv("PATH");
    qputenv("PATH", Tools.path().toLocal8Bit());
    Recorder = [this](const QString &program, const QStringList &arguments) {
        Runs.append({program, arguments});
    };
}

void tst_FileTypes::cleanupTestCase()
{
    qputenv("PATH", Saved_Path);
}

void tst_FileTypes::init()
{
    Runs.clear();
    QVERIFY(Data.isValid());
    QDir(Data.path()).removeRecursively();
    QVERIFY(QDir().mkpath(Data.path()));
    for (const QString &tool : {QStringLiteral("update-mime-database"), QStringLiteral("update-desktop-database")})
        QFile::remove(Tools.filePath(tool));
}

void tst_FileTypes::execArgument_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "/usr/bin/tarsel-archive" << R"("/usr/bin/tarsel-archive")";
    QTest::newRow("blanks") << "/opt/My Apps/tarsel-archive" << R"("/opt/My Apps/tarsel-archive")";
    QTest::newRow("shell characters") << "/home/a$b/`x`/\"q\"" << R"("/home/a\\$b/\\`x\\`/\\"q\\"")";
    QTest::newRow("backslash") << "/tmp/a\\b" << R"("/tmp/a\\\\b")";
    QTest::newRow("percent is not a field code") << "/tmp/100%f" << R"("/tmp/100%%f")";
    // a line break must not end the Exec line and start a key of its own
    QTest::newRow("line break") << "/tmp/a\nTerminal=true" << R"("/tmp/a\nTerminal=true")";
}

void tst_FileTypes::execArgument()
{
    QFETCH(QString, executable);
    QFETCH(QString, expected);
    QCOMPARE(Desktop_Exec_Argument(executable), expected);
}

void tst_FileTypes::desktopEntryStartsTheRunningProgram()
{
    const QString installed = QString::fromUtf8(Read_All(QStringLiteral(TARSEL_SOURCE_DIR "/data/tarsel-archive.desktop")));
    QVERIFY(installed.contains(QLatin1String("\nExec=tarsel-archive %f\n")));

    const QString text = Desktop_Entry_Text(QStringLiteral("/opt/Tarsel Archive/tarsel-archive"));
    const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.value(0), QStringLiteral("[Desktop Entry]"));
    QStringList keys;
    for (const QString &line : lines.mid(1)) {
        QVERIFY2(line.contains(u'='), qPrintable(line));
        keys.append(line.section(u'=', 0, 0));
    }
    QCOMPARE(keys.count(QStringLiteral("Exec")), 1);
    QVERIFY(lines.contains(QStringLiteral("Exec=\"/opt/Tarsel Archive/tarsel-archive\" %f")));
    QVERIFY(lines.contains(QStringLiteral("Type=Application")));
    QVERIFY(lines.contains(QStringLiteral("Name=Tarsel Archive")));
    QVERIFY(lines.contains(QStringLiteral("Icon=tarsel-archive")));
    QVERIFY(lines.contains(QStringLiteral("MimeType=%1;").arg(QLatin1String(Archive_Mime_Type))));
    // everything but the Exec line is the installed file
    QCOMPARE(text.split(u'\n').size(), installed.split(u'\n').size());
}

void tst_FileTypes::writtenOnceThenLeftAlone()
{
    const QString exe = QStringLiteral("/usr/local/bin/tarsel-archive");
    const QString desktop = Data.filePath(QStringLiteral("applications/tarsel-archive.desktop"));
    const QString mime = Data.filePath(QStringLiteral("mime/packages/tarsel-archive.xml"));
    const QString icon = Data.filePath(QStringLiteral("icons/hicolor/scalable/apps/tarsel-archive.svg"));

    const TFile_Type_Registration first = Register_File_Types(exe, Data.path(), Recorder);
    QVERIFY2(first.Error.isEmpty(), qPrintable(first.Error));
    QCOMPARE(first.Written, (QStringList{icon, mime, desktop}));
    QCOMPARE(Read_All(desktop), Desktop_Entry_Text(exe).toUtf8());
    QCOMPARE(Read_All(mime), Read_All(QStringLiteral(TARSEL_SOURCE_DIR "/data/tarsel-archive.xml")));
    QCOMPARE(Read_All(icon), Read_All(QStringLiteral(TARSEL_SOURCE_DIR "/data/tarsel-archive.svg")));

    const QDateTime old(QDate(2020, 1, 1), QTime(8, 0));
    for (const QString &path : first.Written) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(old, QFileDevice::FileModificationTime));
    }
    const TFile_Type_Registration second = Register_File_Types(exe, Data.path(), Recorder);
    QVERIFY(second.Error.isEmpty());
    QVERIFY(second.Written.isEmpty());
    for (const QString &path : first.Written)
        QCOMPARE(QFileInfo(path).lastModified(), old);
}

void tst_FileTypes::onlyWhatDiffersIsRewritten()
{
    const QString desktop = Data.filePath(QStringLiteral("applications/tarsel-archive.desktop"));
    const QString mime = Data.filePath(QStringLiteral("mime/packages/tarsel-archive.xml"));
    QVERIFY(Register_File_Types(QStringLiteral("/a/tarsel-archive"), Data.path(), Recorder).Error.isEmpty());

    // the program moved: only its desktop entry changes
    TFile_Type_Registration moved = Register_File_Types(QStringLiteral("/b/tarsel-archive"), Data.path(), Recorder);
    QCOMPARE(moved.Written, QStringList{desktop});
    QVERIFY(Read_All(desktop).contains("Exec=\"/b/tarsel-archive\" %f"));

    // a damaged or shortened MIME type is put right
    QVERIFY(Write_All(mime, Read_All(mime).left(40)));
    moved = Register_File_Types(QStringLiteral("/b/tarsel-archive"), Data.path(), Recorder);
    QCOMPARE(moved.Written, QStringList{mime});
    QCOMPARE(Read_All(mime), Mime_Package_Text());
}

void tst_FileTypes::databasesRefreshedOnlyWithTheirTools()
{
    const QString applications = Data.filePath(QStringLiteral("applications"));
    const QString mime = Data.filePath(QStringLiteral("mime"));

    // neither tool on the path: files are written, nothing is started
    TFile_Type_Registration result = Register_File_Types(QStringLiteral("/a/tarsel-archive"), Data.path(), Recorder);
    QCOMPARE(result.Written.size(), 3);
    QVERIFY(Runs.isEmpty());
    QVERIFY(result.Tools.isEmpty());

    // only the MIME tool present, and only the desktop entry changes: still nothing to run
    QVERIFY(Make_Executable(Tools.filePath(QStringLiteral("update-mime-database"))));
    result = Register_File_Types(QStringLiteral("/b/tarsel-archive"), Data.path(), Recorder);
    QVERIFY(Runs.isEmpty());

    // both present, everything new: each database of the user's folder is refreshed once
    QVERIFY(Make_Executable(Tools.filePath(QStringLiteral("update-desktop-database"))));
    QDir(Data.path()).removeRecursively();
    result = Register_File_Types(QStringLiteral("/b/tarsel-archive"), Data.path(), Recorder);
    QCOMPARE(Runs.size(), 2);
    QCOMPARE(Runs[0].Program, Tools.filePath(QStringLiteral("update-mime-database")));
    QCOMPARE(Runs[0].Arguments, QStringList{mime});
    QCOMPARE(Runs[1].Program, Tools.filePath(QStringLiteral("update-desktop-database")));
    QCOMPARE(Runs[1].Arguments, QStringList{applications});
    QCOMPARE(result.Tools.size(), 2);

    // nothing changed: nothing is refreshed
    Runs.clear();
    Register_File_Types(QStringLiteral("/b/tarsel-archive"), Data.path(), Recorder);
    QVERIFY(Runs.isEmpty());
}

void tst_FileTypes::unwritableFileDoesNotStopTheOthers()
{
    // a folder where the MIME type file should be cannot be replaced by a file
    const QString mime = Data.filePath(QStringLiteral("mime/packages/tarsel-archive.xml"));
    QVERIFY(QDir().mkpath(mime));
    QVERIFY(Make_Executable(Tools.filePath(QStringLiteral("update-mime-database"))));

    const TFile_Type_Registration result = Register_File_Types(QStringLiteral("/a/tarsel-archive"), Data.path(), Recorder);
    QVERIFY(result.Error.contains(mime));
    QCOMPARE(result.Written.size(), 2);
    QVERIFY(!result.Written.contains(mime));
    QVERIFY(QFileInfo(Data.filePath(QStringLiteral("applications/tarsel-archive.desktop"))).isFile());
    // the MIME database is not refreshed for a type that was not written
    QVERIFY(Runs.isEmpty());

    // no data folder at all: an error, no exception, nothing written
    const QString blocked = Data.filePath(QStringLiteral("a file"));
    QVERIFY(Write_All(blocked, "x"));
    const TFile_Type_Registration none = Register_File_Types(QStringLiteral("/a/tarsel-archive"), blocked, Recorder);
    QVERIFY(!none.Error.isEmpty());
    QVERIFY(none.Written.isEmpty());
}

void tst_FileTypes::defaultFolderIsTheUsersDataFolder()
{
    const TFile_Type_Registration result = Register_File_Types(QStringLiteral("/a/tarsel-archive"), QString(), Recorder);
    QVERIFY2(result.Error.isEmpty(), qPrintable(result.Error));
    QVERIFY(QFileInfo(Home.filePath(QStringLiteral("applications/tarsel-archive.desktop"))).isFile());
    QVERIFY(QFileInfo(Home.filePath(QStringLiteral("mime/packages/tarsel-archive.xml"))).isFile());

    // the type is one the MIME database understands, for both extensions in any letter case
    const QMimeDatabase db;
    for (const char *name : {"letters.arc", "letters.arcx", "LETTERS.ARCX"}) {
        QCOMPARE(db.mimeTypeForFile(QString::fromLatin1(name), QMimeDatabase::MatchExtension).name(),
                 QString::fromLatin1(Archive_Mime_Type));
    }
    QCOMPARE(db.mimeTypeForName(QString::fromLatin1(Archive_Mime_Type)).comment(),
             QStringLiteral("Tarsel Archive Data File"));
}

QTEST_GUILESS_MAIN(tst_FileTypes)
#include "tst_file_types.moc"
