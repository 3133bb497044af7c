// The archive's lifecycle in the main window: opening, saving, Save As, closing, reverting,
// new archives, drops, the pending-changes badge and the questions each of them asks.

#include <QtTest>

#include <QDir>
#include <QFileInfo>
#include <QMimeData>

#include "archive/archive_file.h"
#include "archive/tarchitem.h"
#include "local/options.h"
#include "ui/main/archive_tree.h"
#include "ui/main/control_bridge.h"
#include "ui/main/file_monitor.h"
#include "ui/main/main_window.h"
#include "ui/main/tst_main_window_support.h"

#include <QLabel>

class tst_Main_Window_Lifecycle : public QObject
{
    Q_OBJECT

private slots:
    void open_chooses_the_container_by_extension_data();
    void open_chooses_the_container_by_extension();
    void failed_open_leaves_the_open_archive();
    void save_badge_counts_changes_until_saved();
    void close_query_answers_data();
    void close_query_answers();
    void failed_or_cancelled_save_never_closes_data();
    void failed_or_cancelled_save_never_closes();
    void failed_save_keeps_the_window_open_on_exit();
    void save_as_new_archive_gets_a_folder_of_its_own();
    void save_as_into_own_folder_shares_the_documents();
    void save_as_into_another_folder_carries_the_documents();
    void save_as_without_documents_folder_creates_one();
    void save_as_asks_before_replacing_or_merging_data();
    void save_as_asks_before_replacing_or_merging();
    void save_as_refuses_its_own_documents_folder();
    void file_without_archive_asks_before_first_save();
    void save_over_a_changed_file_asks_first();
    void revert_asks_only_when_changes_are_pending();
    void reload_question_waits_for_activation();
    void change_without_open_archive_is_ignored();
    void commands_wait_while_opening_data();
    void commands_wait_while_opening();
    void reload_question_waits_for_the_running_loop();
    void drop_opens_only_the_first_file();
    void new_archive_shows_everything();
    void exit_stores_the_last_archive_data();
    void exit_stores_the_last_archive();
    void failed_options_save_is_reported_on_exit();
};

namespace {

// A main window whose dialogs answer from the test.
struct TMain_Fixture
{
    TMain_Fixture()
    {
        Window.Set_Open_Dialog([this](const QString &) { return Open_Answer; });
        Window.Set_Save_Dialog([this](const QString &folder, const QString &name) {
            Save_Dialog_Folder = folder;
            Save_Dialog_Name = name;
            ++Save_Dialog_Count;
            return Save_Answer;
        });
    }

    TProgram_Folder Folder;
    TBox_Script Boxes;
    Tfrm_Main Window;
    QString Open_Answer;
    QString Save_Answer;
    QString Save_Dialog_Folder;
    QString Save_Dialog_Name;
    int Save_Dialog_Count = 0;
};

QString Root_Text(Tfrm_Main &window)
{
    QTreeWidgetItem *root = window.Tree()->topLevelItem(0);
    return root ? root->text(0) : QString();
}

} // namespace

void tst_Main_Window_Lifecycle::open_chooses_the_container_by_extension_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("compressed");
    QTest::newRow("plain .arc") << "letters.arc" << false;
    QTest::newRow(".archive is plain") << "letters.archive" << false;
    QTest::newRow(".arcx") << "letters.arcx" << true;
    QTest::newRow(".ARCX in capitals") << "letters.ARCX" << true;
    QTest::newRow("any other extension is plain") << "letters.txt" << false;
}

void tst_Main_Window_Lifecycle::open_chooses_the_container_by_extension()
{
    QFETCH(QString, file);
    QFETCH(bool, compressed);
    TMain_Fixture f;
    const QString path = f.Folder.Path(file);
    auto archive = std::make_unique<TArchive>();
    archive->Name = QStringLiteral("Letters");
    Save_Archive_File(*archive, path, compressed, false);

    QVERIFY(f.Window.Open_Archive_File(path));
    QVERIFY(f.Boxes.Asked.isEmpty());
    QCOMPARE(f.Window.Archive()->Compressed, compressed);
    QCOMPARE(f.Window.Archive()->Name, QStringLiteral("Letters"));
    QCOMPARE(Current_Archive, f.Window.Archive());
    QCOMPARE(f.Window.windowTitle(), file + QStringLiteral(" - Tarsel Archive"));
    QCOMPARE(Root_Text(f.Window), QStringLiteral("Letters"));
    QVERIFY(QFileInfo(f.Window.Monitor()->FileName()) == QFileInfo(path));
    QVERIFY(QFileInfo(Current_Options.Last_Opened_Archive) == QFileInfo(path));
    QVERIFY(f.Window.Save_Image()->toolTip().endsWith(f.Window.Archive()->FilePath));
}

