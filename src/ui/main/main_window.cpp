#include "ui/main/main_window.h"
#include "ui/main/property_host.h"
#include "ui/main/property_host_attach.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDirIterator>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "archive/archive_file.h"
#include "archive/store_paths.h"
#include "archive/tarchitem.h"
#include "local/localization.h"
#include "local/options.h"
#include "local/tkeyboardlayout.h"
#include "local/xkb/xkb_keyboard_backend.h"
#include "markup/terror.h"
#include "text/app_paths.h"
#include "ui/controls/msg_box.h"
#include "ui/controls/vel_label.h"
#include "ui/main/archive_tree.h"
#include "ui/main/control_bridge.h"
#include "ui/main/file_monitor.h"

TArchive *Current_Archive = nullptr;

namespace {

Tfrm_Main *Main_Instance = nullptr;

const char *const App_Title = "Tarsel Archive";
const char *const Archive_Filter =
    "Archive Files (*.arc *.archive *.arcx);;Compressed Archive Files (*.arcx);;All Files (*)";

QString Clean_Absolute(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(To_Native_Path(path));
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool Same_Path(const QString &a, const QString &b)
{
    return !a.isEmpty() && !b.isEmpty() && Clean_Absolute(a) == Clean_Absolute(b);
}

// True when path is folder itself or lies below it.
bool Is_Within_Folder(const QString &path, const QString &folder)
{
    const QString p = Clean_Absolute(path);
    const QString f = Clean_Absolute(folder);
    return !f.isEmpty() && (p == f || p.startsWith(f + QLatin1Char('/')));
}

QString Format_Text(QString text, const QString &arg)
{
    const qsizetype at = text.indexOf(QLatin1String("%s"));
    if (at >= 0)
        text.replace(at, 2, arg);
    return text;
}

bool Is_Yes(int answer)
{
    return answer == IDYES || answer == IDOK;
}

} // namespace

Tfrm_Main::Tfrm_Main(QWidget *parent)
    : QMainWindow(parent)
{
    Main_Instance = this;
    setObjectName(QStringLiteral("frm_Main"));
    FileChanged = false;

    FMonitor = new TFileMonitor(this);
    connect(FMonitor, &TFileMonitor::Changed, this, &Tfrm_Main::Archive_File_Changed);
    FKeyboard = std::make_unique<TKeyboardLayout>(Create_Keyboard_Backend());

    Create_Layout();
    Create_Menus();
    Connect_Tree();
    FProperty_Host = Attach_Property_Host(this);
    setAcceptDrops(true);

    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            Application_Activated();
    });

    Update_Title();
    Clear_Item_Counts();
}

Tfrm_Main::~Tfrm_Main()
{
    // The tree refers to the archive's items: empty it before the archive goes.
    trv->Clear_Tree();
    trv->Set_Archive(nullptr);
    Current_Archive = nullptr;
    FArchive.reset();
    if (Main_Instance == this)
        Main_Instance = nullptr;
}

Tfrm_Main *Tfrm_Main::Instance()
{
    return Main_Instance;
}

void Tfrm_Main::Set_Open_Dialog(TOpen_Dialog dialog)
{
    FOpen_Dialog = std::move(dialog);
}

void Tfrm_Main::Set_Save_Dialog(TSave_Dialog dialog)
{
    FSave_Dialog = std::move(dialog);
}

void Tfrm_Main::Set_Language_Dialog(std::function<void()> dialog)
{
    FLanguage_Dialog = std::move(dialog);
}

void Tfrm_Main::Set_About_Box(std::function<void()> show_modal)
{
    FAbout_Box = std::move(show_modal);
    mnu_About->setVisible(bool(FAbout_Box));
    Update_Menus();
}

void Tfrm_Main::Set_Start_File(const QString &path)
{
    FStart_File = path;
}

void Tfrm_Main::Set_Keyboard(std::unique_ptr<TKeyboardLayout> keyboard)
{
    FKeyboard = std::move(keyboard);
}

QAction *Tfrm_Main::Action(const QString &name) const
{
    return findChild<QAction *>(name);
}

