#pragma once

// Free functions through which the panels, the find panel and the options windows reach the
// main window without depending on it. Each does nothing while no main window exists, so the
// windows can be built and tested on their own.

class TArchItem;
class TArchive;
class TVelPanel;

// The one open archive, owned by the main window; nullptr while none is open. Other
// windows only read it (they also get it in their Archive field when shown).
extern TArchive *Current_Archive;

void Control_Show_Find();
// Finds the item's node (loading its ancestors' children when needed), selects it and
// expands it one level.
void Control_Select_Item(TArchItem *item);
// A panel saved the item: the tree shows its new name and the archive needs saving.
void Control_Item_Changed(TArchItem *item);
// The item was renamed in the tree: the visible panel showing that item takes the new name.
void Control_Item_Name_Edited(TArchItem *item);
void Control_Close_Property();
// The Save command; false when nothing was saved (no archive, cancelled or failed).
bool Control_Save_Archive();
void Control_Localize_Main();

// Hover look of the flat buttons: colour from the panel's TextTag (an integer), white text,
// single border; Unhighlight_Button restores the colour in Tag and RGB(235,235,235) text.
void Highlight_Button(TVelPanel *panel);
void Unhighlight_Button(TVelPanel *panel);

// True while a loop that lets waiting events run is working on the archive (opening,
// building the tree, searching, building pages). Commands that would close the archive or
// delete items refuse or wait while it holds.
bool Main_Is_Busy();

// Marks such a loop for its lifetime; nests.
class TMain_Busy_Scope
{
public:
    TMain_Busy_Scope();
    ~TMain_Busy_Scope();
    TMain_Busy_Scope(const TMain_Busy_Scope &) = delete;
    TMain_Busy_Scope &operator=(const TMain_Busy_Scope &) = delete;
};