void tst_Main_Window_Lifecycle::failed_open_leaves_the_open_archive()
{
    TMain_Fixture f;
    const QString good = Write_Test_Archive(f.Folder.Path("good.arc"), "Good");
    QVERIFY(f.Window.Open_Archive_File(good));
    f.Window.Set_Need_To_Save(true);
    TArchive *before = f.Window.Archive();

    QVERIFY(!f.Window.Open_Archive_File(f.Folder.Path("missing.arc")));
    QCOMPARE(f.Boxes.Asked.size(), 1);
    QVERIFY(f.Boxes.Asked[0].Style & MB_ICONHAND);
    QVERIFY(!f.Boxes.Asked[0].Text.isEmpty());
    QCOMPARE(f.Window.Archive(), before);
    QCOMPARE(Root_Text(f.Window), QStringLiteral("Good"));
    QVERIFY(f.Window.Need_To_Save());
    QVERIFY(QFileInfo(Current_Options.Last_Opened_Archive) == QFileInfo(good));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

void tst_Main_Window_Lifecycle::save_badge_counts_changes_until_saved()
{
    TMain_Fixture f;
    const QString path = Write_Test_Archive(f.Folder.Path("a.arc"), "A");
    QVERIFY(f.Window.Open_Archive_File(path));
    QVERIFY(f.Window.Save_Badge()->isHidden());

    for (int i = 1; i <= 3; ++i) {
        emit f.Window.Tree()->Need_To_Save();
        QCOMPARE(f.Window.Save_Badge()->text(), QString::number(i));
        QVERIFY(!f.Window.Save_Badge()->isHidden());
        QVERIFY(f.Window.Archive()->NeedSave());
    }
    QVERIFY(f.Window.SaveArchive());
    QVERIFY(f.Window.Save_Badge()->isHidden());
    QCOMPARE(f.Window.Save_Badge()->text(), QStringLiteral("0"));
    QCOMPARE(f.Window.Save_Count(), 0);
    QVERIFY(!f.Window.Archive()->NeedSave());
}

void tst_Main_Window_Lifecycle::close_query_answers_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");
    QTest::newRow("Cancel keeps it open and pending") << int(IDCANCEL) << false << false;
    QTest::newRow("Don't Save drops the changes") << int(IDNO) << true << false;
    QTest::newRow("Save writes, then closes") << int(IDYES) << true << true;
}

void tst_Main_Window_Lifecycle::close_query_answers()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(bool, saved);
    TMain_Fixture f;
    const QString path = Write_Test_Archive(f.Folder.Path("a.arc"), "A");
    QVERIFY(f.Window.Open_Archive_File(path));
    f.Window.Archive()->Name = QStringLiteral("Renamed");
    f.Window.Set_Need_To_Save(true);

    f.Boxes.Answers = {answer};
    QCOMPARE(f.Window.Close_Archive(true), closed);
    QCOMPARE(f.Boxes.Asked.size(), 1);
    QVERIFY(f.Boxes.Asked[0].Text.contains(QStringLiteral("a.arc")));
    QCOMPARE(f.Boxes.Asked[0].Buttons, QStringLiteral("Save,Don't Save,Cancel"));
    QCOMPARE(f.Window.Archive() == nullptr, closed);
    if (!closed) {
        QVERIFY(f.Window.Need_To_Save());
        QVERIFY(!f.Window.Save_Badge()->isHidden());
    } else {
        QCOMPARE(f.Window.windowTitle(), QStringLiteral("Tarsel Archive"));
        QVERIFY(Current_Options.Last_Opened_Archive.isEmpty());
        QCOMPARE(f.Window.Tree()->topLevelItemCount(), 0);
    }
    QCOMPARE(Load_Archive_File(path, false, false)->Name, saved ? QStringLiteral("Renamed") : QStringLiteral("A"));
}

