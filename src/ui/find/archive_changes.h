#pragma once

#include <QtGlobal>

// A counter of changes to the shape of the open archive's tree (items added, moved,
// deleted, renamed). Whoever keeps flat lists of the tree compares it with the value it
// saw when it filled them, so that lists are rebuilt only after the tree changed.
void Note_Archive_Change();
quint64 Archive_Change_Stamp();
