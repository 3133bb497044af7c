#pragma once

#include <QWidget>

class QCheckBox;
class QListWidget;
class QListWidgetItem;
class TArchItem;
class TArchive;
class TVelEdit;
class TVelLabel;
class TVelPanel;

// The find panel: runs the archive's searches one after another, lists every hit by name
// and selects a clicked hit in the tree. The main window docks it into its property host.
class Tfrm_Find : public QWidget
{
    Q_OBJECT

public:
    explicit Tfrm_Find(QWidget *parent = nullptr);

    // The archive to search; none while no archive is open (searching then does nothing).
    TArchive *Archive = nullptr;

    void Localize();
    // Empties the text and the results; the main window calls it when the archive closes.
    void Clear();
    // Rebuilds the archive's flat lists now (showing the panel does it).
    void Refill_Lists();

    // For the host and the tests
    TVelEdit *Find_Field() const { return txt_Find; }
    TVelPanel *Find_Button() const { return bt_Find; }
    QCheckBox *Titles_Only() const { return chk_Titles_Only; }
    QListWidget *Result_List() const { return lst_Result; }
    TVelPanel *Header() const { return VelPanel1; }
    TArchItem *Result_Item(int row) const;
    // The same as clicking the entry of that row.
    void Select_Result(int row);
    void Run_Search();

signals:
    // A hit was clicked; the tree is asked to select it right after.
    void Item_Chosen(TArchItem *item);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Clear_Results();
    void Add_Result(TArchItem *item);
    // After the tree changed: the lists are filled again and hits that are no longer in the
    // tree leave the result list.
    void Bring_Lists_Up_To_Date();
    void lst_ResultClick(QListWidgetItem *entry);

    TVelPanel *VelPanel1 = nullptr;
    TVelLabel *Image1 = nullptr;
    TVelLabel *lbl_Search = nullptr;
    QWidget *pnl = nullptr;
    TVelLabel *lbl_Find_Text = nullptr;
    TVelEdit *txt_Find = nullptr;
    TVelPanel *bt_Find = nullptr;
    QCheckBox *chk_Titles_Only = nullptr;
    TVelLabel *lbl_Results = nullptr;
    QWidget *pnl_Result = nullptr;
    QListWidget *lst_Result = nullptr;

    // Which archive the lists were filled for, and the change stamp they were filled at.
    const TArchive *FLists_Archive = nullptr;
    quint64 FLists_Stamp = 0;
    bool FSearching = false;
};
