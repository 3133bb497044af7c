#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class TArchItem;
class TArchive;
class TArchive_Tree;
class TDocument;
class TFileMonitor;
class TKeyboardLayout;
class TProperty_Host;
class TVelLabel;
class TVelPanel;

// The main window: owns the one open archive and carries the commands that act on the
// archive as a whole, the side bar, the status bar and the regions the companion windows
// are shown in.
class Tfrm_Main : public QMainWindow
{
    Q_OBJECT

public:
    explicit Tfrm_Main(QWidget *parent = nullptr);
    ~Tfrm_Main() override;

    // The one main window of the process, or nullptr.
    static Tfrm_Main *Instance();

    // File dialogs, replaceable so that tests answer them without a modal loop. Each
    // returns the chosen path, empty when cancelled.
    using TOpen_Dialog = std::function<QString(const QString &folder)>;
    using TSave_Dialog = std::function<QString(const QString &folder, const QString &file_name)>;
    void Set_Open_Dialog(TOpen_Dialog dialog);
    void Set_Save_Dialog(TSave_Dialog dialog);
    // The modal language dialog shown at start-up while no language is chosen.
    void Set_Language_Dialog(std::function<void()> dialog);
    // Companion windows shown inside the main window; each may be missing.
    void Set_Options_Panel(QWidget *panel);
    void Set_Help_Card(QWidget *card);
    void Set_About_Box(std::function<void()> show_modal);

    // The archive to open at start-up instead of the last one (the command line).
    void Set_Start_File(const QString &path);
    bool Start_File_Loaded() const { return On_Start_File_Loded; }

    TArchive *Archive() const { return FArchive.get(); }
    TArchive_Tree *Tree() const { return trv; }
    TFileMonitor *Monitor() const { return FMonitor; }
    TKeyboardLayout *Keyboard() const { return FKeyboard.get(); }
    // Replaces the keyboard component (tests use one over a scripted backend).
    void Set_Keyboard(std::unique_ptr<TKeyboardLayout> keyboard);
    TDocument *Current_Document() const { return CurDocument; }
    // The property host with the document, person and unit panels and the find panel.
    TProperty_Host *Properties() const { return FProperty_Host; }

    // Archive lifecycle. Every failure is shown to the user in a message box.
    // Reads the file and shows it in place of the open archive (which the caller has asked
    // about); a file that cannot be read leaves the open archive as it was.
    bool Open_Archive_File(const QString &path);
    bool Save_Archive_To(const QString &path);
    bool Save_Archive_As();
    bool SaveArchive();
    bool Close_Query();
    bool Close_Archive(bool ask);
    void New_Archive_Command();
    void Open_Archive_Command();
    void Revert_File_Command();
    void Open_Dropped_Files(const QStringList &paths);

    bool Need_To_Save() const { return FNeed_To_Save; }
    void Set_Need_To_Save(bool value);
    int Save_Count() const { return FSave_Count; }
    void Update_Title();
    void Update_Save_Badge();

    // Layout and languages
    void Localize();
    void Arrange_Panels();
    void Set_Tree_Mirrored(bool on);
    bool Full_View() const { return FFull_View; }
    void Toggle_Full_View();
    void Toggle_Help_Card();
    void Show_Options();

    // Changes made to the file by other programs
    void Archive_File_Changed();
    void Ask_Reload_Changed_File();
    bool File_Changed() const { return FileChanged; }
    // The application became the active one again.
    void Application_Activated();
    // The main window itself was activated.
    void Window_Activated();

    // Reached through the bridge functions
    void Item_Changed(TArchItem *item);
    void Select_Item(TArchItem *item);
    // The last loop that let events run has finished; questions held back are asked now.
    void Busy_Ended();

    // Controls, for the bridge, the companion windows and the tests
    TVelPanel *Side_Bar() const { return pnl_Side_Bar; }
    TVelPanel *Status_Bar() const { return pnl_Status; }
    TVelPanel *Full_View_Panel() const { return pnl_Full_View; }
    TVelPanel *Property_Host() const { return pnl_Property_Host; }
    QWidget *Preview_Area() const { return pnl_Prv; }
    QLabel *Save_Image() const { return img_Save; }
    QLabel *Save_Badge() const { return lbl_Save_Count; }
    QSplitter *Tree_Splitter() const { return splt_Tree; }
    // The status bar's count labels in design order: documents, files, subjects,
    // persons, sections; and their caption labels in the same order.
    QList<TVelLabel *> Count_Labels() const;
    QList<TVelLabel *> Count_Caption_Labels() const;
    QMenu *File_Menu() const { return mnu_File; }
    QAction *Action(const QString &name) const;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Building the window
    void Create_Layout();
    void Create_Side_Bar();
    void Create_Status_Bar();
    void Create_Menus();
    void Connect_Tree();
    QAction *Add_Menu_Action(QMenu *menu, const char *name, void (Tfrm_Main::*slot)(),
                             const QKeySequence &shortcut = {});

