// The main window's regions, captions, mirroring, status bar, full view, companion
// placement and keyboard layouts.

#include <QtTest>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>

#include "archive/tarchitem.h"
#include "local/keyboard_backend.h"
#include "local/localization.h"
#include "local/tkeyboardlayout.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/main/archive_tree.h"
#include "ui/main/main_window.h"
#include "ui/main/tst_main_window_support.h"
#include "ui/options/options_panel.h"

class tst_Main_Window_Layout : public QObject
{
    Q_OBJECT

private slots:
    void regions_have_their_sizes_and_colours();
    void commands_without_a_target_are_not_shown();
    void captions_follow_the_language_data();
    void captions_follow_the_language();
    void arabic_mirrors_once_and_english_restores();
    void another_rtl_language_moves_nothing();
    void counts_are_grouped_and_empty_for_zero();
    void document_menu_follows_the_selection();
    void full_view_and_escape();
    void companions_cover_the_side_opposite_the_tree();
    void keyboard_layout_follows_the_language();
};

namespace {

// Two layouts; the active one is switched by Activate.
class TScripted_Keyboard : public TKeyboardBackend
{
public:
    QList<TLayoutInfo> InstalledLayouts() override
    {
        return {Language_Layout_Info(QLocale::English), Language_Layout_Info(QLocale::Arabic)};
    }
    int ActiveIndex() override { return *Active; }
    bool Activate(int index) override
    {
        *Active = index;
        return true;
    }
    std::shared_ptr<int> Active = std::make_shared<int>(0);
};

struct TShown_Window
{
    TShown_Window()
    {
        Current_Options.Language = QStringLiteral("English");
        Window.resize(1000, 602);
        Window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Window));
        // the first showing maximises; the tests look at the design size
        Window.showNormal();
        Window.resize(1000, 602);
        QCoreApplication::processEvents();
    }
    ~TShown_Window() { QApplication::setLayoutDirection(Qt::LeftToRight); }

    void Switch_To(const QString &file)
    {
        Apply_Language_File(file.isEmpty() ? QString() : QDir(Languages_Folder()).filePath(file));
        Window.Localize();
        QCoreApplication::processEvents();
    }

    TProgram_Folder Folder;
    TBox_Script Boxes;
    Tfrm_Main Window;
};

QColor Window_Colour(QWidget *widget)
{
    return widget->palette().color(QPalette::Window);
}

// Where every control of the status bar and every region lies, to tell whether a second
// localization moved anything.
QList<QRect> Arrangement(Tfrm_Main &window)
{
    QList<QRect> result;
    for (QWidget *child : window.Status_Bar()->findChildren<QWidget *>())
        result.append(child->geometry());
    for (QWidget *region : {static_cast<QWidget *>(window.Side_Bar()), static_cast<QWidget *>(window.Tree()),
                            window.Preview_Area(), static_cast<QWidget *>(window.Status_Bar())})
        result.append(QRect(region->mapTo(&window, QPoint(0, 0)), region->size()));
    return result;
}

int Left_In_Window(Tfrm_Main &window, QWidget *widget)
{
    return widget->mapTo(&window, QPoint(0, 0)).x();
}

QString Text_Of(Tfrm_Main &window, const QString &name, const QString &what)
{
    if (what == QLatin1String("hint"))
        return window.findChild<QWidget *>(name)->toolTip();
    if (auto *menu = window.findChild<QMenu *>(name))
        return menu->title();
    // the status bar's own labels before the panels' labels of the same name
    if (auto *label = window.Status_Bar()->findChild<TVelLabel *>(name))
        return label->Caption();
    if (auto *label = window.findChild<TVelLabel *>(name))
        return label->Caption();
    if (QAction *action = window.Action(name))
        return action->text();
    return QStringLiteral("<no control %1>").arg(name);
}

} // namespace

