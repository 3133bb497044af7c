#pragma once

#include <QList>
#include <QWidget>

class QGridLayout;
class QLabel;
class TVelLabel;
class TVelPanel;

// The help card: a static two-page guide to entering data in the archive tree, shown by
// the main window inside itself (F1, Help > Data Entry Basics) on the side opposite the
// tree. It only shows the guide; the keys it lists are handled by the tree.
class Tfrm_Help_Add : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Design_Width = 720;
    static constexpr int Design_Height = 560;

    // One row of the shortcut table: the selected item and the command of each key.
    struct TShortcut_Row
    {
        const char *Item;
        const char *Commands[4];
    };
    static const QList<TShortcut_Row> &Shortcut_Table();
    static const QStringList &Shortcut_Keys();

    explicit Tfrm_Help_Add(QWidget *parent = nullptr);
    ~Tfrm_Help_Add() override;

    // Sets every text through the translation lookup and the reading order of the language.
    Q_INVOKABLE void Localize();
    void Show_Edit_Page();
    void Show_Move_Page();

    int Tag() const { return FTag; }
    TVelPanel *Header() const { return VelPanel1; }
    TVelLabel *Title_Label() const { return lbl_Help; }
    QWidget *Menu_Panel() const { return pnl_Menu; }
    TVelLabel *Edit_Menu_Label() const { return lbl_Edit; }
    TVelLabel *Move_Menu_Label() const { return lbl_Move; }
    QWidget *Edit_Page() const { return pnl_Edit; }
    QWidget *Move_Page() const { return pnl_Move; }
    // Text of the shortcut table's cell; row 0 holds the keys, column 0 the items.
    QString Table_Text(int row, int column) const;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Build_Edit_Page();
    void Build_Move_Page();

    TVelPanel *VelPanel1 = nullptr;
    QLabel *Image3 = nullptr;
    TVelLabel *lbl_Help = nullptr;
    QWidget *pnl_Menu = nullptr;
    TVelLabel *lbl_Edit = nullptr;
    TVelLabel *lbl_Move = nullptr;
    QWidget *pnl_Edit = nullptr;
    QWidget *pnl_Move = nullptr;

    TVelLabel *lbl_Edit_Intro = nullptr;
    TVelLabel *lbl_Short_Cuts = nullptr;
    QGridLayout *grd_Short_Cuts = nullptr;
    QList<QList<TVelLabel *>> Table_Cells;
    QList<TVelLabel *> Other_Key_Commands;
    TVelLabel *lbl_Reattach = nullptr;
    TVelLabel *lbl_Reattach_Text = nullptr;

    int FTag = 0;
};
