#pragma once

#include <QObject>
#include <QPixmap>

class QLabel;
class QSplitter;
class QWidget;
class TArchItem;
class TArchive;
class TArchive_Tree;
class TDocument;
class TProperty_Panel;
class TVelPanel;
class Tfrm_Doc_Property;
class Tfrm_Find;
class Tfrm_Person_Property;
class Tfrm_Unit_Property;

// The parts of the main window the property host works in.
struct TProperty_Host_Parts
{
    TVelPanel *Host = nullptr;   // pnl_Property_Host, with a vertical box layout
    TVelPanel *Header = nullptr; // pnl_Properties, the first item of that layout
    QLabel *Property_Image = nullptr;
    QPixmap Property_On, Property_Off;
    QLabel *Find_Image = nullptr;
    QPixmap Find_On, Find_Off;
    TArchive_Tree *Tree = nullptr;
};

// The region between the tree and the preview in which the document, person and unit panels
// and the find panel are shown; the Properties and Find commands that open and close it.
class TProperty_Host : public QObject
{
    Q_OBJECT

public:
    explicit TProperty_Host(const TProperty_Host_Parts &parts, QObject *parent = nullptr);
    ~TProperty_Host() override;

    // The host of the main window, or nullptr; the bridge functions reach it through this.
    static TProperty_Host *Instance();

    // The Properties command, for the selected item (none when no node is selected).
    void Toggle_Properties(TArchItem *selected);
    void Show_Property_For(TArchItem *item);
    void Close_Property();
    bool Property_Form_Visible() const;
    void Arrange_Find_Split();
    bool Command_Active() const;

    // The Find command: shows or hides the find panel.
    void Show_Find();
    bool Find_Visible() const;

    // The tree's selection changed: an open panel follows it.
    void Selection_Changed(TArchItem *item);
    // An item was renamed in the tree.
    void Item_Name_Edited(TArchItem *item);
    // Assign Document Files: opens the document panel when needed and lets the user choose.
    void Assign_Document_Files(TDocument *document);
    // Edits in a panel that OK has not written yet: asks whether to save them. With
    // can_cancel the question offers Cancel, and false means the caller must not go on.
    bool Confirm_Pending_Edits(bool can_cancel);
    // The archive is about to close: the panels let go of its items, the find panel is
    // cleared and hidden, the host closes.
    void Archive_Closing();
    void Localize();

    Tfrm_Doc_Property *Doc_Panel() const { return frm_Doc_Property; }
    Tfrm_Person_Property *Person_Panel() const { return frm_Person_Property; }
    Tfrm_Unit_Property *Unit_Panel() const { return frm_Unit_Property; }
    Tfrm_Find *Find_Panel() const { return frm_Find; }
    QSplitter *Splitter() const { return splt; }
    TProperty_Panel *Visible_Panel() const;

signals:
    // The host was shown or hidden, or its parts changed place: the main window arranges
    // its regions.
    void Layout_Changed();

private:
    QList<TProperty_Panel *> Panels() const;
    void Hide_Panels(TProperty_Panel *except = nullptr);
    void Set_Command(bool active);
    void Update_Header();
    void Show_Panel(TProperty_Panel *panel);

    TProperty_Host_Parts P;
    QSplitter *splt = nullptr;
    QWidget *pnl_Forms = nullptr;
    Tfrm_Doc_Property *frm_Doc_Property = nullptr;
    Tfrm_Person_Property *frm_Person_Property = nullptr;
    Tfrm_Unit_Property *frm_Unit_Property = nullptr;
    Tfrm_Find *frm_Find = nullptr;
    bool FCommand_Active = false;
};

// Whether the item is still part of the archive's tree (only addresses are compared).
bool Archive_Holds_Item(const TArchive *archive, const TArchItem *item);