void tst_Main_Window_Lifecycle::failed_or_cancelled_save_never_closes_data()
{
    QTest::addColumn<bool>("cancel_dialog");
    QTest::newRow("the write fails") << false;
    QTest::newRow("the Save As dialog is cancelled") << true;
}

void tst_Main_Window_Lifecycle::failed_or_cancelled_save_never_closes()
{
    QFETCH(bool, cancel_dialog);
    TMain_Fixture f;
    f.Window.New_Archive_Command();
    emit f.Window.Tree()->Need_To_Save();

    // The target of the save is taken by a folder, so the file cannot be written.
    const QString chosen = f.Folder.Path("x/Letters.arc");
    QDir().mkpath(f.Folder.Path("x/Letters/Letters.arc"));
    f.Save_Answer = cancel_dialog ? QString() : chosen;
    // Save in the close question; Yes to replacing what is at the target.
    f.Boxes.Answers = {IDYES, IDYES, IDOK};

    QVERIFY(!f.Window.Close_Archive(true));
    QVERIFY(f.Window.Archive() != nullptr);
    QVERIFY(f.Window.Archive()->IsNew);
    QCOMPARE(f.Window.Archive()->FilePath, QStringLiteral("New Archive.arc"));
    QVERIFY(f.Window.Need_To_Save());
    QVERIFY(!f.Window.Save_Badge()->isHidden());
    QCOMPARE(f.Window.windowTitle(), QStringLiteral("New Archive.arc - Tarsel Archive"));
    QVERIFY(f.Window.Tree()->topLevelItemCount() > 0);
    if (!cancel_dialog) {
        QCOMPARE(f.Boxes.Asked.size(), 3);
        QCOMPARE(f.Boxes.Asked.last().Title, QStringLiteral("Save Failed"));
        QVERIFY(!f.Boxes.Asked.last().Text.isEmpty());
    } else {
        QCOMPARE(f.Boxes.Asked.size(), 1);
    }
}

void tst_Main_Window_Lifecycle::failed_save_keeps_the_window_open_on_exit()
{
    TMain_Fixture f;
    const QString path = Write_Test_Archive(f.Folder.Path("a.arc"), "A");
    QVERIFY(f.Window.Open_Archive_File(path));
    emit f.Window.Tree()->Need_To_Save();
    // The archive's own file is replaced by a folder: the save cannot write it.
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkpath(path));
    f.Window.Monitor()->reset();

    f.Window.show();
    f.Boxes.Answers = {IDYES, IDOK};
    QVERIFY(!f.Window.close());
    QVERIFY(f.Window.isVisible());
    QVERIFY(f.Window.Archive() != nullptr);
    QVERIFY(f.Window.Need_To_Save());
    QCOMPARE(f.Boxes.Asked.last().Title, QStringLiteral("Save Failed"));
    QVERIFY(!QFileInfo::exists(Options_File_Path()));
}

void tst_Main_Window_Lifecycle::save_as_new_archive_gets_a_folder_of_its_own()
{
    TMain_Fixture f;
    f.Window.New_Archive_Command();
    f.Save_Answer = f.Folder.Path("a/b.arc");
    QDir().mkpath(f.Folder.Path("a"));

    QVERIFY(f.Window.Save_Archive_As());
    QVERIFY(f.Boxes.Asked.isEmpty());
    QCOMPARE(f.Save_Dialog_Name, QStringLiteral("New Archive.arc"));
    QVERIFY(QFileInfo(f.Save_Dialog_Folder) == QFileInfo(f.Folder.Path("data")));
    QVERIFY(QFileInfo(f.Folder.Path("a/b/b.arc")).isFile());
    QVERIFY(QFileInfo(f.Folder.Path("a/b/documents")).isDir());
    QVERIFY(QDir(f.Folder.Path("a/b/documents")).isEmpty());
    QVERIFY(!QFileInfo::exists(f.Folder.Path("a/b.arc")));
    QVERIFY(!f.Window.Archive()->IsNew);
    QCOMPARE(f.Window.windowTitle(), QStringLiteral("b.arc - Tarsel Archive"));
    QVERIFY(QFileInfo(f.Window.Monitor()->FileName()) == QFileInfo(f.Folder.Path("a/b/b.arc")));
    QVERIFY(QFileInfo(Current_Options.Last_Opened_Archive) == QFileInfo(f.Folder.Path("a/b/b.arc")));
}