void tst_Main_Window_Layout::regions_have_their_sizes_and_colours()
{
    TShown_Window s;
    Tfrm_Main &w = s.Window;
    QCOMPARE(Window_Colour(&w), QColor(41, 41, 41));
    QCOMPARE(w.Side_Bar()->width(), 73);
    QCOMPARE(w.Side_Bar()->Color(), QColor(64, 64, 64));
    QCOMPARE(Left_In_Window(w, w.Side_Bar()), 0);
    QCOMPARE(w.Tree()->width(), 347);
    QCOMPARE(Left_In_Window(w, w.Tree()), 73);
    QCOMPARE(w.Tree_Splitter()->handleWidth(), 4);
    QCOMPARE(Left_In_Window(w, w.Preview_Area()), 73 + 347 + 4);
    QCOMPARE(Window_Colour(w.Preview_Area()), QColor(30, 30, 30));
    QVERIFY(w.Property_Host()->isHidden());
    QCOMPARE(w.Property_Host()->width(), 530);
    QCOMPARE(w.Property_Host()->Color(), QColor(68, 68, 68));
    QCOMPARE(w.Status_Bar()->height(), 28);
    QCOMPARE(w.Status_Bar()->Color(), QColor(104, 33, 122));
    QCOMPARE(w.Status_Bar()->mapTo(&w, QPoint(0, 0)).y() + 28, w.height());
    QCOMPARE(w.Full_View_Panel()->width(), 25);
    QCOMPARE(w.Full_View_Panel()->Color(), QColor(146, 46, 171));
    QCOMPARE(w.Full_View_Panel()->geometry().right(), w.Status_Bar()->width() - 1);
    QCOMPARE(w.Save_Image()->geometry(), QRect(20, 32, 32, 32));
    QCOMPARE(w.Save_Badge()->size(), QSize(22, 22));
    for (TVelLabel *label : w.Count_Labels() + w.Count_Caption_Labels())
        QCOMPARE(label->FontColor(), QColor(Qt::white));
    for (TVelLabel *label : w.Count_Labels())
        QVERIFY(label->font().bold());
}

void tst_Main_Window_Layout::commands_without_a_target_are_not_shown()
{
    TShown_Window s;
    Tfrm_Main &w = s.Window;
    for (const char *name : {"mnu_Print", "mnu_Printer_Setup", "mnu_Preferences", "mnu_How_To", "mnu_About"})
        QVERIFY2(!w.Action(QString::fromLatin1(name))->isVisible(), name);
    for (const char *name : {"mnu_Edit", "mnu_View", "mnu_Help"})
        QVERIFY2(!w.findChild<QMenu *>(QString::fromLatin1(name))->menuAction()->isVisible(), name);
    // the property host gives Find and the two side-bar images their target
    QVERIFY(w.Action(QStringLiteral("mnu_Find"))->isVisible());
    QVERIFY(!w.findChild<QLabel *>(QStringLiteral("img_Property"))->isHidden());
    QVERIFY(!w.findChild<QLabel *>(QStringLiteral("img_Find"))->isHidden());
    QVERIFY(!w.Save_Image()->isHidden());

    // they come once their windows are there
    w.Set_Options_Panel(new Tfrm_Options);
    w.Set_Help_Card(new QWidget);
    w.Set_About_Box([] {});
    for (const char *name : {"mnu_Preferences", "mnu_How_To", "mnu_About"})
        QVERIFY2(w.Action(QString::fromLatin1(name))->isVisible(), name);
    QVERIFY(w.findChild<QMenu *>(QStringLiteral("mnu_Help"))->menuAction()->isVisible());
}

void tst_Main_Window_Layout::captions_follow_the_language_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("suffix");
    const QString more = QStringLiteral("..");
    const struct
    {
        const char *control, *what, *source;
        bool more;
    } rows[] = {
        {"mnu_File", "text", "File", false},
        {"mnu_New", "text", "New Archive", false},
        {"mnu_Open", "text", "Open Archive", true},
        {"mnu_Save", "text", "Save", false},
        {"mnu_SaveAs", "text", "Save As", true},
        {"mnu_Printer_Setup", "text", "Printer Setup", true},
        {"mnu_Print", "text", "Print", true},
        {"mnu_Preferences", "text", "Preferences", true},
        {"mnu_Revert_File", "text", "Revert File", false},
        {"mnu_Close_Archive", "text", "Close Archive", false},
        {"mnu_Exit", "text", "Exit", false},
        {"mnu_Edit", "text", "Edit", false},
        {"mnu_Find", "text", "Find", true},
        {"mnu_View", "text", "View", false},
        {"mnu_Help", "text", "Help", false},
        {"mnu_How_To", "text", "Data Entry Basics", false},
        {"mnu_About", "text", "About Tarsel Archive", false},
        {"img_Property", "hint", "Properties", false},
        {"lbl_Properties", "text", "Properties", false},
        {"img_Find", "hint", "Search", false},
        {"lbl_Docs", "text", "Documents", false},
        {"lbl_Subs", "text", "Subjects", false},
        {"lbl_Persons", "text", "Persons", false},
        {"lbl_Units", "text", "Sections", false},
        {"lbl_Files", "text", "Files", false},
    };
    for (const auto &row : rows)
        QTest::newRow(row.control) << QString::fromLatin1(row.control) << QString::fromLatin1(row.what)
                                   << QString::fromLatin1(row.source) << (row.more ? more : QString());
}

void tst_Main_Window_Layout::captions_follow_the_language()
{
    QFETCH(QString, control);
    QFETCH(QString, what);
    QFETCH(QString, source);
    QFETCH(QString, suffix);
    TShown_Window s;
    QCOMPARE(Text_Of(s.Window, control, what), source + suffix);
    s.Switch_To(QStringLiteral("arabic.local"));
    QCOMPARE(Text_Of(s.Window, control, what), Translate(source) + suffix);
    s.Switch_To(QString());
    QCOMPARE(Text_Of(s.Window, control, what), source + suffix);
}