// ---------------------------------------------------------------------------------------
// Start-up

void Tfrm_Main::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (FShown)
        return;
    FShown = true;
    First_Show();
}

void Tfrm_Main::First_Show()
{
    File_Encripted = false;
    const QString folder = App_Folder();
    QDir().mkpath(folder + QStringLiteral("data"));
    QDir().mkpath(folder + QStringLiteral("user"));
    if (!Builtin_Languages_Exist()) {
        const QString error = Write_Builtin_Languages(false);
        if (!error.isEmpty())
            Show_Error(error);
    }
    Active_Local.Target_Lang.Name = QStringLiteral("Default");
    try {
        Load_Options();
    } catch (const TError &e) {
        Show_Error(e.message());
    }
    if (!Current_Options.Language_File.isEmpty()) {
        try {
            const QString message = Apply_Language_File(Current_Options.Language_File);
            if (!message.isEmpty())
                Show_Error(message, Translate(QString::fromLatin1(Localization_Error_Caption)));
        } catch (const TError &e) {
            Show_Error(e.message(), Translate(QString::fromLatin1(Localization_Error_Caption)));
        }
    }
    QCoreApplication::processEvents();
    Pre_Keyboard = FKeyboard->EnglishName();
    Localize();
    On_Start_File_Loded = false;
    FReady_For_Start_File = true;
    setWindowState(windowState() | Qt::WindowMaximized);
    // The maximising resizes the window, which opens the start-up archive; a window that
    // already had its full size gets no resize, so make sure here.
    Open_Start_Archive();
    if (Current_Options.Language.isEmpty() || Current_Options.Language == QLatin1String("Default")) {
        // after the window has appeared
        QTimer::singleShot(0, this, [this] {
            if (FLanguage_Dialog)
                FLanguage_Dialog();
        });
    }
}

void Tfrm_Main::Open_Start_Archive()
{
    if (!FReady_For_Start_File || On_Start_File_Loded)
        return;
    // Set first: opening lets events run, and a resize among them must not open it again.
    On_Start_File_Loded = true;
    const QString argument = FStart_File.trimmed();
    if (!argument.isEmpty())
        Open_Archive_File(argument);
    else if (Current_Options.Open_Last_Archive_On_Startup && !Current_Options.Last_Opened_Archive.isEmpty()
             && QFileInfo(Current_Options.Last_Opened_Archive).isFile())
        Open_Archive_File(Current_Options.Last_Opened_Archive);
}

void Tfrm_Main::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (FReady_For_Start_File && !On_Start_File_Loded)
        Open_Start_Archive();
    Place_Companion(frm_Options, 0);
    Place_Companion(frm_Help_Add, 15);
    trv->Place_Toolbar();
}

// ---------------------------------------------------------------------------------------
// Opening and closing

bool Tfrm_Main::Refuse_While_Busy()
{
    if (!Main_Is_Busy())
        return false;
    QApplication::beep();
    return true;
}

bool Tfrm_Main::Open_Archive_File(const QString &path)
{
    return Replace_Archive(path, false);
}

bool Tfrm_Main::Replace_Archive(const QString &path, bool ask)
{
    if (Refuse_While_Busy())
        return false;
    if (ask && !Close_Query())
        return false;

    const QString fullPath = QFileInfo(To_Native_Path(path)).absoluteFilePath();
    const bool compressed = Is_Compressed_Archive_Path(fullPath);
    std::unique_ptr<TArchive> loaded;
    QString error;
    {
        TMain_Busy_Scope busy;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            loaded = Load_Archive_File(fullPath, compressed, File_Encripted);
        } catch (const TError &e) {
            error = e.message();
        } catch (const std::exception &e) {
            error = QString::fromLocal8Bit(e.what());
        }
        QGuiApplication::restoreOverrideCursor();
    }
    if (!loaded) {
        // The archive that was open stays open, as it was.
        Show_Error(error.isEmpty() ? Translate(QStringLiteral("The file could not be read.")) : error);
        return false;
    }

    // A file without an archive in it reads as an empty archive without a path.
    const bool foreign = loaded->FilePath.isEmpty();
    if (foreign) {
        loaded->FilePath = fullPath;
        loaded->Compressed = compressed;
        loaded->Encripted = File_Encripted;
    }
    if (FArchive)
        Close_Archive(false);
    FForeign_File = foreign ? fullPath : QString();
    Install_Archive(std::move(loaded));
    Current_Options.Last_Opened_Archive = FArchive->FilePath;
    return true;
}