void tst_Main_Window_Lifecycle::save_as_into_own_folder_shares_the_documents()
{
    TMain_Fixture f;
    const QString path = Write_Test_Archive(f.Folder.Path("office/a.arc"), "A");
    Write_File(f.Folder.Path("office/documents/2017-01-02/scan.jpg"), "scan");
    QVERIFY(f.Window.Open_Archive_File(path));
    f.Save_Answer = f.Folder.Path("office/copy.arc");

    QVERIFY(f.Window.Save_Archive_As());
    QVERIFY(QFileInfo(f.Folder.Path("office/copy.arc")).isFile());
    QVERIFY(!QFileInfo::exists(f.Folder.Path("office/copy")));
    QCOMPARE(QDir(f.Folder.Path("office/documents")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("2017-01-02")});
    QCOMPARE(f.Window.windowTitle(), QStringLiteral("copy.arc - Tarsel Archive"));
}

void tst_Main_Window_Lifecycle::save_as_into_another_folder_carries_the_documents()
{
    TMain_Fixture f;
    const QString path = Write_Test_Archive(f.Folder.Path("office/a.arc"), "A");
    Write_File(f.Folder.Path("office/documents/2017-01-02/scan.jpg"), "scan");
    Write_File(f.Folder.Path("office/documents/2017-01-03/deep/note.txt"), "note");
    QVERIFY(f.Window.Open_Archive_File(path));
    f.Save_Answer = f.Folder.Path("backup/Letters.arc");
    QDir().mkpath(f.Folder.Path("backup"));

    QVERIFY(f.Window.Save_Archive_As());
    QVERIFY(f.Boxes.Asked.isEmpty());
    QVERIFY(QFileInfo(f.Folder.Path("backup/Letters/Letters.arc")).isFile());
    QCOMPARE(File_Bytes(f.Folder.Path("backup/Letters/documents/2017-01-02/scan.jpg")), QByteArray("scan"));
    QCOMPARE(File_Bytes(f.Folder.Path("backup/Letters/documents/2017-01-03/deep/note.txt")), QByteArray("note"));
    // the original stays as it was
    QCOMPARE(File_Bytes(f.Folder.Path("office/documents/2017-01-02/scan.jpg")), QByteArray("scan"));
}

void tst_Main_Window_Lifecycle::save_as_without_documents_folder_creates_one()
{
    TMain_Fixture f;
    const QString path = Write_Test_Archive(f.Folder.Path("office/a.arc"), "A");
    QVERIFY(!QFileInfo::exists(f.Folder.Path("office/documents")));
    QVERIFY(f.Window.Open_Archive_File(path));
    f.Save_Answer = f.Folder.Path("backup/b.arc");

    QVERIFY(f.Window.Save_Archive_As());
    QVERIFY(f.Boxes.Asked.isEmpty());
    QVERIFY(QFileInfo(f.Folder.Path("backup/b/b.arc")).isFile());
    QVERIFY(QFileInfo(f.Folder.Path("backup/b/documents")).isDir());
    QVERIFY(!f.Window.Need_To_Save());
}

void tst_Main_Window_Lifecycle::save_as_asks_before_replacing_or_merging_data()
{
    QTest::addColumn<bool>("existing_file");
    QTest::addColumn<bool>("existing_documents");
    QTest::addColumn<int>("answer");
    QTest::newRow("file there, No") << true << false << int(IDNO);
    QTest::newRow("file there, Yes") << true << false << int(IDYES);
    QTest::newRow("documents folder there, No") << false << true << int(IDNO);
    QTest::newRow("documents folder there, Yes") << false << true << int(IDYES);
}

