#include "archive/archive_file.h"
#include "archive/store_paths.h"
#include "archive/tarchitem.h"
#include "markup/terror.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_documents_store : public QObject
{
    Q_OBJECT

private:
    static void writeFile(const QString &path, const QByteArray &data)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
        f.write(data);
    }
    static QByteArray readFile(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static QStringList entries(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

private slots:
    void documentsDatabase_data()
    {
        QTest::addColumn<QString>("filePath");
        QTest::addColumn<QString>("expected");
        QTest::newRow("linux") << "/home/x/Files.arc" << "/home/x/documents";
        QTest::newRow("windows") << "C:\\Office\\Files.arc" << "C:\\Office\\documents";
        QTest::newRow("never saved") << "New Archive.arc" << "documents";
        QTest::newRow("no path") << "" << "documents";
        QTest::newRow("root") << "/Files.arc" << "/documents";
    }
    void documentsDatabase()
    {
        QFETCH(QString, filePath);
        QFETCH(QString, expected);
        TArchive archive;
        archive.FilePath = filePath;
        QCOMPARE(archive.Get_Documents_Database(), expected);
    }

    void newFolderIsToday()
    {
        TArchive archive;
        const QString before = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        const QString folder = archive.New_Folder_In_Database();
        const QString after = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        QVERIFY2(folder == before || folder == after, qPrintable(folder));
        QVERIFY(!QFileInfo::exists(archive.Get_Documents_Database()));
    }

    void numberedFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("extension") << "scan.jpg" << "scan (2).jpg";
        QTest::newRow("last extension") << "backup.tar.gz" << "backup.tar (2).gz";
        QTest::newRow("none") << "README" << "README (2)";
        QTest::newRow("leading dot") << ".notes" << ".notes (2)";
    }
    void numberedFileName()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(Numbered_File_Name(name, 2), expected);
    }

    void collapseSeparators_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty folder step") << "C:\\Office\\documents\\\\2017-03-13\\a.jpg"
                                           << "C:\\Office\\documents\\2017-03-13\\a.jpg";
        QTest::newRow("mixed styles") << "/home/x/\\2017\\a.jpg" << "/home/x/2017\\a.jpg";
        QTest::newRow("long run") << "a\\\\\\b" << "a\\b";
        QTest::newRow("network path kept") << "\\\\server\\share\\\\a.jpg" << "\\\\server\\share\\a.jpg";
        QTest::newRow("network path, other style") << "//server//share" << "//server/share";
        QTest::newRow("three at the start") << "\\\\\\x" << "\\x";
        QTest::newRow("mixed pair at the start") << "\\/x" << "\\x";
        QTest::newRow("nothing to do") << "2017-03-13\\a.jpg" << "2017-03-13\\a.jpg";
    }
    void collapseSeparators()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(Collapse_Separators(path), expected);
    }

    void storeCopiesAndCreatesFolders()
    {
        QTemporaryDir tmp;
        TArchive archive;
        archive.FilePath = tmp.filePath("office/Files.arc");
        writeFile(tmp.filePath("scans/a.jpg"), "first scan");

        const QString stored = archive.Store_File_In_Database("2017-03-13", tmp.filePath("scans/a.jpg"));
        QCOMPARE(stored, QStringLiteral("2017-03-13\\a.jpg"));
        QCOMPARE(readFile(tmp.filePath("office/documents/2017-03-13/a.jpg")), QByteArray("first scan"));
        QCOMPARE(entries(tmp.filePath("office/documents/2017-03-13")), QStringList{"a.jpg"});
        QCOMPARE(readFile(tmp.filePath("scans/a.jpg")), QByteArray("first scan"));
    }

    void storeKeepsBothOnNameClash()
    {
        QTemporaryDir tmp;
        TArchive archive;
        archive.FilePath = tmp.filePath("office/Files.arc");
        writeFile(tmp.filePath("one/scan.jpg"), "page one");
        writeFile(tmp.filePath("two/scan.jpg"), "page two");
        writeFile(tmp.filePath("three/scan.jpg"), "page three");
        const QString folder = tmp.filePath("office/documents/2017-03-13");

        QCOMPARE(archive.Store_File_In_Database("2017-03-13", tmp.filePath("one/scan.jpg")), "2017-03-13\\scan.jpg");
        QCOMPARE(archive.Store_File_In_Database("2017-03-13", tmp.filePath("two/scan.jpg")),
                 "2017-03-13\\scan (2).jpg");
        QCOMPARE(archive.Store_File_In_Database("2017-03-13", tmp.filePath("three/scan.jpg")),
                 "2017-03-13\\scan (3).jpg");
        QCOMPARE(readFile(folder + "/scan.jpg"), QByteArray("page one"));
        QCOMPARE(readFile(folder + "/scan (2).jpg"), QByteArray("page two"));
        QCOMPARE(readFile(folder + "/scan (3).jpg"), QByteArray("page three"));

        // the same content again, under either name, is found and not copied
        QCOMPARE(archive.Store_File_In_Database("2017-03-13", tmp.filePath("two/scan.jpg")),
                 "2017-03-13\\scan (2).jpg");
        QCOMPARE(archive.Store_File_In_Database("2017-03-13", tmp.filePath("one/scan.jpg")), "2017-03-13\\scan.jpg");
        QCOMPARE(entries(folder), (QStringList{"scan (2).jpg", "scan (3).jpg", "scan.jpg"}));
    }

    void storeSameLengthOtherContent()
    {
        QTemporaryDir tmp;
        TArchive archive;
        archive.FilePath = tmp.filePath("office/Files.arc");
        writeFile(tmp.filePath("one/a.pdf"), "AAAA");
        writeFile(tmp.filePath("two/a.pdf"), "AAAB");
        archive.Store_File_In_Database("d", tmp.filePath("one/a.pdf"));
        QCOMPARE(archive.Store_File_In_Database("d", tmp.filePath("two/a.pdf")), "d\\a (2).pdf");
    }

    void storeFileAlreadyInPlace()
    {
        QTemporaryDir tmp;
        TArchive archive;
        archive.FilePath = tmp.filePath("office/Files.arc");
        const QString inPlace = tmp.filePath("office/documents/2017-03-13/a.jpg");
        writeFile(inPlace, "scan");
        const QDateTime stamp = QFileInfo(inPlace).lastModified();
        QTest::qWait(20);

        QCOMPARE(archive.Store_File_In_Database("2017-03-13", inPlace), "2017-03-13\\a.jpg");
        // written the way an archive file names it
        QString stored = inPlace;
        stored.replace(u'/', u'\\');
        QCOMPARE(archive.Store_File_In_Database("2017-03-13", stored), "2017-03-13\\a.jpg");
        QCOMPARE(entries(tmp.filePath("office/documents/2017-03-13")), QStringList{"a.jpg"});
        QCOMPARE(QFileInfo(inPlace).lastModified(), stamp);
    }

    void storeOddFoldersAndSources_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expectedName");
        QTest::addColumn<QString>("expectedFile");
        QTest::newRow("no folder") << "" << "a.jpg" << "office/documents/a.jpg";
        QTest::newRow("spaces around") << "  2017-03-13 " << "2017-03-13\\a.jpg" << "office/documents/2017-03-13/a.jpg";
        QTest::newRow("folder in a folder") << "2017\\03" << "2017\\03\\a.jpg" << "office/documents/2017/03/a.jpg";
    }
    void storeOddFoldersAndSources()
    {
        QFETCH(QString, folder);
        QFETCH(QString, expectedName);
        QFETCH(QString, expectedFile);
        QTemporaryDir tmp;
        TArchive archive;
        archive.FilePath = tmp.filePath("office/Files.arc");
        writeFile(tmp.filePath("scans/a.jpg"), "scan");
        QString source = tmp.filePath("scans/a.jpg");
        source.replace(u'/', u'\\');
        QCOMPARE(archive.Store_File_In_Database(folder, source), expectedName);
        QCOMPARE(readFile(tmp.filePath(expectedFile)), QByteArray("scan"));
    }

    void storeMissingSourceDoesNothing_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("missing") << "scans/missing.jpg";
        QTest::newRow("a folder") << "scans";
        QTest::newRow("empty") << "";
    }
    void storeMissingSourceDoesNothing()
    {
        QFETCH(QString, source);
        QTemporaryDir tmp;
        QDir(tmp.path()).mkpath("scans");
        TArchive archive;
        archive.FilePath = tmp.filePath("office/Files.arc");
        QCOMPARE(archive.Store_File_In_Database("2017-03-13", source.isEmpty() ? source : tmp.filePath(source)),
                 QString());
        QVERIFY(!QFileInfo::exists(tmp.filePath("office/documents")));
    }

    void storeFailureRaisesAndLeavesNoFile()
    {
        // A store folder that is a link into /proc: even root cannot create files there.
        if (!QFileInfo(QStringLiteral("/proc/self")).isDir())
            QSKIP("needs /proc");
        QTemporaryDir tmp;
        TArchive archive;
        archive.FilePath = tmp.filePath("office/Files.arc");
        writeFile(tmp.filePath("scans/a.jpg"), "scan");
        QDir().mkpath(tmp.filePath("office/documents"));
        QVERIFY(QFile::link("/proc/self", tmp.filePath("office/documents/locked")));

        bool raised = false;
        try {
            archive.Store_File_In_Database("locked", tmp.filePath("scans/a.jpg"));
        } catch (const TError &e) {
            raised = true;
            const QString details = e.message().section(u'|', 1);
            QVERIFY2(!details.isEmpty(), qPrintable(e.message()));
            QVERIFY2(e.message().contains("a.jpg"), qPrintable(e.message()));
        }
        QVERIFY(raised);
        QVERIFY(!QFileInfo::exists("/proc/self/a.jpg"));
    }

    void storeFolderBlockedByFileRaises()
    {
        QTemporaryDir tmp;
        TArchive archive;
        archive.FilePath = tmp.filePath("office/Files.arc");
        writeFile(tmp.filePath("scans/a.jpg"), "scan");
        writeFile(tmp.filePath("office/documents/2017-03-13"), "a file, not a folder");
        QVERIFY_THROWS_EXCEPTION(TError, archive.Store_File_In_Database("2017-03-13", tmp.filePath("scans/a.jpg")));
        QCOMPARE(readFile(tmp.filePath("office/documents/2017-03-13")), QByteArray("a file, not a folder"));
    }

    void fullPath_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // "<db>" and "<office>" stand for the folders
        QTest::newRow("stored name") << "" << "2017-03-13\\a.jpg" << "<db>\\2017-03-13\\a.jpg";
        QTest::newRow("missing from an existing folder") << "" << "2017-03-13\\gone.jpg"
                                                         << "<db>\\2017-03-13\\gone.jpg";
        QTest::newRow("folder given") << "2017-03-13" << "a.jpg" << "<db>\\2017-03-13\\a.jpg";
        QTest::newRow("doubled separators") << "2017-03-13\\" << "\\a.jpg" << "<db>\\2017-03-13\\a.jpg";
        QTest::newRow("folder beside the archive") << "" << "scans\\b.jpg" << "<office>/scans\\b.jpg";
        QTest::newRow("unknown folder") << "" << "1999-01-01\\x.jpg" << "1999-01-01\\x.jpg";
        QTest::newRow("absolute path outside") << "" << "<outside>" << "<outside>";
        QTest::newRow("empty name") << "" << "" << "";
    }
    void fullPath()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QTemporaryDir tmp;
        TArchive archive;
        archive.FilePath = tmp.filePath("office/Files.arc");
        writeFile(tmp.filePath("office/documents/2017-03-13/a.jpg"), "a");
        writeFile(tmp.filePath("office/scans/b.jpg"), "b");
        writeFile(tmp.filePath("elsewhere/c.jpg"), "c");
        const QString outside = tmp.filePath("elsewhere/c.jpg");
        name.replace("<outside>", outside);
        expected.replace("<outside>", outside);
        expected.replace("<db>", archive.Get_Documents_Database());
        expected.replace("<office>", tmp.filePath("office"));
        QCOMPARE(archive.Get_File_Full_Path(folder, name), expected);
    }

    void pathInDatabase_data()
    {
        QTest::addColumn<QString>("filePath");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("expected");
        QTest::newRow("in the store") << "C:\\Office\\Files.arc" << "C:\\Office\\documents\\2017-03-13\\a.jpg" << true;
        QTest::newRow("case differs") << "C:\\Office\\Files.arc" << "c:\\office\\DOCUMENTS\\x.jpg" << false;
        QTest::newRow("other separators") << "C:\\Office\\Files.arc" << "C:/Office/documents/a.jpg" << true;
        QTest::newRow("linux, stored style") << "/home/x/Files.arc" << "/home/x/documents\\2017\\a.jpg" << true;
        QTest::newRow("linux, native") << "/home/x/Files.arc" << "/home/x/documents/2017/a.jpg" << true;
        QTest::newRow("other folder") << "/home/x/Files.arc" << "/home/x/docs/a.jpg" << false;
        QTest::newRow("store of another archive") << "/home/x/Files.arc" << "/home/y/documents/a.jpg" << false;
    }
    void pathInDatabase()
    {
        QFETCH(QString, filePath);
        QFETCH(QString, name);
        QFETCH(bool, expected);
        TArchive archive;
        archive.FilePath = filePath;
        QCOMPARE(archive.Is_File_Path_In_Database(name), expected);
    }

    void sampleArchiveFilesResolveIntoItsStore()
    {
        const auto archive = Load_Archive_File(QStringLiteral(TARSEL_SOURCE_DIR "/samples/sample.arc"), false, false);
        archive->Fill_Lists();
        QStringList found;
        for (const TDocument *doc : archive->Document_List)
            for (const TDoc_Digital_File &file : doc->Digital_Files) {
                const QString full = archive->Get_File_Full_Path(QString(), file.FileName);
                QVERIFY2(QFileInfo(To_Native_Path(full)).isFile(), qPrintable(full));
                QVERIFY2(archive->Is_File_Path_In_Database(full), qPrintable(full));
                found << Name_Part(file.FileName);
            }
        found.sort();
        QCOMPARE(found, (QStringList{"appointment_letter.png", "floor_plan.png", "gulf_supplies_offer.jpg",
                                     "invoice_INV-2024-0117.tif", "office_lease_contract.pdf"}));
    }
};

QTEST_GUILESS_MAIN(tst_documents_store)
#include "tst_documents_store.moc"
