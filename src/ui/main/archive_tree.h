#pragma once

#include <QHash>
#include <QTreeWidget>

#include <functional>

#include "ui/main/tree_rules.h"

class QAction;
class QMenu;
class QToolButton;
class TArchItem;
class TArchive;
class TDocArchive;
class TDocument;
class TPerson;
class TSubject;
class TTree_Node;
class TUnit;

// The tree of the open archive and the commands that edit it through the tree: building,
// loading folders on expansion, drawing, finding nodes, counts, zoom, adding, renaming,
// deleting, drag and drop, its keys, the popup menu pop_Tree, the main menu's mnu_Document
// and the floating toolbar pnl_Toolbar.
//
// Every node refers to one item (never owned); an index from item to node is kept by the
// nodes themselves, so it stays right however nodes come and go.
class TArchive_Tree : public QTreeWidget
{
    Q_OBJECT

public:
    // The data role under which a node gives its item, as a TArchItem* in a void*.
    static constexpr int Item_Role = Qt::UserRole + 1;

    explicit TArchive_Tree(QWidget *parent = nullptr);
    ~TArchive_Tree() override;

    // What Build_Tree shows; nullptr, together with Clear_Tree, when the archive is closed.
    void Set_Archive(TArchive *archive);
    TArchive *Archive() const { return FArchive; }

    // Building
    void Clear_Tree();
    void Build_Tree();
    void Add_Unit_Nodes(QTreeWidgetItem *parent, TUnit *unit, bool add_self);
    void Add_Document_Nodes(QTreeWidgetItem *parent, TDocument *document, bool add_self);
    void Add_Person_Nodes(QTreeWidgetItem *node, TPerson *person);
    void Add_Subject_Node(QTreeWidgetItem *parent, TSubject *subject);
    void Add_Folder_Node(QTreeWidgetItem *parent, TDocArchive *folder);

    // Finding nodes
    TArchItem *Item_Of_Node(QTreeWidgetItem *node) const;
    TNode_Kind Kind_Of_Node(QTreeWidgetItem *node) const;
    QTreeWidgetItem *Node_Of_Item(TArchItem *item) const;
    // Depth-first over the loaded nodes under node (the root when node is null).
    QTreeWidgetItem *Find_Node_Under(QTreeWidgetItem *node, TArchItem *item) const;
    // First direct child whose item is of that kind.
    QTreeWidgetItem *Child_Node_Of_Kind(QTreeWidgetItem *node, TNode_Kind kind) const;
    // Like Find_Node_Under, but loads the children of the item's ancestors on the way.
    QTreeWidgetItem *Locate_Item_Node(QTreeWidgetItem *start, TArchItem *item);
    QTreeWidgetItem *Root_Node() const;
    // Whether the node's children were loaded (or it never has any to load).
    bool Is_Loaded(QTreeWidgetItem *node) const;
    // Loads the node's children from the archive when they were never loaded.
    void Ensure_Loaded(QTreeWidgetItem *node);

    // The node of item shows its Name as stored; nothing when no node shows it.
    void Update_Item(TArchItem *item);
    // Reloads the selected node's children from the archive (F5, Refresh).
    void Refresh_Selected_Node();
    // Font size in points, limited to 6..24 (Ctrl with plus and minus).
    void Set_Tree_Zoom(int size);
    int Tree_Zoom() const { return FTreeZoom; }
    void Retranslate_Folder_Nodes();
    // Captions of the menus and the toolbar's hints, the menus' direction, the folder
    // nodes' texts. Running it twice changes nothing.
    void Localize();

    QMenu *Tree_Menu() const { return pop_Tree; }
    QMenu *Document_Menu() const { return mnu_Document; }
    QWidget *Toolbar() const { return pnl_Toolbar; }
    // Positions the toolbar over the tree's top edge and chooses its buttons for the
    // selected node; run after every selection change and resize.
    void Place_Toolbar();
    // The popup's items for the selected node, as when it opens.
    void Update_Tree_Menu();

    // Editing commands on a node and its item. The add commands return the new node (null
    // when nothing was added) and leave it selected with its text being edited.
    QTreeWidgetItem *Add_Document(QTreeWidgetItem *node);
    QTreeWidgetItem *Add_Documents_Group(QTreeWidgetItem *node);
    QTreeWidgetItem *Add_Person(QTreeWidgetItem *node);
    QTreeWidgetItem *Add_Subject(QTreeWidgetItem *node);
    QTreeWidgetItem *Add_Unit(QTreeWidgetItem *node);
    void Assign_Document_Files(QTreeWidgetItem *node);
    void Insert_By_Keys(QTreeWidgetItem *node, Qt::KeyboardModifiers modifiers);
    // True when the node and its item were removed.
    bool Delete_Node(QTreeWidgetItem *node);
    // Starts editing the node's text in place (not for persons group nodes).
    void Edit_Node(QTreeWidgetItem *node);
    bool Is_Editing() const { return state() == QAbstractItemView::EditingState; }
    // What a confirmed in-place edit does with text.
    void Node_Text_Edited(QTreeWidgetItem *node, const QString &text);

    // Drag and drop of the selected nodes, without a real drag: whether target accepts the
    // current node, and the drop itself.
    bool Drop_Accepted(QTreeWidgetItem *target) const;
    void Drop_Nodes(QTreeWidgetItem *target);

