#pragma once

#include "archive/tarchitem.h"

// What the tree's commands may do with which pair of items, apart from any widget.

// Item kinds as the tree tells them apart; a TGroup is a documents group.
enum class TNode_Kind { None, Archive, Unit, Persons_Group, Person, Subject, Documents_Group, Document };

TNode_Kind Kind_Of_Item(const TArchItem *item);

// Whether an item of kind dragged may be dropped on an item of kind target. An archive
// (or no item) is accepted and its drop does nothing.
bool Drag_Kind_Accepted(TNode_Kind dragged, TNode_Kind target);

// The outcome of removing a childless item from its parent.
enum class TRemoval { Not_Removable, Refused, Removed };
// Whether item can be removed from parent at all (the pair has a removal); the top unit,
// the archive and persons groups cannot.
bool Is_Removable_Pair(const TArchItem *parent, const TArchItem *item);
// Runs the removal for the pair: Not_Removable when the pair has none, Refused when the
// model keeps the item (it has items of its own or is not in the list), Removed when the
// item was destroyed.
TRemoval Remove_Child_Item(TArchItem *parent, TArchItem *item);

// The list holding the documents of holder (Documents or Docs), or null.
TOwnList<TDocument> *Documents_List_Of(TArchItem *holder);

// True when item is ancestor itself or lies below it, by the items' Parent chain.
bool Is_Within_Item(const TArchItem *item, const TArchItem *ancestor);

// The model's HasItems of the item's class; false for the archive and for no item.
bool Item_Has_Items(const TArchItem *item);
