#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "text/app_paths.h"

#include <sys/stat.h>

namespace {

void Touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

} // namespace

class tst_App_Paths : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Set_App_Folder(QString()); }

    void newId();
    void appFolderIsProgramFolder();
    void appFolderOverride_data();
    void appFolderOverride();
    void buildTime();
    void readOnly();
    void fileTitle_data();
    void fileTitle();
    void lastFolderName_data();
    void lastFolderName();
    void listFilesFlat();
    void listFilesDeep();
    void listFilesSeparators_data();
    void listFilesSeparators();
    void listFilesMissingFolder();
    void listFilesDoesNotFollowLinkedFolders();
    void listFilesRegularOnly();
};

void tst_App_Paths::newId()
{
    static const QRegularExpression form(
        QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"));
    QSet<QString> seen;
    for (int i = 0; i < 100; ++i) {
        const QString id = New_Id();
        QCOMPARE(id.size(), 38);
        QVERIFY2(form.match(id).hasMatch(), qPrintable(id));
        seen.insert(id);
    }
    QCOMPARE(seen.size(), 100);
}

void tst_App_Paths::appFolderIsProgramFolder()
{
    // The test's build folder is writable, so it is used the portable way.
    const QString expected = QCoreApplication::applicationDirPath() + u'/';
    QCOMPARE(App_Folder(), expected);
    QCOMPARE(App_Dir(), QCoreApplication::applicationDirPath());
}

void tst_App_Paths::appFolderOverride_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("appFolder");
    QTest::addColumn<QString>("appDir");
    QTest::newRow("with separator") << "/tmp/tarsel/" << "/tmp/tarsel/" << "/tmp/tarsel";
    QTest::newRow("without separator") << "/tmp/tarsel" << "/tmp/tarsel/" << "/tmp/tarsel";
    QTest::newRow("backslash") << "/tmp/tarsel\\" << "/tmp/tarsel/" << "/tmp/tarsel";
}

void tst_App_Paths::appFolderOverride()
{
    QFETCH(QString, folder);
    Set_App_Folder(folder);
    QTEST(App_Folder(), "appFolder");
    QTEST(App_Dir(), "appDir");
    Set_App_Folder(QString());
    QCOMPARE(App_Folder(), QCoreApplication::applicationDirPath() + u'/');
}

void tst_App_Paths::buildTime()
{
    const double value = Build_Time().Value;
    const QDate built = QDate(1899, 12, 30).addDays(qint64(value));
    // Built no earlier than this code was written, and not in the future.
    QVERIFY2(built >= QDate(2024, 1, 1), qPrintable(built.toString(Qt::ISODate)));
    QVERIFY(built <= QDate::currentDate().addDays(1));
    QVERIFY(value - qint64(value) >= 0 && value - qint64(value) < 1);
    QCOMPARE(Build_Time().Value, value);
}

void tst_App_Paths::readOnly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("file.txt"));
    QVERIFY(Is_Read_Only(path)); // missing
    Touch(path);
    QVERIFY(!Is_Read_Only(path));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser));
    QVERIFY(Is_Read_Only(path));
    QVERIFY(Is_Administrator(QString()));
}

void tst_App_Paths::fileTitle_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "/docs/report.pdf" << "report";
    QTest::newRow("every occurrence removed") << "a.b.b" << "a";
    QTest::newRow("repeated extension") << "C:\\data\\x.arc.arc" << "x";
    QTest::newRow("other dots stay") << "/d/my.report.pdf" << "my.report";
    QTest::newRow("case matters") << "a.ARC.arc" << "a.ARC";
    QTest::newRow("no extension") << "/a.d/file" << "file";
    QTest::newRow("dot in folder only") << "C:\\x.y\\name" << "name";
    QTest::newRow("empty") << "" << "";
}

void tst_App_Paths::fileTitle()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(File_Title(path), expected);
}

void tst_App_Paths::lastFolderName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("backslashes") << "C:\\arc\\documents\\2017-03-05\\a.pdf" << "2017-03-05";
    QTest::newRow("slashes") << "/arc/documents/45000/a.pdf" << "45000";
    QTest::newRow("mixed") << "/arc/documents\\45000\\a.pdf" << "45000";
    QTest::newRow("relative") << "45000\\a.pdf" << "45000";
    QTest::newRow("no folder") << "a.pdf" << "";
    QTest::newRow("root") << "/a.pdf" << "";
}

