#pragma once

#include <QWidget>

class TArchItem;
class TArchive;
class TVelEdit;
class TVelPanel;

// What the three property panels have in common: the item they show, the edits not yet
// written to it, the name field that a rename in the tree updates, the OK button and the
// close image. Nothing reaches the item before Save_Item.
class TProperty_Panel : public QWidget
{
    Q_OBJECT

public:
    explicit TProperty_Panel(QWidget *parent = nullptr);

    // The open archive; set by the main window before every item it gives the panel.
    TArchive *Archive = nullptr;

    virtual TArchItem *Item() const = 0;
    // Writes the edits to the item (OK); false when they could not all be kept, in which
    // case the panel stays modified.
    virtual bool Save_Item() = 0;
    virtual void Localize() = 0;

    bool Modified() const { return FModified; }
    virtual void SetModified(bool value);
    // After a rename in the tree: shows the new name when the renamed item is the one shown.
    void Item_Name_Edited(TArchItem *item);

    TVelEdit *Name_Field() const { return txt_Name; }
    TVelPanel *Ok_Button() const { return bt_Save; }
    TVelPanel *Close_Image() const { return img_Close; }

signals:
    // The item was written (the tree and the archive were told through the bridge).
    void Item_Saved(TArchItem *item);

protected:
    void showEvent(QShowEvent *event) override;
    // The change rule of every entry field: an edit marks the panel modified unless the
    // controls are being filled.
    void Field_Changed();
    // The panel's direction and the close hint; the captions are the panels' own.
    void Localize_Direction();

    bool Building = false;
    bool FModified = false;
    TVelEdit *txt_Name = nullptr;
    TVelPanel *bt_Save = nullptr;
    TVelPanel *img_Close = nullptr;
};

// A cleaned entry text, or the stored value when the entry is empty after cleaning: the
// panels never empty a field.
QString Kept_Or_Cleaned(const QString &entry, const QString &stored);
