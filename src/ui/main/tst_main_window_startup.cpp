// The main window's first showing: folders, languages, options, the start-up archive and
// the language dialog.

#include <QtTest>

#include <QDir>
#include <QFileInfo>

#include "local/localization.h"
#include "local/options.h"
#include "ui/main/archive_tree.h"
#include "ui/main/main_window.h"
#include "ui/main/tst_main_window_support.h"

class tst_Main_Window_Startup : public QObject
{
    Q_OBJECT

private slots:
    void first_run_shows_the_window_then_asks_the_language();
    void chosen_language_is_applied_and_not_asked_again();
    void command_line_archive_opens_once();
    void last_archive_on_startup_data();
    void last_archive_on_startup();
    void unreadable_start_file_is_reported();
};

namespace {

void Store_Options(const TOptions &options)
{
    Current_Options = options;
    QVERIFY(Save_Options());
    Current_Options = TOptions();
}

} // namespace

void tst_Main_Window_Startup::first_run_shows_the_window_then_asks_the_language()
{
    TProgram_Folder folder;
    TBox_Script boxes;
    Tfrm_Main window;
    int asked = 0;
    bool visibleWhenAsked = false;
    bool maximisedWhenAsked = false;
    window.Set_Language_Dialog([&] {
        ++asked;
        visibleWhenAsked = window.isVisible();
        maximisedWhenAsked = window.windowState() & Qt::WindowMaximized;
    });

    window.show();
    QCOMPARE(asked, 0);
    QTRY_COMPARE(asked, 1);
    QVERIFY(visibleWhenAsked);
    QVERIFY(maximisedWhenAsked);
    QVERIFY(window.Archive() == nullptr);
    QCOMPARE(window.windowTitle(), QStringLiteral("Tarsel Archive"));
    QVERIFY(boxes.Asked.isEmpty());
    QVERIFY(QFileInfo(folder.Path("data")).isDir());
    QVERIFY(QFileInfo(folder.Path("user")).isDir());
    QVERIFY(QFileInfo(folder.Path("langs/english.local")).isFile());
    QVERIFY(QFileInfo(folder.Path("langs/arabic.local")).isFile());
    QVERIFY(window.Start_File_Loaded());

    // a later showing asks nothing more
    window.hide();
    window.show();
    QTest::qWait(10);
    QCOMPARE(asked, 1);
}

void tst_Main_Window_Startup::chosen_language_is_applied_and_not_asked_again()
{
    TProgram_Folder folder;
    TBox_Script boxes;
    QVERIFY(Write_Builtin_Languages(false).isEmpty());
    TOptions options;
    options.Language = QStringLiteral("Arabic");
    options.Language_File = QDir(Languages_Folder()).filePath(QStringLiteral("arabic.local"));
    Store_Options(options);

    Tfrm_Main window;
    int asked = 0;
    window.Set_Language_Dialog([&] { ++asked; });
    window.show();
    QTest::qWait(10);
    QCOMPARE(asked, 0);
    QVERIFY(boxes.Asked.isEmpty());
    QVERIFY(Local_Is_RTL());
    QCOMPARE(QApplication::layoutDirection(), Qt::RightToLeft);
    QCOMPARE(window.windowTitle(), Translate(QStringLiteral("Tarsel Archive")));
    QVERIFY(window.windowTitle() != QStringLiteral("Tarsel Archive"));
    QApplication::setLayoutDirection(Qt::LeftToRight);
}

void tst_Main_Window_Startup::command_line_archive_opens_once()
{
    TProgram_Folder folder;
    TBox_Script boxes;
    const QString path = Write_Test_Archive(folder.Path("sample.arc"), "Sample");
    Current_Options.Language = QStringLiteral("English");
    Tfrm_Main window;
    window.Set_Start_File(QStringLiteral("  ") + path + QStringLiteral(" "));

    window.show();
    QVERIFY(window.Archive() != nullptr);
    QCOMPARE(window.windowTitle(), QStringLiteral("sample.arc - Tarsel Archive"));
    QCOMPARE(window.Tree()->topLevelItem(0)->text(0), QStringLiteral("Sample"));

    // resizing, restoring and maximising later opens nothing again
    QVERIFY(window.Close_Archive(true));
    window.showNormal();
    window.resize(700, 500);
    window.showMaximized();
    QTest::qWait(10);
    QVERIFY(window.Archive() == nullptr);
    QVERIFY(boxes.Asked.isEmpty());
}

void tst_Main_Window_Startup::last_archive_on_startup_data()
{
    QTest::addColumn<bool>("option");
    QTest::addColumn<bool>("file_exists");
    QTest::addColumn<bool>("opened");
    QTest::newRow("set, file there") << true << true << true;
    QTest::newRow("set, file deleted meanwhile") << true << false << false;
    QTest::newRow("not set") << false << true << false;
}

void tst_Main_Window_Startup::last_archive_on_startup()
{
    QFETCH(bool, option);
    QFETCH(bool, file_exists);
    QFETCH(bool, opened);
    TProgram_Folder folder;
    TBox_Script boxes;
    const QString path = folder.Path("last.arc");
    if (file_exists)
        Write_Test_Archive(path, "Last");
    TOptions options;
    options.Language = QStringLiteral("English");
    options.Open_Last_Archive_On_Startup = option;
    options.Last_Opened_Archive = path;
    Store_Options(options);

    Tfrm_Main window;
    window.show();
    QCOMPARE(window.Archive() != nullptr, opened);
    if (opened)
        QCOMPARE(window.Archive()->Name, QStringLiteral("Last"));
    QVERIFY(boxes.Asked.isEmpty());
}

void tst_Main_Window_Startup::unreadable_start_file_is_reported()
{
    TProgram_Folder folder;
    TBox_Script boxes;
    Current_Options.Language = QStringLiteral("English");
    Tfrm_Main window;
    window.Set_Start_File(folder.Path("missing.arc"));
    boxes.Answers = {IDOK};
    window.show();
    QCOMPARE(boxes.Asked.size(), 1);
    QVERIFY(boxes.Asked[0].Style & MB_ICONHAND);
    QVERIFY(window.Archive() == nullptr);
    QVERIFY(window.isVisible());
}

QTEST_MAIN(tst_Main_Window_Startup)
#include "tst_main_window_startup.moc"
