#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QAction;
class QSplitter;
class TArchive;
class TArchItem;
class TArchive_Tree;
class TFileMonitor;
class TKeyboardLayout;
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

    // The archive to open at start-up instead of the last one (the command line).
    void Set_Start_File(const QString &path);

    TArchive *Archive() const;
    TArchive_Tree *Tree() const;

    // Archive lifecycle
    bool Open_Archive_File(const QString &path); // false when reading failed (reported)
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
    void Toggle_Full_View();
    void Toggle_Help_Card();

    // Changes made to the file by other programs
    void Archive_File_Changed();
    void Ask_Reload_Changed_File();
    bool File_Changed() const { return FFileChanged; }

    // Called by the bridge functions
    void Item_Changed(TArchItem *item);
    void Select_Item(TArchItem *item);
    void Busy_Ended();
};