void tst_Main_Window_Lifecycle::save_as_asks_before_replacing_or_merging()
{
    QFETCH(bool, existing_file);
    QFETCH(bool, existing_documents);
    QFETCH(int, answer);
    TMain_Fixture f;
    const QString path = Write_Test_Archive(f.Folder.Path("office/a.arc"), "A");
    Write_File(f.Folder.Path("office/documents/2017-01-02/scan.jpg"), "scan");
    QVERIFY(f.Window.Open_Archive_File(path));
    const QString target = f.Folder.Path("x/Letters/Letters.arc");
    if (existing_file)
        Write_File(target, "someone else's archive");
    if (existing_documents)
        Write_File(f.Folder.Path("x/Letters/documents/2016-05-05/other.jpg"), "other");
    f.Save_Answer = f.Folder.Path("x/Letters.arc");
    f.Boxes.Answers = {answer};

    QCOMPARE(f.Window.Save_Archive_As(), answer == IDYES);
    QCOMPARE(f.Boxes.Asked.size(), 1);
    QVERIFY(f.Boxes.Asked[0].Text.contains(existing_file ? target : f.Folder.Path("x/Letters/documents")));
    if (answer == IDNO) {
        if (existing_file)
            QCOMPARE(File_Bytes(target), QByteArray("someone else's archive"));
        QVERIFY(!QFileInfo::exists(f.Folder.Path("x/Letters/documents/2017-01-02")));
        QVERIFY(QFileInfo(f.Window.Archive()->FilePath) == QFileInfo(path));
    } else {
        QCOMPARE(Load_Archive_File(target, false, false)->Name, QStringLiteral("A"));
        QCOMPARE(File_Bytes(f.Folder.Path("x/Letters/documents/2017-01-02/scan.jpg")), QByteArray("scan"));
        if (existing_documents)
            QCOMPARE(File_Bytes(f.Folder.Path("x/Letters/documents/2016-05-05/other.jpg")), QByteArray("other"));
    }
}

void tst_Main_Window_Lifecycle::save_as_refuses_its_own_documents_folder()
{
    TMain_Fixture f;
    const QString path = Write_Test_Archive(f.Folder.Path("office/a.arc"), "A");
    Write_File(f.Folder.Path("office/documents/2017-01-02/scan.jpg"), "scan");
    QVERIFY(f.Window.Open_Archive_File(path));
    f.Save_Answer = f.Folder.Path("office/documents/2017-01-02/inner.arc");

    QVERIFY(!f.Window.Save_Archive_As());
    QCOMPARE(f.Boxes.Asked.size(), 1);
    QVERIFY(f.Boxes.Asked[0].Style & MB_ICONHAND);
    QVERIFY(!QFileInfo::exists(f.Folder.Path("office/documents/2017-01-02/inner")));
    QVERIFY(QFileInfo(f.Window.Archive()->FilePath) == QFileInfo(path));
}

void tst_Main_Window_Lifecycle::file_without_archive_asks_before_first_save()
{
    TMain_Fixture f;
    const QString path = f.Folder.Path("notes.arc");
    Write_File(path, "shopping\r\n  milk\r\n  bread\r\n");
    QVERIFY(f.Window.Open_Archive_File(path));
    QVERIFY(f.Boxes.Asked.isEmpty());
    QCOMPARE(f.Window.windowTitle(), QStringLiteral("notes.arc - Tarsel Archive"));

    // declined: the file keeps what it holds
    f.Boxes.Answers = {IDNO};
    QVERIFY(!f.Window.SaveArchive());
    QCOMPARE(f.Boxes.Asked.size(), 1);
    QVERIFY(f.Boxes.Asked[0].Text.contains(QStringLiteral("notes.arc")));
    QCOMPARE(File_Bytes(path), QByteArray("shopping\r\n  milk\r\n  bread\r\n"));

    // accepted once: written, and the next save asks nothing
    f.Boxes.Answers = {IDYES};
    QVERIFY(f.Window.SaveArchive());
    QVERIFY(File_Bytes(path).contains("Archive"));
    QVERIFY(f.Window.SaveArchive());
    QCOMPARE(f.Boxes.Asked.size(), 2);
}