    void First_Show();
    void Open_Start_Archive();
    bool Replace_Archive(const QString &path, bool ask);
    void Install_Archive(std::unique_ptr<TArchive> archive);
    bool Copy_Documents_Folder(const QString &from, const QString &to, QString &error);
    bool Confirm_Overwrite_Of_Foreign_File(const QString &path);
    bool Confirm_Overwrite_Of_Changed_File(const QString &path);
    void Show_Error(const QString &text, const QString &title = {});
    int Rtl_Flags() const;
    bool Refuse_While_Busy();

    void Show_Selected_Item(TArchItem *item);
    void Show_Item_Counts(int documents, int subjects, int persons, int units, int files);
    void Clear_Item_Counts();
    void Update_Menus();
    void Place_Companion(QWidget *window, int inset);
    void Place_Save_Badge();
    void Set_Tree_Font_Direction(bool rtl);

    // Menu handlers
    void mnu_NewClick();
    void mnu_OpenClick();
    void mnu_SaveClick();
    void mnu_SaveAsClick();
    void mnu_Revert_FileClick();
    void mnu_Close_ArchiveClick();
    void mnu_ExitClick();
    void mnu_PreferencesClick();
    void mnu_How_ToClick();
    void mnu_AboutClick();
    void img_SaveClick();

    // State, in the order the window keeps it
    bool File_Encripted = false;
    int FSave_Count = 0;
    bool FNeed_To_Save = false;
    QString Pre_Keyboard;
    TDocument *CurDocument = nullptr;
    bool On_Start_File_Loded = false;
    bool FileChanged = false;
    Qt::WindowStates Window_Last_State = Qt::WindowNoState;
    TFileMonitor *FMonitor = nullptr;
    TProperty_Host *FProperty_Host = nullptr;

    std::unique_ptr<TArchive> FArchive;
    std::unique_ptr<TKeyboardLayout> FKeyboard;
    // A file that held no archive when it was opened: saving over it asks first.
    QString FForeign_File;
    QString FStart_File;
    bool FShown = false;
    bool FReady_For_Start_File = false;
    bool FFull_View = false;
    // Whether the tree's font carries the right-to-left enlargement.
    bool FTree_Font_RTL = false;

    TOpen_Dialog FOpen_Dialog;
    TSave_Dialog FSave_Dialog;
    std::function<void()> FLanguage_Dialog;
    std::function<void()> FAbout_Box;
    QWidget *frm_Options = nullptr;
    QWidget *frm_Help_Add = nullptr;

    // Regions
    TVelPanel *pnl_Side_Bar = nullptr;
    TArchive_Tree *trv = nullptr;
    QSplitter *splt_Tree = nullptr;
    TVelPanel *pnl_Property_Host = nullptr;
    TVelPanel *pnl_Properties = nullptr;
    TVelLabel *lbl_Properties = nullptr;
    QWidget *pnl_Prv = nullptr;
    TVelPanel *pnl_Status = nullptr;

    // Side bar
    QLabel *img_Save = nullptr;
    QLabel *lbl_Save_Count = nullptr;
    QLabel *img_Property = nullptr;
    QLabel *img_Find = nullptr;
    QPixmap img_Save_on, img_Save_off, img_Property_On, img_Property_off, img_Find_on, img_Find_off;

    // Status bar
    TVelLabel *lbl_Docs = nullptr;
    TVelLabel *lbl_Doc_Count = nullptr;
    TVelLabel *lbl_Files = nullptr;
    TVelLabel *lbl_Files_Count = nullptr;
    TVelLabel *lbl_Subs = nullptr;
    TVelLabel *lbl_Sub_Count = nullptr;
    TVelLabel *lbl_Persons = nullptr;
    TVelLabel *lbl_Persons_Count = nullptr;
    TVelLabel *lbl_Units = nullptr;
    TVelLabel *lbl_Units_Count = nullptr;
    TVelPanel *pnl_Full_View = nullptr;

    // Main menu
    QMenu *mnu_File = nullptr;
    QAction *mnu_New = nullptr;
    QAction *mnu_Open = nullptr;
    QAction *mnu_Save = nullptr;
    QAction *mnu_SaveAs = nullptr;
    QAction *mnu_Printer_Setup = nullptr;
    QAction *mnu_Print = nullptr;
    QAction *mnu_Preferences = nullptr;
    QAction *mnu_Revert_File = nullptr;
    QAction *mnu_Close_Archive = nullptr;
    QAction *mnu_Exit = nullptr;
    QMenu *mnu_Edit = nullptr;
    QAction *mnu_Find = nullptr;
    QMenu *mnu_View = nullptr;
    QMenu *mnu_Help = nullptr;
    QAction *mnu_How_To = nullptr;
    QAction *mnu_About = nullptr;
    QAction *act_Help_Key = nullptr;
    QAction *act_Full_View_Key = nullptr;
    QAction *act_Leave_Full_View = nullptr;
};
