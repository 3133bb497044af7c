#pragma once

#include <QPixmap>
#include <QWidget>

#include "local/localization.h"

class QComboBox;
class QLabel;
class TArchive;
class TVelLabel;
class TVelPanel;

// The Preferences panel: the language and whether the last archive opens at start-up.
// A borderless panel that the main window shows inside itself, on the side opposite the
// tree; it works as well on its own (tests, screenshots). Every showing reloads it from
// the options; OK writes them and switches the language when it changed.
class Tfrm_Options : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Design_Width = 420;
    static constexpr int Design_Height = 326;

    explicit Tfrm_Options(QWidget *parent = nullptr);
    ~Tfrm_Options() override;

    Q_INVOKABLE void Localize();
    void Set_Current_Local();
    void Set_Modified(bool value);
    void Set_Open_Last(bool value);
    void Fill_Languages();

    bool Modified() const { return FModified; }
    bool Open_Last() const { return FOpen_Last; }
    // 0 left to right, 1 right to left, as the last Localize left it.
    int Tag() const { return FTag; }
    const TLanguagesArray &Languages() const { return arrLanguages; }

    // The OK button's work: what a click on the enabled button runs.
    void bt_OkClick();

    // Controls, for the main window, the tests and the screenshots
    TVelPanel *Header() const { return VelPanel1; }
    QComboBox *Language_List() const { return cmb_Languages; }
    TVelLabel *Open_Last_Label() const { return lbl_Open_Last; }
    QLabel *Open_Last_Check() const { return img_Open_Last; }
    TVelLabel *Select_Language_Hint() const { return lbl_Select_Language; }
    TVelLabel *Title_Label() const { return lbl_Preferences; }
    TVelLabel *Language_Label() const { return lbl_Language; }
    TVelPanel *Ok_Button() const { return bt_Ok; }

    // The archive open at the last OK (or showing); nullptr when none was. OK always
    // reads the archive open at that moment, never one closed while the panel stayed open.
    TArchive *Archive = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Toggle_Open_Last();

    TVelPanel *VelPanel1 = nullptr;
    QLabel *Image1 = nullptr;
    TVelLabel *lbl_Preferences = nullptr;
    QWidget *pnl = nullptr;
    TVelLabel *lbl_Language = nullptr;
    QComboBox *cmb_Languages = nullptr;
    QLabel *img_Open_Last = nullptr;
    TVelLabel *lbl_Open_Last = nullptr;
    QPixmap img_Check_On;
    QPixmap img_Check_Off;
    TVelLabel *lbl_Select_Language = nullptr;
    TVelPanel *bt_Ok = nullptr;

    bool FModified = false;
    bool FOpen_Last = false;
    int FTag = 0;
    TLanguagesArray arrLanguages;
};
