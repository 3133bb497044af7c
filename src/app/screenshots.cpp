// tarsel-screenshots OUTDIR ARCHIVE: shows the program's windows on an archive and writes
// a PNG of the screen for each: the main window in English and in Arabic with a document
// selected and the tree expanded, the message box, the Preferences panel and the language
// dialog. Run it under a virtual X server of 1280 x 800 (scripts/screenshots does).

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidgetItemIterator>

#include <cstdio>
#include <functional>

#include "local/localization.h"
#include "local/options.h"
#include "text/app_paths.h"
#include "ui/controls/msg_box.h"
#include "archive/tarchitem.h"
#include "ui/main/application.h"
#include "ui/main/archive_tree.h"
#include "ui/main/main_window.h"
#include "ui/options/language_dialog.h"

namespace {

QString Out_Dir;
int Failures = 0;

void Settle(int ms = 300)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Shoot(const QString &name)
{
    Settle();
    const QString path = QDir(Out_Dir).filePath(name + QStringLiteral(".png"));
    if (QGuiApplication::primaryScreen()->grabWindow(0).save(path)) {
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        ++Failures;
    }
}

// Shoots the modal window that show opens, then closes it.
void Shoot_Modal(const QString &name, const std::function<void()> &show)
{
    QTimer::singleShot(500, [name] {
        Shoot(name);
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    show();
}

// Loads and expands every folder down to a few levels, then selects the document with the
// most files, so that the status bar shows counts.
void Expand_And_Select(TArchive_Tree *tree)
{
    for (int pass = 0; pass < 4; ++pass) {
        QList<QTreeWidgetItem *> nodes;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            nodes.append(*it);
        for (QTreeWidgetItem *node : nodes) {
            tree->Ensure_Loaded(node);
            node->setExpanded(true);
        }
    }
    QTreeWidgetItem *chosen = nullptr;
    int files = -1;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (tree->Kind_Of_Node(*it) != TNode_Kind::Document)
            continue;
        const int n = tree->Item_Of_Node(*it)->FilesCount() * 100 + tree->Item_Of_Node(*it)->DocumentsCount();
        if (n > files) {
            files = n;
            chosen = *it;
        }
    }
    if (chosen) {
        tree->setCurrentItem(chosen);
        tree->scrollToItem(chosen);
    }
}

void Switch_Language(Tfrm_Main &main, const QString &file)
{
    Apply_Language_File(file.isEmpty() ? QString() : QDir(Languages_Folder()).filePath(file));
    main.Localize();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarsel Archive"));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: tarsel-screenshots OUTDIR ARCHIVE\n");
        return 2;
    }
    Out_Dir = arguments.at(1);
    QDir().mkpath(Out_Dir);

    // A program folder of its own, so the user's options stay untouched; English chosen.
    QTemporaryDir folder;
    Set_App_Folder(folder.path());
    Current_Options.Language = QStringLiteral("English");
    Save_Options();

    std::unique_ptr<Tfrm_Main> main = Create_Application_Windows();
    main->Set_Start_File(QFileInfo(arguments.at(2)).absoluteFilePath());
    main->show();
    // A virtual server has no window manager to maximise the window.
    main->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    Settle();
    if (!main->Archive()) {
        std::fprintf(stderr, "the archive did not open\n");
        return 1;
    }

    Expand_And_Select(main->Tree());
    Shoot(QStringLiteral("main_en"));

    Switch_Language(*main, QStringLiteral("arabic.local"));
    Shoot(QStringLiteral("main_ar"));
    Switch_Language(*main, QString());

    Shoot_Modal(QStringLiteral("message_box"), [] {
        Yes_No_Cancel_Box(Translate(QStringLiteral("Do you want to save the changes\r\nyou made to %s ?|"
                                                   "Your changes will be lost if you don't save them."))
                              .replace(QStringLiteral("%s"), QStringLiteral("sample.arc")),
                          QStringLiteral("Tarsel Archive"), QStringLiteral("Save,Don't Save,Cancel"), false);
    });

    main->Show_Options();
    Shoot(QStringLiteral("preferences"));
    Switch_Language(*main, QStringLiteral("arabic.local"));
    Shoot(QStringLiteral("preferences_ar"));
    Switch_Language(*main, QString());
    if (QWidget *options = main->findChild<QWidget *>(QStringLiteral("frm_Options")))
        options->hide();

    if (auto *language = main->findChild<Tfrm_Select_Language *>())
        Shoot_Modal(QStringLiteral("language_dialog"), [language] { language->exec(); });

    main->Set_Need_To_Save(false);
    main->close();
    return Failures == 0 ? 0 : 1;
}
