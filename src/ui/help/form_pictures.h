#pragma once

#include <QPixmap>

// The small pictures of the flat windows, drawn rather than stored so that they stay sharp
// at any device pixel ratio.

// The 17 x 17 check picture: a white square, ticked or empty.
QPixmap Check_Picture(bool on);
// Header icons, size x size, white on transparent.
QPixmap Preferences_Icon(int size);
QPixmap Help_Icon(int size);
// The program's icon (the SVG the desktop files name).
QPixmap App_Icon(int size);