void tst_Main_Window_Layout::arabic_mirrors_once_and_english_restores()
{
    TShown_Window s;
    Tfrm_Main &w = s.Window;
    const int font = w.Tree()->font().pointSize();
    QVERIFY(Left_In_Window(w, w.Full_View_Panel()) > 100);

    s.Switch_To(QStringLiteral("arabic.local"));
    QCOMPARE(Left_In_Window(w, w.Side_Bar()) + 73, w.width());
    QVERIFY(Left_In_Window(w, w.Tree()) < Left_In_Window(w, w.Side_Bar()));
    QVERIFY(Left_In_Window(w, w.Preview_Area()) < Left_In_Window(w, w.Tree()));
    QVERIFY(w.Full_View_Panel()->x() < 50);
    QVERIFY(w.findChild<TVelLabel *>(QStringLiteral("lbl_Docs"))->x()
            > w.findChild<TVelLabel *>(QStringLiteral("lbl_Units"))->x());
    QCOMPARE(w.Tree()->layoutDirection(), Qt::RightToLeft);
    QCOMPARE(w.Tree()->font().pointSize(), font + 2);
    QCOMPARE(w.windowTitle(), Translate(QStringLiteral("Tarsel Archive")));

    // a second localization in the same language changes nothing
    const QList<QRect> arranged = Arrangement(w);
    w.Localize();
    QCoreApplication::processEvents();
    QCOMPARE(Arrangement(w), arranged);
    QCOMPARE(w.Tree()->font().pointSize(), font + 2);
    QCOMPARE(w.Tree()->layoutDirection(), Qt::RightToLeft);

    s.Switch_To(QString());
    QCOMPARE(Left_In_Window(w, w.Side_Bar()), 0);
    QVERIFY(Left_In_Window(w, w.Full_View_Panel()) > 100);
    QCOMPARE(w.Tree()->font().pointSize(), font);
    QCOMPARE(w.Tree()->layoutDirection(), Qt::LeftToRight);
    const QList<QRect> back = Arrangement(w);
    w.Localize();
    QCoreApplication::processEvents();
    QCOMPARE(Arrangement(w), back);
    QCOMPARE(w.Tree()->font().pointSize(), font);
}

void tst_Main_Window_Layout::another_rtl_language_moves_nothing()
{
    TShown_Window s;
    Tfrm_Main &w = s.Window;
    Write_File(QDir(Languages_Folder()).filePath(QStringLiteral("farsi.local")),
               QStringLiteral("sml = version = 0.1; encoding = utf-8\r\n"
                              "  localization\r\n"
                              "    header\r\n"
                              "      source_lang = English\r\n"
                              "      target_lang = Farsi\r\n"
                              "        native_name = \u0641\u0627\u0631\u0633\u06CC\r\n"
                              "        orientation = rtl\r\n"
                              "    translations\r\n"
                              "      unit\r\n"
                              "        source = Documents\r\n"
                              "        target = \u0627\u0633\u0646\u0627\u062F\r\n")
                   .toUtf8());
    s.Switch_To(QStringLiteral("arabic.local"));
    const QList<QRect> arranged = Arrangement(w);
    const int font = w.Tree()->font().pointSize();

    s.Switch_To(QStringLiteral("farsi.local"));
    QCOMPARE(Active_Local.Target_Lang.Name, QStringLiteral("Farsi"));
    QCOMPARE(w.findChild<TVelLabel *>(QStringLiteral("lbl_Docs"))->Caption(),
             QStringLiteral("\u0627\u0633\u0646\u0627\u062F"));
    QCOMPARE(w.Tree()->font().pointSize(), font);
    QCOMPARE(Arrangement(w).mid(arranged.size() - 4), arranged.mid(arranged.size() - 4));
    QVERIFY(w.Full_View_Panel()->x() < 50);
}

void tst_Main_Window_Layout::counts_are_grouped_and_empty_for_zero()
{
    TShown_Window s;
    Tfrm_Main &w = s.Window;
    emit w.Tree()->Item_Counts_Changed(12345, 0, 3, 1, 250);
    const QList<TVelLabel *> counts = w.Count_Labels(); // documents, files, subjects, persons, sections
    QCOMPARE(counts[0]->Caption(), QLocale().toString(12345));
    QVERIFY(counts[0]->Caption().size() > 5);
    QCOMPARE(counts[1]->Caption(), QStringLiteral("250"));
    QCOMPARE(counts[2]->Caption(), QString());
    QCOMPARE(counts[3]->Caption(), QStringLiteral("3"));
    QCOMPARE(counts[4]->Caption(), QStringLiteral("1"));

    // closing the archive empties them
    const QString path = Write_Test_Archive(s.Folder.Path("a.arc"), "A", 2);
    QVERIFY(w.Open_Archive_File(path));
    QVERIFY(w.Close_Archive(true));
    for (TVelLabel *label : counts)
        QCOMPARE(label->Caption(), QString());
}