void Tfrm_Main::Install_Archive(std::unique_ptr<TArchive> archive)
{
    TMain_Busy_Scope busy;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    FArchive = std::move(archive);
    Current_Archive = FArchive.get();
    FileChanged = false;
    if (!FArchive->IsNew)
        FMonitor->setFileName(FArchive->FilePath);
    trv->Set_Archive(Current_Archive);
    QCoreApplication::processEvents();
    trv->Clear_Tree();
    trv->Build_Tree();
    QGuiApplication::restoreOverrideCursor();
    Update_Title();
}

bool Tfrm_Main::Close_Query()
{
    if (!FArchive)
        return true;
    FArchive->SetNeedSave(FNeed_To_Save);
    if (!FArchive->NeedSave())
        return true;
    const QString text = Format_Text(Translate(QStringLiteral("Do you want to save the changes\r\nyou made to %s ?|"
                                                              "Your changes will be lost if you don't save them.")),
                                     Name_Part(FArchive->FilePath));
    const QString buttons = Translate(QStringLiteral("Save")) + QLatin1Char(',') + Translate(QStringLiteral("Don't Save"))
                            + QLatin1Char(',') + Translate(QStringLiteral("Cancel"));
    const int answer = Yes_No_Cancel_Box(text, Translate(QString::fromLatin1(App_Title)), buttons, Local_Is_RTL());
    if (answer == IDYES)
        return SaveArchive();
    return answer == IDNO;
}

bool Tfrm_Main::Close_Archive(bool ask)
{
    if (Refuse_While_Busy())
        return false;
    // edits in a property panel are asked about first; the panels let go of the items
    if (ask && FProperty_Host && !FProperty_Host->Confirm_Pending_Edits(true))
        return false;
    if (ask && !Close_Query())
        return false;
    if (FProperty_Host)
        FProperty_Host->Archive_Closing();
    Set_Need_To_Save(false);
    trv->Clear_Tree();
    trv->Set_Archive(nullptr);
    trv->Place_Toolbar();
    Show_Selected_Item(nullptr);
    Current_Archive = nullptr;
    FArchive.reset();
    FForeign_File.clear();
    // The monitor goes on watching the file; its changes no longer concern anyone.
    FileChanged = false;
    Clear_Item_Counts();
    Update_Title();
    Current_Options.Last_Opened_Archive.clear();
    return true;
}

void Tfrm_Main::New_Archive_Command()
{
    if (Refuse_While_Busy())
        return;
    if (!Close_Archive(true))
        return;
    FForeign_File.clear();
    Install_Archive(New_Archive());
    if (QTreeWidgetItem *root = trv->topLevelItem(0))
        trv->expandRecursively(trv->indexFromItem(root));
}

void Tfrm_Main::Open_Archive_Command()
{
    if (Refuse_While_Busy())
        return;
    const QString folder = QFileInfo(Current_Options.Last_Opened_Archive).absolutePath();
    QString chosen;
    if (FOpen_Dialog) {
        chosen = FOpen_Dialog(folder);
    } else {
        QFileDialog dialog(this, Translate(QStringLiteral("Open Archive")), folder);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(QString::fromLatin1(Archive_Filter));
        dialog.setDefaultSuffix(QStringLiteral("arc"));
        if (dialog.exec() == QDialog::Accepted)
            chosen = dialog.selectedFiles().value(0);
    }
    if (chosen.isEmpty())
        return;
    Replace_Archive(chosen, true);
}