void tst_Main_Window_Lifecycle::save_over_a_changed_file_asks_first()
{
    TMain_Fixture f;
    const QString path = Write_Test_Archive(f.Folder.Path("a.arc"), "A");
    QVERIFY(f.Window.Open_Archive_File(path));
    f.Window.Archive()->Name = QStringLiteral("Mine");
    emit f.Window.Tree()->Need_To_Save();
    Write_Test_Archive(path, "Theirs");
    emit f.Window.Monitor()->Changed();
    QVERIFY(f.Window.File_Changed());
    QVERIFY(f.Boxes.Asked.isEmpty());

    f.Boxes.Answers = {IDNO};
    QVERIFY(!f.Window.SaveArchive());
    QCOMPARE(f.Boxes.Asked.size(), 1);
    QVERIFY(f.Boxes.Asked[0].Text.contains(path));
    QCOMPARE(Load_Archive_File(path, false, false)->Name, QStringLiteral("Theirs"));
    QVERIFY(f.Window.Need_To_Save());
    QVERIFY(f.Window.File_Changed());

    f.Boxes.Answers = {IDYES};
    QVERIFY(f.Window.SaveArchive());
    QCOMPARE(Load_Archive_File(path, false, false)->Name, QStringLiteral("Mine"));
    QVERIFY(!f.Window.File_Changed());
    // the program's own save is not a change by another program
    QVERIFY(f.Window.SaveArchive());
    QCOMPARE(f.Boxes.Asked.size(), 2);
}

void tst_Main_Window_Lifecycle::revert_asks_only_when_changes_are_pending()
{
    TMain_Fixture f;
    const QString path = Write_Test_Archive(f.Folder.Path("a.arc"), "A");
    QVERIFY(f.Window.Open_Archive_File(path));
    Write_Test_Archive(path, "B");

    f.Window.Revert_File_Command();
    QVERIFY(f.Boxes.Asked.isEmpty());
    QCOMPARE(f.Window.Archive()->Name, QStringLiteral("B"));

    emit f.Window.Tree()->Need_To_Save();
    Write_Test_Archive(path, "C");
    f.Boxes.Answers = {IDNO};
    f.Window.Revert_File_Command();
    QCOMPARE(f.Boxes.Asked.size(), 1);
    QCOMPARE(f.Window.Archive()->Name, QStringLiteral("B"));
    QVERIFY(f.Window.Need_To_Save());

    f.Boxes.Answers = {IDYES};
    f.Window.Revert_File_Command();
    QCOMPARE(f.Boxes.Asked.size(), 2);
    QCOMPARE(f.Window.Archive()->Name, QStringLiteral("C"));
    QCOMPARE(Root_Text(f.Window), QStringLiteral("C"));
    QVERIFY(!f.Window.Need_To_Save());
}

void tst_Main_Window_Lifecycle::reload_question_waits_for_activation()
{
    TMain_Fixture f;
    const QString path = Write_Test_Archive(f.Folder.Path("a.arc"), "A");
    QVERIFY(f.Window.Open_Archive_File(path));
    Write_Test_Archive(path, "B");
    emit f.Window.Monitor()->Changed();
    QVERIFY(f.Boxes.Asked.isEmpty());

    // No: the archive stays, nothing more is asked until the next change
    f.Boxes.Answers = {IDNO};
    f.Window.Application_Activated();
    QCOMPARE(f.Boxes.Asked.size(), 1);
    QVERIFY(f.Boxes.Asked[0].Text.endsWith(QStringLiteral("|") + f.Window.Archive()->FilePath));
    QCOMPARE(f.Window.Archive()->Name, QStringLiteral("A"));
    f.Window.Application_Activated();
    QCOMPARE(f.Boxes.Asked.size(), 1);

    // Yes: the file is read again
    emit f.Window.Monitor()->Changed();
    f.Boxes.Answers = {IDYES};
    f.Window.Application_Activated();
    QCOMPARE(f.Boxes.Asked.size(), 2);
    QCOMPARE(f.Window.Archive()->Name, QStringLiteral("B"));
}

void tst_Main_Window_Lifecycle::change_without_open_archive_is_ignored()
{
    TMain_Fixture f;
    const QString path = Write_Test_Archive(f.Folder.Path("a.arc"), "A");
    QVERIFY(f.Window.Open_Archive_File(path));
    QVERIFY(f.Window.Close_Archive(true));
    QVERIFY(QFileInfo(f.Window.Monitor()->FileName()) == QFileInfo(path));

    emit f.Window.Monitor()->Changed();
    QVERIFY(!f.Window.File_Changed());
    f.Window.Application_Activated();
    QVERIFY(f.Boxes.Asked.isEmpty());

    // nor does a new archive stand for the file last opened
    f.Window.New_Archive_Command();
    emit f.Window.Monitor()->Changed();
    f.Window.Application_Activated();
    QVERIFY(f.Boxes.Asked.isEmpty());
    QVERIFY(f.Window.Archive()->IsNew);
}

