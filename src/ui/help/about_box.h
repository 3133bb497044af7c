#pragma once

#include <QDialog>

class QLabel;
class TVelEdit;
class TVelLabel;
class TVelPanel;

// The about box: the program's name, version and build date, a link to its web page and
// the credits. Shown modally by the main window; Enter, Esc and OK close it, and it is
// dragged by pressing the mouse anywhere on it.
class Tfrm_About : public QDialog
{
    Q_OBJECT

public:
    static constexpr int Design_Width = 344;
    static constexpr int Design_Height = 209;

    explicit Tfrm_About(QWidget *parent = nullptr);
    ~Tfrm_About() override;

    // Texts and reading order of the active language; run on every showing.
    Q_INVOKABLE void Localize();
    // Places the box centred on the main window's frame main, kept inside screen: 20
    // from the left when it would start left of 0, ending 10 before the right edge when
    // it would not fit; 10 from the top when above 0, leaving 60 at the bottom.
    static QPoint Position_On(const QRect &main, const QSize &box, const QRect &screen);

    // The web page behind the link; empty hides the link.
    static QString Product_Web_Page();

    TVelLabel *App_Name_Label() const { return lbl_App_Name; }
    TVelLabel *Version_Label() const { return lbl_Version; }
    TVelLabel *Date_Label() const { return lbl_Date; }
    TVelLabel *Link_Label() const { return lblURL; }
    TVelPanel *Ok_Button() const { return bt_Ok; }
    TVelEdit *Credits() const { return txt_Credits; }

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Place();

    QLabel *img_Icon = nullptr;
    TVelLabel *lbl_App_Name = nullptr;
    TVelLabel *lbl_Version = nullptr;
    TVelLabel *lbl_Date = nullptr;
    TVelLabel *lblURL = nullptr;
    TVelPanel *bt_Ok = nullptr;
    TVelEdit *txt_Credits = nullptr;
    QPoint Drag_Offset;
    bool Dragging = false;
};