void Tfrm_Main::Revert_File_Command()
{
    if (!FArchive || Refuse_While_Busy())
        return;
    const QString path = FArchive->FilePath;
    if (FNeed_To_Save
        && !Is_Yes(Confirm_Box(Translate(QStringLiteral("Reload Archive from last saved copy and lose all changes?")),
                               Translate(QString::fromLatin1(App_Title)), Local_Is_RTL())))
        return;
    Replace_Archive(path, false);
}

void Tfrm_Main::Open_Dropped_Files(const QStringList &paths)
{
    // Only the first file counts; its extension decides only between compressed and plain.
    if (paths.isEmpty() || paths.first().isEmpty())
        return;
    if (Refuse_While_Busy())
        return;
    Replace_Archive(paths.first(), true);
}

void Tfrm_Main::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void Tfrm_Main::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    event->acceptProposedAction();
    // Answer the drag source first; the open asks questions and runs loops of its own.
    QTimer::singleShot(0, this, [this, paths] { Open_Dropped_Files(paths); });
}

void Tfrm_Main::closeEvent(QCloseEvent *event)
{
    if (Main_Is_Busy() || !Close_Query()) {
        event->ignore();
        return;
    }
    if (FArchive && !FArchive->IsNew)
        Current_Options.Last_Opened_Archive = FArchive->FilePath;
    QString reason;
    if (!Save_Options(&reason))
        Show_Error(reason, Translate(QStringLiteral("Save Failed")));
    if (!Pre_Keyboard.isEmpty())
        FKeyboard->SetEnglishName(Pre_Keyboard);
    event->accept();
}

// ---------------------------------------------------------------------------------------
// Saving

bool Tfrm_Main::Confirm_Overwrite_Of_Changed_File(const QString &path)
{
    if (!FileChanged || !Same_Path(path, FMonitor->FileName()))
        return true;
    const int answer = Warning_Confirm_Box(
        Translate(QStringLiteral("The archive file has been modified by another program.\r\n"
                                 "Do you want to save over those changes?"))
            + QLatin1String("\r|") + path,
        Translate(QString::fromLatin1(App_Title)), Local_Is_RTL());
    if (!Is_Yes(answer))
        return false;
    // Writing over the change answers the reload question too.
    FileChanged = false;
    return true;
}

bool Tfrm_Main::Confirm_Overwrite_Of_Foreign_File(const QString &path)
{
    if (!Same_Path(path, FForeign_File))
        return true;
    const int answer = Warning_Confirm_Box(
        Format_Text(Translate(QStringLiteral("%s does not hold an archive.|"
                                             "Saving replaces its content with this archive. Do you want to replace it?")),
                    Name_Part(path)),
        Translate(QString::fromLatin1(App_Title)), Local_Is_RTL());
    return Is_Yes(answer);
}

bool Tfrm_Main::Save_Archive_To(const QString &path)
{
    if (!FArchive)
        return false;
    if (!Confirm_Overwrite_Of_Changed_File(path) || !Confirm_Overwrite_Of_Foreign_File(path))
        return false;
    bool ok = false;
    try {
        ok = Save_Archive_File(*FArchive, path, Is_Compressed_Archive_Path(path), File_Encripted);
    } catch (const TError &e) {
        Show_Error(e.message(), Translate(QStringLiteral("Save Failed")));
    } catch (const std::exception &e) {
        Show_Error(QString::fromLocal8Bit(e.what()), Translate(QStringLiteral("Save Failed")));
    }
    FMonitor->reset();
    if (ok) {
        Set_Need_To_Save(false);
        FForeign_File.clear();
        Current_Options.Last_Opened_Archive = FArchive->FilePath;
    }
    return ok;
}