void tst_Main_Window_Lifecycle::commands_wait_while_opening_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Close Archive") << "close";
    QTest::newRow("New Archive") << "new";
    QTest::newRow("Open Archive") << "open";
    QTest::newRow("Revert File") << "revert";
    QTest::newRow("a dropped file") << "drop";
    QTest::newRow("Exit") << "exit";
    QTest::newRow("Delete in the tree") << "delete";
}

void tst_Main_Window_Lifecycle::commands_wait_while_opening()
{
    QFETCH(QString, command);
    TMain_Fixture f;
    const QString first = Write_Test_Archive(f.Folder.Path("first.arc"), "First");
    const QString second = Write_Test_Archive(f.Folder.Path("second.arc"), "Second", 3);
    QVERIFY(f.Window.Open_Archive_File(first));
    f.Window.show();
    f.Open_Answer = first;
    f.Boxes.Answers = {IDNO, IDYES, IDYES};

    // Queued now, the command runs inside the open's own event processing: once while the
    // archive is being installed and once more while the tree is being built.
    int runs = 0;
    bool allBusy = true;
    bool closed = false;
    std::function<void()> run = [&] {
        ++runs;
        allBusy = allBusy && Main_Is_Busy();
        if (command == QLatin1String("close"))
            f.Window.Close_Archive(true);
        else if (command == QLatin1String("new"))
            f.Window.New_Archive_Command();
        else if (command == QLatin1String("open"))
            f.Window.Open_Archive_Command();
        else if (command == QLatin1String("revert"))
            f.Window.Revert_File_Command();
        else if (command == QLatin1String("drop"))
            f.Window.Open_Dropped_Files({first});
        else if (command == QLatin1String("exit"))
            closed = closed || f.Window.close();
        else if (command == QLatin1String("delete")) {
            QTreeWidgetItem *root = f.Window.Tree()->topLevelItem(0);
            QTreeWidgetItem *unit = root ? root->child(root->childCount() - 1) : nullptr;
            if (unit && unit->childCount() > 0)
                f.Window.Tree()->Delete_Node(unit->child(0));
        }
        if (runs == 1)
            QMetaObject::invokeMethod(&f.Window, run, Qt::QueuedConnection);
    };
    QMetaObject::invokeMethod(&f.Window, run, Qt::QueuedConnection);
    QVERIFY(f.Window.Open_Archive_File(second));

    QCOMPARE(runs, 2);
    QVERIFY(allBusy);
    QVERIFY(!closed);
    QVERIFY(f.Window.isVisible());
    QVERIFY(f.Window.Archive() != nullptr);
    QCOMPARE(f.Window.Archive()->Name, QStringLiteral("Second"));
    QCOMPARE(f.Window.Archive()->AUnit->Documents.size(), size_t(3));
    QTreeWidgetItem *root = f.Window.Tree()->topLevelItem(0);
    QVERIFY(root);
    QCOMPARE(f.Window.Tree()->Item_Of_Node(root), static_cast<TArchItem *>(f.Window.Archive()));
    QVERIFY(!Main_Is_Busy());
    f.Window.hide();
}

void tst_Main_Window_Lifecycle::reload_question_waits_for_the_running_loop()
{
    TMain_Fixture f;
    const QString first = Write_Test_Archive(f.Folder.Path("first.arc"), "First");
    const QString second = Write_Test_Archive(f.Folder.Path("second.arc"), "Second");
    QVERIFY(f.Window.Open_Archive_File(first));
    bool askedWhileBusy = false;
    f.Boxes.On_Ask = [&](const TMsgBoxRequest &) { askedWhileBusy = askedWhileBusy || Main_Is_Busy(); };

    bool changed = false;
    QMetaObject::invokeMethod(
        &f.Window,
        [&] {
            emit f.Window.Monitor()->Changed();
            f.Window.Application_Activated();
            changed = f.Window.File_Changed();
        },
        Qt::QueuedConnection);
    QVERIFY(f.Window.Open_Archive_File(second));
    QVERIFY(changed);
    QVERIFY(f.Boxes.Asked.isEmpty());

    // Once the loop is over, the question comes and concerns the archive now open.
    f.Boxes.Answers = {IDNO};
    f.Window.Application_Activated();
    QCOMPARE(f.Boxes.Asked.size(), 1);
    QVERIFY(!askedWhileBusy);
    QVERIFY(f.Boxes.Asked[0].Text.endsWith(f.Window.Archive()->FilePath));
    QCOMPARE(f.Window.Archive()->Name, QStringLiteral("Second"));
}

