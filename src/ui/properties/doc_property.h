#pragma once

#include <QStringList>

#include <functional>

#include "ui/properties/property_panel.h"

class QAction;
class QCheckBox;
class QMenu;
class QRadioButton;
class QScrollArea;
class TDoc_File_List;
class Tfrm_Cal;
class TDocument;
class TVelCustomMemo;
class TVelLabel;

// Editor of one document: title, reference, dates, mail information, physical location,
// description, keywords and the list of attached files. Edits reach the document on OK;
// the files are then copied into the documents store and the archive is saved at once.
class Tfrm_Doc_Property : public TProperty_Panel
{
    Q_OBJECT

public:
    explicit Tfrm_Doc_Property(QWidget *parent = nullptr);
    ~Tfrm_Doc_Property() override;

    TDocument *Document() const { return FDocument; }
    void SetDocument(TDocument *document);

    TArchItem *Item() const override;
    bool Save_Item() override;
    void Localize() override;

    // Lets the user choose files to add (clicking the files label, or the main window's
    // Assign Document Files command).
    void Assign_Files();
    void Add_File(const QString &path);
    // Asks, then removes the selected entries; the files stay in the store.
    void Exclude_Files();
    void Arrange_Controls();
    // The store folder of the document's files: the folder of the first listed file that
    // lies in the store; empty when none does.
    QString Find_Document_Folder() const;
    // The full path of a list entry's file.
    QString Entry_Path(int row) const;

    bool Files_Changed() const { return FFiles_Changed; }
    bool Files_Order_Changed() const { return FFiles_Order_Changed; }

    // The file-choosing dialog and the archive save, replaceable for tests.
    using TFiles_Dialog = std::function<QStringList(const QString &folder, const QString &title, const QString &filter)>;
    void Set_Files_Dialog(TFiles_Dialog dialog) { FFiles_Dialog = std::move(dialog); }
    void Set_Save_Archive(std::function<bool()> save) { FSave_Archive = std::move(save); }
    // Shows the date picker bound to a date field; none shows nothing.
    void Set_Date_Picker(std::function<void(TVelCustomMemo *field)> picker) { FDate_Picker = std::move(picker); }

    // Controls, for the host and the tests
    // The date picker the panel opens on its date fields (none before the first opening).
    Tfrm_Cal *Calendar() const { return FCalendar; }
    TVelEdit *Reference_Field() const { return txt_Reference; }
    TVelEdit *Document_Date_Field() const { return txt_Document_Date; }
    TVelEdit *Delivery_Date_Field() const { return txt_Delivery_date; }
    TVelEdit *From_Field() const { return txt_From; }
    TVelEdit *To_Field() const { return txt_To; }
    TVelEdit *Location_Field() const { return txt_Location_Physical; }
    TVelCustomMemo *Description_Field() const { return txt_Description; }
    TVelCustomMemo *Keywords_Field() const { return txt_Keywords; }
    QCheckBox *Is_Mail_Box() const { return chk_IsMail; }
    QRadioButton *Internal_Button() const { return rb_Internal; }
    QRadioButton *External_Button() const { return rb_External; }
    TVelLabel *Is_Mail_Label() const { return lbl_IsMail; }
    TVelLabel *Internal_Label() const { return lbl_Internal; }
    TVelLabel *External_Label() const { return lbl_External; }
    TVelLabel *Files_Label() const { return lbl_Files; }
    TVelLabel *Mail_Info_Button() const { return bt_Mail_Info; }
    TVelLabel *Other_Info_Button() const { return bt_Other_Info; }
    QWidget *Mail_Info_Panel() const { return pnl_Mail_Info; }
    QWidget *Other_Info_Panel() const { return pnl_Other_Info; }
    TDoc_File_List *File_List() const { return lst_Files; }
    QMenu *List_Menu() const { return pop_List; }
    QScrollArea *Scroll_Box() const { return ScrollBox1; }
    // Fills in the keywords proposed from the title and the description.
    void Propose_Keywords();
    // Runs the list's popup rules as if it were about to open.
    void Update_List_Menu();

signals:
    // Calls into the page preview: the document's pages, a file's page, and dropping the
    // pages of an excluded file.
    void Show_Document_Requested(TDocument *document);
    void Locate_Page_Requested(const QString &path);
    void Delete_Page_Requested(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Build_Controls();
    void Show_Files();
    bool Save_Files();
    bool Save_Document();
    void Apply_Mail_Check();
    void Set_Mail_Kind(int kind);
    void Date_Changed(TVelEdit *field);
    void Pick_Date(TVelCustomMemo *field);
    void Files_Edited(bool order);
    void Open_Current();
    void Open_Current_In_Browser();
    void Locate_Current();
    bool Save_Archive();

    TDocument *FDocument = nullptr;
    bool FFiles_Changed = false;
    bool FFiles_Order_Changed = false;
    bool FDate_Filtering = false;
    TFiles_Dialog FFiles_Dialog;
    std::function<bool()> FSave_Archive;
    std::function<void(TVelCustomMemo *)> FDate_Picker;
    Tfrm_Cal *FCalendar = nullptr;

    QScrollArea *ScrollBox1 = nullptr;
    QWidget *pnl_Content = nullptr;
    TVelLabel *lbl_Name = nullptr;
    TVelLabel *lbl_Reference = nullptr;
    TVelEdit *txt_Reference = nullptr;
    TVelLabel *lbl_Document_Date = nullptr;
    TVelEdit *txt_Document_Date = nullptr;
    TVelPanel *VelPanel2 = nullptr;
    TVelLabel *lbl_Description = nullptr;
    TVelCustomMemo *txt_Description = nullptr;
    TVelLabel *lbl_Keywords = nullptr;
    TVelCustomMemo *txt_Keywords = nullptr;
    TVelLabel *lbl_Files = nullptr;
    TDoc_File_List *lst_Files = nullptr;
    TVelLabel *bt_Mail_Info = nullptr;
    TVelLabel *bt_Other_Info = nullptr;
    QWidget *pnl_Mail_Info = nullptr;
    QCheckBox *chk_IsMail = nullptr;
    TVelLabel *lbl_IsMail = nullptr;
    QRadioButton *rb_Internal = nullptr;
    QRadioButton *rb_External = nullptr;
    TVelLabel *lbl_Internal = nullptr;
    TVelLabel *lbl_External = nullptr;
    TVelLabel *lbl_From = nullptr;
    TVelEdit *txt_From = nullptr;
    TVelLabel *lbl_To = nullptr;
    TVelEdit *txt_To = nullptr;
    TVelLabel *lbl_Delivery_date = nullptr;
    TVelEdit *txt_Delivery_date = nullptr;
    TVelPanel *VelPanel3 = nullptr;
    QWidget *pnl_Other_Info = nullptr;
    TVelLabel *lbl_Location_Physical = nullptr;
    TVelEdit *txt_Location_Physical = nullptr;
    QWidget *lbl_Dummy = nullptr;
    QMenu *pop_List = nullptr;
    QAction *mnu_Open_In_Browser = nullptr;
    QAction *mnu_Open = nullptr;
    QAction *mnu_Exclude_Files = nullptr;
};