bool Tfrm_Main::Copy_Documents_Folder(const QString &from, const QString &to, QString &error)
{
    const QDir source(from);
    if (!QDir().mkpath(to)) {
        error = Format_Text(Translate(QStringLiteral("The folder %s could not be created.")), to);
        return false;
    }
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString entry = it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(entry);
        if (info.isDir()) {
            if (!QDir().mkpath(target)) {
                error = Format_Text(Translate(QStringLiteral("The folder %s could not be created.")), target);
                return false;
            }
            continue;
        }
        if (QFileInfo::exists(target)) {
            // A file of another archive is never replaced; the same file is simply kept.
            if (Same_File_Content(entry, target))
                continue;
            error = Format_Text(Translate(QStringLiteral("%s already exists with other content.")), target);
            return false;
        }
        if (!QFile::copy(entry, target)) {
            error = Format_Text(Translate(QStringLiteral("%s could not be copied.")), entry);
            return false;
        }
    }
    return true;
}

bool Tfrm_Main::Save_Archive_As()
{
    if (!FArchive)
        return false;
    TArchive &archive = *FArchive;
    const QString title = Translate(QString::fromLatin1(App_Title));

    QString folder;
    if (archive.IsNew) {
        const QString data = App_Folder() + QStringLiteral("data");
        if (QFileInfo(data).isDir())
            QDir::setCurrent(data);
        folder = data;
    } else {
        folder = QFileInfo(To_Native_Path(archive.FilePath)).absolutePath();
    }
    QString chosen;
    if (FSave_Dialog) {
        chosen = FSave_Dialog(folder, Name_Part(archive.FilePath));
    } else {
        QFileDialog dialog(this, Translate(QStringLiteral("Save As")), folder);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(QString::fromLatin1(Archive_Filter));
        dialog.setDefaultSuffix(QStringLiteral("arc"));
        dialog.setOption(QFileDialog::DontResolveSymlinks);
        dialog.selectFile(Name_Part(archive.FilePath));
        if (dialog.exec() == QDialog::Accepted)
            chosen = dialog.selectedFiles().value(0);
    }
    if (chosen.isEmpty())
        return false;
    chosen = QFileInfo(To_Native_Path(chosen)).absoluteFilePath();

    const QString newFolder = QFileInfo(chosen).absolutePath();
    const QString oldFolder =
        Folder_Part(archive.FilePath).isEmpty() ? QString() : QFileInfo(To_Native_Path(archive.FilePath)).absolutePath();
    QString target = chosen;
    if (oldFolder.isEmpty() || Clean_Absolute(newFolder) != Clean_Absolute(oldFolder)) {
        // Into another folder: the archive gets a folder of its own there, named after the
        // file, holding the file and its documents folder.
        const QString base = newFolder + QLatin1Char('/') + File_Title(chosen);
        target = base + QLatin1Char('/') + QFileInfo(chosen).fileName();
        const QString documents = base + QStringLiteral("/documents");
        const QString oldDocuments = archive.IsNew ? QString() : To_Native_Path(archive.Get_Documents_Database());
        const bool hasOldDocuments = !oldDocuments.isEmpty() && QFileInfo(oldDocuments).isDir();
        if (hasOldDocuments && Is_Within_Folder(base, oldDocuments)) {
            Show_Error(Translate(QStringLiteral("The archive cannot be saved inside its own documents folder.")) + QLatin1Char('|')
                       + oldDocuments);
            return false;
        }
        const bool sharedDocuments = hasOldDocuments && Same_Path(documents, oldDocuments);
        if (!Same_Path(target, archive.FilePath) && QFileInfo::exists(target)
            && !Is_Yes(Warning_Confirm_Box(
                Format_Text(Translate(QStringLiteral("%s already exists.|Do you want to replace it?")), target), title,
                Local_Is_RTL())))
            return false;
        if (!sharedDocuments && QFileInfo::exists(documents)
            && !Is_Yes(Warning_Confirm_Box(
                Format_Text(Translate(QStringLiteral("The folder %s already exists.|"
                                                     "Do you want to add the archive's documents to it?")),
                            documents),
                title, Local_Is_RTL())))
            return false;
        if (!QDir().mkpath(base)) {
            Show_Error(Format_Text(Translate(QStringLiteral("The folder %s could not be created.")), base),
                       Translate(QStringLiteral("Save Failed")));
            return false;
        }
        if (!sharedDocuments) {
            QString error;
            const bool ok = hasOldDocuments ? Copy_Documents_Folder(oldDocuments, documents, error) : QDir().mkpath(documents);
            if (!ok) {
                Show_Error(error.isEmpty() ? Format_Text(Translate(QStringLiteral("The folder %s could not be created.")),
                                                         documents)
                                           : error,
                           Translate(QStringLiteral("Save Failed")));
                return false;
            }
        }
    }

    const QString oldPath = archive.FilePath;
    const bool wasNew = archive.IsNew;
    if (!Save_Archive_To(target)) {
        archive.FilePath = oldPath;
        archive.IsNew = wasNew;
        return false;
    }
    Current_Options.Last_Opened_Archive = archive.FilePath;
    // From now on the file to watch is the one just written.
    FMonitor->setFileName(archive.FilePath);
    archive.IsNew = false;
    Update_Title();
    return true;
}

