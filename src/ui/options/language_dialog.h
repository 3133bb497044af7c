#pragma once

#include <QDialog>

#include "local/localization.h"

class QListWidget;
class TVelLabel;
class TVelPanel;

// The language dialog shown at start-up while no language has been chosen: a dark
// borderless list of the installed languages and an OK button. It offers no cancel;
// closing it otherwise (Esc) leaves the options as they were.
class Tfrm_Select_Language : public QDialog
{
    Q_OBJECT

public:
    static constexpr int Design_Width = 316;
    static constexpr int Design_Height = 296;
    static constexpr int Row_Height = 22;

    explicit Tfrm_Select_Language(QWidget *parent = nullptr);
    ~Tfrm_Select_Language() override;

    void Fill_Languages();
    // Takes the selected language into the options, saves them, switches the language
    // when it changed and closes the dialog.
    void bt_OkClick();

    const TLanguagesArray &Languages() const { return arrLanguages; }
    QListWidget *Language_List() const { return lst_Languages; }
    TVelLabel *Title_Label() const { return lbl_Select_Language; }
    TVelPanel *Ok_Button() const { return bt_Ok; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Center_On_Parent();

    TVelLabel *lbl_Select_Language = nullptr;
    QListWidget *lst_Languages = nullptr;
    TVelPanel *bt_Ok = nullptr;
    TLanguagesArray arrLanguages;
};