void tst_Main_Window_Layout::document_menu_follows_the_selection()
{
    TShown_Window s;
    Tfrm_Main &w = s.Window;
    w.New_Archive_Command();
    QAction *menu = w.Tree()->Document_Menu()->menuAction();
    QTreeWidgetItem *root = w.Tree()->topLevelItem(0);
    QTreeWidgetItem *unit = root->child(root->childCount() - 1);
    QTreeWidgetItem *document = unit->child(0);

    w.Tree()->setCurrentItem(document);
    QVERIFY(menu->isVisible());
    QVERIFY(w.Current_Document() != nullptr);
    QCOMPARE(w.Current_Document()->Name, QStringLiteral("Document"));
    w.Tree()->setCurrentItem(unit);
    QVERIFY(!menu->isVisible());
    QVERIFY(w.Current_Document() == nullptr);
    w.Tree()->setCurrentItem(document);
    QVERIFY(w.Close_Archive(true));
    QVERIFY(!menu->isVisible());
    QVERIFY(w.Current_Document() == nullptr);
}

void tst_Main_Window_Layout::full_view_and_escape()
{
    TShown_Window s;
    Tfrm_Main &w = s.Window;
    w.showMaximized();
    QCoreApplication::processEvents();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.Full_View());

    QTest::keyClick(&w, Qt::Key_F11);
    QVERIFY(w.Full_View());
    QVERIFY(w.menuBar()->isHidden());
    QVERIFY(w.windowState() & Qt::WindowFullScreen);

    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.Full_View());
    QVERIFY(!w.menuBar()->isHidden());
    QVERIFY(w.windowState() & Qt::WindowMaximized);
    QVERIFY(!(w.windowState() & Qt::WindowFullScreen));

    // the panel at the end of the status bar toggles it as well
    emit w.Full_View_Panel()->OnClick();
    QVERIFY(w.Full_View());
    emit w.Full_View_Panel()->OnClick();
    QVERIFY(!w.Full_View());
}

void tst_Main_Window_Layout::companions_cover_the_side_opposite_the_tree()
{
    TShown_Window s;
    Tfrm_Main &w = s.Window;
    auto *options = new Tfrm_Options;
    auto *card = new QWidget;
    card->resize(300, 200);
    w.Set_Options_Panel(options);
    w.Set_Help_Card(card);
    QWidget *client = w.centralWidget();
    const int height = client->height() - w.Status_Bar()->height();

    w.Show_Options();
    QVERIFY(options->isVisible());
    QCOMPARE(options->geometry(), QRect(client->width() - options->width(), 0, options->width(), height));
    w.Toggle_Help_Card();
    QVERIFY(card->isVisible());
    QCOMPARE(card->geometry(), QRect(client->width() - 300 - 15, 0, 300, height));

    s.Switch_To(QStringLiteral("arabic.local"));
    QCOMPARE(options->x(), 0);
    QCOMPARE(card->x(), 0);
    QVERIFY(Left_In_Window(w, w.Tree()) > options->width());

    // they follow the window's size
    w.resize(1100, 650);
    QCoreApplication::processEvents();
    QCOMPARE(options->height(), client->height() - w.Status_Bar()->height());

    w.Toggle_Help_Card();
    QVERIFY(!card->isVisible());
}

void tst_Main_Window_Layout::keyboard_layout_follows_the_language()
{
    TProgram_Folder folder;
    TBox_Script boxes;
    Current_Options.Language = QStringLiteral("English");
    auto backend = std::make_unique<TScripted_Keyboard>();
    std::shared_ptr<int> active = backend->Active;
    Tfrm_Main window;
    window.Set_Keyboard(std::make_unique<TKeyboardLayout>(std::move(backend)));
    window.show();
    QCOMPARE(*active, 0);

    QVERIFY(Write_Builtin_Languages(false).isEmpty());
    Apply_Language_File(QDir(Languages_Folder()).filePath(QStringLiteral("arabic.local")));
    window.Localize();
    QCOMPARE(*active, 1);

    // another program switched the layout; coming back to the window switches it again
    *active = 0;
    window.Window_Activated();
    QCOMPARE(*active, 1);

    // leaving the program restores the layout it found
    QVERIFY(window.close());
    QCOMPARE(*active, 0);
    QApplication::setLayoutDirection(Qt::LeftToRight);
}

QTEST_MAIN(tst_Main_Window_Layout)
#include "tst_main_window_layout.moc"