bool Tfrm_Main::SaveArchive()
{
    if (!FArchive)
        return false;
    if (FArchive->IsNew)
        return Save_Archive_As();
    return Save_Archive_To(FArchive->FilePath);
}

// ---------------------------------------------------------------------------------------
// Pending changes and the title

void Tfrm_Main::Set_Need_To_Save(bool value)
{
    FNeed_To_Save = value;
    if (FArchive)
        FArchive->SetNeedSave(value);
    FSave_Count = value ? FSave_Count + 1 : 0;
    Update_Save_Badge();
}

void Tfrm_Main::Update_Save_Badge()
{
    if (FNeed_To_Save) {
        lbl_Save_Count->setText(QString::number(FSave_Count));
        lbl_Save_Count->setVisible(true);
        lbl_Save_Count->raise();
    } else {
        lbl_Save_Count->setText(QStringLiteral("0"));
        lbl_Save_Count->setVisible(false);
    }
}

void Tfrm_Main::Update_Title()
{
    const QString path = FArchive ? FArchive->FilePath : QString();
    const QString title = Translate(QString::fromLatin1(App_Title));
    const QString hint = Translate_In_Context(QStringLiteral("Save"), QStringLiteral("hint"));
    if (!path.isEmpty()) {
        img_Save->setToolTip(hint + QLatin1Char('\n') + path);
        setWindowTitle(Name_Part(path) + QStringLiteral(" - ") + title);
    } else {
        img_Save->setToolTip(hint);
        setWindowTitle(title);
    }
    Update_Save_Badge();
    Update_Menus();
}

void Tfrm_Main::Update_Menus()
{
    const bool open = FArchive != nullptr;
    for (QAction *action : {mnu_Save, mnu_SaveAs, mnu_Revert_File, mnu_Close_Archive, mnu_Print, mnu_Find})
        action->setEnabled(open);
}

void Tfrm_Main::Show_Error(const QString &text, const QString &title)
{
    Msg_Box(text, title.isEmpty() ? Translate(QString::fromLatin1(App_Title)) : title, MB_OK | MB_ICONHAND | Rtl_Flags());
}

int Tfrm_Main::Rtl_Flags() const
{
    return Local_Is_RTL() ? (MB_RTLREADING | MB_RIGHT) : 0;
}

// ---------------------------------------------------------------------------------------
// The tree

void Tfrm_Main::Connect_Tree()
{
    connect(trv, &TArchive_Tree::Need_To_Save, this, [this] { Set_Need_To_Save(true); });
    connect(trv, &TArchive_Tree::Selected_Item_Changed, this, &Tfrm_Main::Show_Selected_Item);
    connect(trv, &TArchive_Tree::Item_Counts_Changed, this, &Tfrm_Main::Show_Item_Counts);
}

void Tfrm_Main::Show_Selected_Item(TArchItem *item)
{
    TDocument *document = dynamic_cast<TDocument *>(item);
    CurDocument = document;
    trv->Document_Menu()->menuAction()->setVisible(document != nullptr);
    if (FProperty_Host)
        FProperty_Host->Selection_Changed(item);
}

