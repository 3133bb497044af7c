#pragma once

#include <QColor>
#include <QPixmap>

class QWidget;
class TVelCustomMemo;
class TVelLabel;
class TVelPanel;

// The look shared by the property panels: their colours, the flat OK button, the close
// image and the OK caption with its font rule.
namespace Panel_Look {

inline const QColor Background(53, 53, 53);
inline const QColor Text(215, 215, 215);
inline const QColor Field(78, 78, 78);
inline const QColor Section_Text(225, 240, 255);
inline const QColor Modified_Text(255, 255, 255);
inline const QColor Clean_Text(192, 192, 192);
// The flat button's normal colour RGB(0,115,170) as 0x00BBGGRR, and its hover colour.
inline constexpr qint64 Button_Tag = 0x00AA7300;
inline constexpr const char *Button_Hover_Tag = "$00C48400";

} // namespace Panel_Look

// Background and text colour of a panel and every child that takes the palette.
void Style_Panel(QWidget *panel);
// An entry field: white text on the field colour, no frame.
void Style_Field(TVelCustomMemo *field);
TVelLabel *New_Panel_Label(QWidget *parent, const char *name);

// The OK button of a panel, disabled until something changes; it takes the hover look on
// mouse enter and focus.
TVelPanel *New_Ok_Button(QWidget *parent);
// The close image in the top corner; its OnClick closes the property host.
TVelPanel *New_Close_Image(QWidget *parent);
QPixmap Close_Picture(const QColor &color);

// White text when modified, silver when not, painted at once; enabled exactly when modified.
void Show_Modified_Look(TVelPanel *button, bool modified);
// The translated "OK" at 12 points; when that caption begins with a right-to-left letter the
// name field goes to 13 points and the button to 14.
void Apply_Ok_Caption(TVelPanel *button, QWidget *name_field);