void tst_App_Paths::lastFolderName()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(Last_Folder_Name(path), expected);
}

void tst_App_Paths::listFilesFlat()
{
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    Touch(root + "english.local");
    Touch(root + "ARABIC.LOCAL");
    Touch(root + ".hidden.local");
    Touch(root + "readme.txt");
    Touch(root + "noext");
    QVERIFY(QDir().mkpath(root + "sub.local"));
    Touch(root + "sub.local/inner.local");

    QStringList list{"kept"};
    QCOMPARE(List_Files(list, root, QStringLiteral("*.local"), false), 3);
    QCOMPARE(list.first(), QStringLiteral("kept"));
    list.removeFirst();
    list.sort();
    QCOMPARE(list, (QStringList{root + ".hidden.local", root + "ARABIC.LOCAL", root + "english.local"}));

    QStringList all;
    QCOMPARE(List_Files(all, root, QStringLiteral("*.*"), false), 5);
    QVERIFY(all.contains(root + "noext"));
}

void tst_App_Paths::listFilesDeep()
{
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    Touch(root + "top.txt");
    Touch(root + "a/one.txt");
    Touch(root + "a/b/two.txt");
    Touch(root + "a/b/skip.pdf");
    Touch(root + ".hidden/secret.txt");

    QStringList list;
    QCOMPARE(List_Files(list, root, QStringLiteral("*.txt"), true), 3);
    // A folder's own files come before those of its sub-folders.
    QCOMPARE(list, (QStringList{root + "top.txt", root + "a/one.txt", root + "a/b/two.txt"}));
}

void tst_App_Paths::listFilesSeparators_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("slash") << "/";
    QTest::newRow("backslash") << "\\";
    QTest::newRow("none") << "";
}

void tst_App_Paths::listFilesSeparators()
{
    QFETCH(QString, suffix);
    QTemporaryDir dir;
    Touch(dir.path() + "/langs/english.local");
    QStringList list;
    QCOMPARE(List_Files(list, dir.path() + "/langs" + suffix, QStringLiteral("*.local"), false), 1);
    QCOMPARE(list, QStringList{dir.path() + "/langs/english.local"});
    QVERIFY(QFile::exists(list.first()));
}

void tst_App_Paths::listFilesMissingFolder()
{
    QStringList list;
    QCOMPARE(List_Files(list, QStringLiteral("/nonexistent-tarsel-folder/"), QStringLiteral("*.*"), true), 0);
    QCOMPARE(List_Files(list, QString(), QStringLiteral("*.*"), true), 0);
    QVERIFY(list.isEmpty());
}

void tst_App_Paths::listFilesDoesNotFollowLinkedFolders()
{
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    Touch(root + "a/one.txt");
    QVERIFY(QFile::link(root, root + "a/loop"));
    QStringList list;
    QCOMPARE(List_Files(list, root, QStringLiteral("*.txt"), true), 1);
}

// A FIFO among the files would block whoever opens it; neither it nor a link to it is listed.
void tst_App_Paths::listFilesRegularOnly()
{
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    Touch(root + "english.local");
    Touch(root + "sub/arabic.local");
    QCOMPARE(::mkfifo(QFile::encodeName(root + "x.local").constData(), 0600), 0);
    QCOMPARE(::mkfifo(QFile::encodeName(root + "sub/y.local").constData(), 0600), 0);
    QVERIFY(QFile::link(root + "x.local", root + "link-to-fifo.local"));

    QStringList flat;
    QCOMPARE(List_Files(flat, root, QStringLiteral("*.local"), false), 1);
    QCOMPARE(flat, QStringList{root + "english.local"});
    QStringList deep;
    QCOMPARE(List_Files(deep, root, QStringLiteral("*.*"), true), 2);
    QCOMPARE(deep, (QStringList{root + "english.local", root + "sub/arabic.local"}));
}

QTEST_GUILESS_MAIN(tst_App_Paths)
#include "tst_app_paths.moc"