void Tfrm_Main::Show_Item_Counts(int documents, int subjects, int persons, int units, int files)
{
    // "#,###": grouped digits, nothing at all for zero
    const auto text = [](int n) { return n == 0 ? QString() : QLocale().toString(n); };
    lbl_Doc_Count->SetCaption(text(documents));
    lbl_Sub_Count->SetCaption(text(subjects));
    lbl_Persons_Count->SetCaption(text(persons));
    lbl_Units_Count->SetCaption(text(units));
    lbl_Files_Count->SetCaption(text(files));
}

void Tfrm_Main::Clear_Item_Counts()
{
    Show_Item_Counts(0, 0, 0, 0, 0);
}

void Tfrm_Main::Item_Changed(TArchItem *item)
{
    if (isVisible())
        trv->Update_Item(item);
    Set_Need_To_Save(true);
}

void Tfrm_Main::Select_Item(TArchItem *item)
{
    QTreeWidgetItem *node = trv->Locate_Item_Node(trv->Root_Node(), item);
    if (!node)
        return;
    trv->setCurrentItem(node);
    node->setExpanded(true);
}

// ---------------------------------------------------------------------------------------
// Changes made by other programs, activation

void Tfrm_Main::Archive_File_Changed()
{
    // With no archive open, or after a New Archive, the watched file is nobody's concern.
    if (!FArchive || FArchive->IsNew || !Same_Path(FMonitor->FileName(), FArchive->FilePath))
        return;
    FileChanged = true;
    if (!Main_Is_Busy() && QApplication::focusWidget() == this)
        Ask_Reload_Changed_File();
}

void Tfrm_Main::Ask_Reload_Changed_File()
{
    // A running loop works on this archive: the question waits until it has finished.
    if (Main_Is_Busy())
        return;
    FileChanged = false;
    if (!FArchive)
        return;
    const int answer = Warning_Confirm_Box(
        Translate(QStringLiteral("The archive file has been modified by another program.\r\nDo you want to reload it?"))
            + QLatin1String("\r|") + FArchive->FilePath,
        Translate(QString::fromLatin1(App_Title)), Local_Is_RTL());
    if (Is_Yes(answer))
        Revert_File_Command();
    FMonitor->reset();
}

void Tfrm_Main::Application_Activated()
{
    if (FileChanged)
        Ask_Reload_Changed_File();
}

void Tfrm_Main::Window_Activated()
{
    const QString layout = Active_Local.Target_Lang.Keyboard_Layout.trimmed();
    if (layout.isEmpty() || !FKeyboard)
        return;
    FKeyboard->SetEnglishName(layout);
    QCoreApplication::processEvents();
    FKeyboard->SetEnglishName(layout);
}

void Tfrm_Main::Busy_Ended()
{
    if (FileChanged && !Main_Is_Busy() && isActiveWindow())
        Ask_Reload_Changed_File();
}

void Tfrm_Main::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Window_Activated();
}

// ---------------------------------------------------------------------------------------
// Menu handlers

void Tfrm_Main::mnu_NewClick()
{
    New_Archive_Command();
}

void Tfrm_Main::mnu_OpenClick()
{
    Open_Archive_Command();
}

void Tfrm_Main::mnu_SaveClick()
{
    SaveArchive();
}

void Tfrm_Main::mnu_SaveAsClick()
{
    Save_Archive_As();
}

void Tfrm_Main::mnu_Revert_FileClick()
{
    Revert_File_Command();
}

void Tfrm_Main::mnu_Close_ArchiveClick()
{
    Close_Archive(true);
}

void Tfrm_Main::mnu_ExitClick()
{
    close();
}

void Tfrm_Main::img_SaveClick()
{
    SaveArchive();
}

void Tfrm_Main::mnu_PreferencesClick()
{
    if (frm_Options && frm_Options->isVisible())
        frm_Options->hide();
    else
        Show_Options();
}

void Tfrm_Main::mnu_How_ToClick()
{
    Toggle_Help_Card();
}

void Tfrm_Main::mnu_AboutClick()
{
    if (FAbout_Box)
        FAbout_Box();
}