void tst_Main_Window_Lifecycle::drop_opens_only_the_first_file()
{
    TMain_Fixture f;
    const QString a = Write_Test_Archive(f.Folder.Path("a.arc"), "A");
    const QString b = Write_Test_Archive(f.Folder.Path("b.arc"), "B");
    const QString c = Write_Test_Archive(f.Folder.Path("c.arc"), "C");
    QVERIFY(f.Window.Open_Archive_File(a));
    emit f.Window.Tree()->Need_To_Save();

    // unsaved changes are asked about first; Cancel keeps everything
    f.Boxes.Answers = {IDCANCEL};
    f.Window.Open_Dropped_Files({b, c});
    QCOMPARE(f.Window.Archive()->Name, QStringLiteral("A"));

    f.Boxes.Answers = {IDNO};
    f.Window.Open_Dropped_Files({b, c});
    QCOMPARE(f.Window.Archive()->Name, QStringLiteral("B"));
    QCOMPARE(f.Boxes.Asked.size(), 2);

    // through a real drop event as well
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(c), QUrl::fromLocalFile(a)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.Window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.Window, &drop);
    QTRY_COMPARE(f.Window.Archive()->Name, QStringLiteral("C"));
}

void tst_Main_Window_Lifecycle::new_archive_shows_everything()
{
    TMain_Fixture f;
    f.Window.New_Archive_Command();
    QVERIFY(f.Window.Archive()->IsNew);
    QCOMPARE(f.Window.windowTitle(), QStringLiteral("New Archive.arc - Tarsel Archive"));
    QVERIFY(!f.Window.Need_To_Save());
    QTreeWidgetItem *root = f.Window.Tree()->topLevelItem(0);
    QVERIFY(root);
    QCOMPARE(root->text(0), QStringLiteral("Archive"));
    QVERIFY(root->isExpanded());
    QTreeWidgetItem *unit = root->child(root->childCount() - 1);
    QCOMPARE(unit->text(0), QStringLiteral("My Archive"));
    QVERIFY(unit->isExpanded());
    QCOMPARE(unit->child(0)->text(0), QStringLiteral("Document"));
}

void tst_Main_Window_Lifecycle::exit_stores_the_last_archive_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("remembered");
    QTest::newRow("open archive is remembered") << "open" << true;
    QTest::newRow("after Close Archive nothing is") << "closed" << false;
    QTest::newRow("a new archive is not") << "new" << false;
}

void tst_Main_Window_Lifecycle::exit_stores_the_last_archive()
{
    QFETCH(QString, state);
    QFETCH(bool, remembered);
    TMain_Fixture f;
    const QString path = Write_Test_Archive(f.Folder.Path("a.arc"), "A");
    QVERIFY(f.Window.Open_Archive_File(path));
    if (state == QLatin1String("closed"))
        QVERIFY(f.Window.Close_Archive(true));
    if (state == QLatin1String("new"))
        f.Window.New_Archive_Command();
    f.Window.show();
    QVERIFY(f.Window.close());

    Current_Options = TOptions();
    Load_Options();
    if (remembered)
        QVERIFY(QFileInfo(Current_Options.Last_Opened_Archive) == QFileInfo(path));
    else
        QVERIFY(Current_Options.Last_Opened_Archive.isEmpty());
}

void tst_Main_Window_Lifecycle::failed_options_save_is_reported_on_exit()
{
    TMain_Fixture f;
    f.Window.show();
    QVERIFY(QDir().mkpath(Options_File_Path()));
    f.Boxes.Answers = {IDOK};
    QVERIFY(f.Window.close());
    QCOMPARE(f.Boxes.Asked.size(), 1);
    QCOMPARE(f.Boxes.Asked[0].Title, QStringLiteral("Save Failed"));
    QVERIFY(!f.Boxes.Asked[0].Text.isEmpty());
}

QTEST_MAIN(tst_Main_Window_Lifecycle)
#include "tst_main_window_lifecycle.moc"
