#pragma once

#include <QColor>
#include <QPixmap>

// The side bar's pictures, drawn at run time in one colour on a transparent ground so that
// they stay sharp at any device pixel ratio.
QPixmap Save_Icon(const QColor &color, int size = 32);
QPixmap Property_Icon(const QColor &color, int size = 32);
QPixmap Find_Icon(const QColor &color, int size = 32);