    // Commands whose windows are built elsewhere stay hidden until these make them
    // available; they then raise the *_Requested signals below.
    void Set_Properties_Available(bool on);
    void Set_Assign_Files_Available(bool on);
    void Set_Document_Output_Available(bool on);
    // Whether the preview holds at least one page (enables Print and the two saves).
    void Set_Preview_Has_Pages(std::function<bool()> query);

signals:
    // Raised on every change the tree makes to the archive (once per change).
    void Need_To_Save();
    // After every change of the current node (nullptr when none).
    void Selected_Item_Changed(TArchItem *item);
    // The selected item's counts for the status bar (all zero when none; see item_counts.h).
    void Item_Counts_Changed(int documents, int subjects, int persons, int units, int files);
    // An item's name was edited in the tree (after Control_Item_Name_Edited was told).
    void Item_Renamed(TArchItem *item);

    void Properties_Requested(TArchItem *item);
    void Assign_Files_Requested(TDocument *document);
    void Print_Requested(TDocument *document);
    void Save_As_PDF_Requested(TDocument *document);
    void Save_As_Tif_Requested(TDocument *document);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const override;

private:
    friend class TTree_Node;

    TTree_Node *New_Node(TArchItem *item, const QString &text);
    void Register_Node(TTree_Node *node);
    void Forget_Node(TTree_Node *node);
    void Delete_Children(QTreeWidgetItem *node);
    void Load_Children(QTreeWidgetItem *node);
    // Opens, one level, every unit node below node that shows subunits, persons or its folder.
    void Open_Units(QTreeWidgetItem *node);
    void Node_Expanded(QTreeWidgetItem *node);
    void Current_Changed(QTreeWidgetItem *current);
    void Limit_Selection();
    void Show_Item_Counts(TArchItem *item);
    void Clear_Item_Counts();
    QTreeWidgetItem *Selected_Node() const;
    QTreeWidgetItem *Finish_Add(QTreeWidgetItem *node, TArchItem *item, const QString &text);
    void Drop_Person(QTreeWidgetItem *dragged, QTreeWidgetItem *target);
    void Drop_Persons_Group(QTreeWidgetItem *dragged, QTreeWidgetItem *target);
    void Drop_Into(QTreeWidgetItem *dragged, QTreeWidgetItem *target);
    void Create_Menus();
    void Create_Toolbar();
    QAction *Add_Action(QMenu *menu, const char *name, void (TArchive_Tree::*slot)());

    // Menu and button handlers, each on the selected node
    void mnu_Edit_NodeClick();
    void mnu_Add_UnitClick();
    void mnu_Add_PersonClick();
    void mnu_Add_SubjectClick();
    void mnu_Assign_FilesClick();
    void mnu_Add_DocumentClick();
    void mnu_Add_Documents_GroupClick();
    void mnu_DeleteClick();
    void mnu_Print_DocClick();
    void mnu_Save_As_PDFClick();
    void mnu_Save_As_TifClick();
    void mnu_RefreshClick();
    void mnu_PropertyClick();
    void bt_MoreClick();

    TArchive *FArchive = nullptr;
    QMultiHash<const TArchItem *, TTree_Node *> FNodes;
    bool FClearing = false;
    int FTreeZoom = 14;
    bool FProperties_Available = false;
    bool FAssign_Files_Available = false;
    bool FDocument_Output_Available = false;
    std::function<bool()> FPreview_Has_Pages;

    QMenu *pop_Tree = nullptr;
    QAction *mnu_Edit_Node = nullptr;
    QAction *mnu_Add_Unit = nullptr;
    QAction *mnu_Add_Person = nullptr;
    QAction *mnu_Add_Subject = nullptr;
    QAction *mnu_Assign_Files = nullptr;
    QAction *mnu_Add_Document = nullptr;
    QAction *mnu_Add_Group = nullptr;
    QAction *mnu_Add_Persons_Group = nullptr;
    QAction *mnu_Add_Documents_Group = nullptr;
    QAction *mnu_Delete_Separator = nullptr;
    QAction *mnu_Delete = nullptr;
    QAction *mnu_Print_Doc = nullptr;
    QAction *mnu_Save_As_PDF = nullptr;
    QAction *mnu_Save_As_Tif = nullptr;
    QAction *mnu_Refresh = nullptr;
    QAction *mnu_Property = nullptr;

    QMenu *mnu_Document = nullptr;
    QAction *mnu_Doc_Edit = nullptr;
    QAction *mnu_Main_Assign_Files = nullptr;
    QAction *mnu_Main_Add_Document = nullptr;
    QAction *mnu_Main_Delete = nullptr;
    QAction *mnu_Main_Print = nullptr;
    QAction *mnu_Main_Save_As_PDF = nullptr;
    QAction *mnu_Main_Save_As_Tif = nullptr;
    QAction *mnu_Main_Refresh = nullptr;
    QAction *mnu_Main_Doc_Property = nullptr;

    QWidget *pnl_Toolbar = nullptr;
    QToolButton *bt_Add_Archive = nullptr;
    QToolButton *bt_Add_Document = nullptr;
    QToolButton *bt_Add_Files = nullptr;
    QToolButton *bt_More = nullptr;
};
