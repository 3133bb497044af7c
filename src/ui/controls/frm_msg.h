#pragma once
#include <QDialog>
#include <QFont>
#include <QList>
#include <QPixmap>

class QLabel;
class QPushButton;

// The owner-drawn modal box behind Msg_Box and its wrappers: borderless, white, nearly
// opaque, with a main instruction in blue and details in black, the buttons of the style in
// the reading order of the language, and its own keyboard handling ahead of the buttons.
class TfrmMsg : public QDialog
{
    Q_OBJECT

public:
    enum TIcon_Kind { Icon_None, Icon_Information, Icon_Warning, Icon_Question, Icon_Stop };

    explicit TfrmMsg(QWidget *parent = nullptr);
    ~TfrmMsg() override;

    // Text, title and style; strings are the custom Yes,No,Cancel captions.
    void Set_Message(const QString &text, const QString &title, int style, const QString &strings = QString());
    // Lays the box out for its text and style; run again by showing.
    void Prepare();
    // The result code the box was answered with, 0 while it is not answered.
    int Result() const;

    int FOption = 0;
    QString FMsg;
    QString FCaption;
    int DefBut = 1;
    int MaxBut = 1;
    int FResult = 0;
    QColor MsgColor; // invalid keeps the white background
    QString Strings;

    // What the layout decided, for painting and for tests.
    QString Main_Instruction() const { return FMain; }
    QString Details() const { return FDetails; }
    TIcon_Kind Icon_Kind() const { return FIconKind; }
    int Text_Height() const { return FTextHeight; }
    // The buttons shown, from left to right on the screen.
    QList<QPushButton *> Screen_Buttons() const;
    // The button set's logical order, as result codes.
    QList<int> Logical_Results() const;
    QPushButton *Button_Of(int result) const;
    QLabel *Close_Image() const { return btClose; }
    QLabel *Help_Image() const { return imgHelp; }
    bool Close_Hovered() const { return FCloseHover; }

    static QFont Measure_Font(int style);
    static QFont Main_Font(int style);
    static QFont Details_Font(int style);
    static QFont Title_Font();
    // Icon from the style's icon bits.
    static TIcon_Kind Icon_For(int style);
    // Which button set the style asks for, as result codes in logical order.
    static QList<int> Button_Set(int style);
    // Drawing flags of the title and the texts.
    static int Text_Flags(int style);

    // Answers as the key does; false when the key means nothing to the box.
    // With act false only tells whether the key would be taken.
    bool Handle_Key(int key, Qt::KeyboardModifiers modifiers, bool act = true);
    // Sets the result and closes the box, except for Help.
    void Answer(int result);
    // The close image's answer: No in a Yes/No box, otherwise Cancel.
    void Close_Clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int Block_Height(int width, int height, QPainter *painter) const;
    void Layout_Buttons(int h, int &width);
    void Set_Keyboard_Button(int number);
    void Place_Close_Image();

    QString FMain;
    QString FDetails;
    TIcon_Kind FIconKind = Icon_None;
    int FTextHeight = 0;
    int FButtonWidth = 75;
    bool FCloseHover = false;
    bool FPrepared = false;
    bool FDragging = false;
    QPoint FDragOffset;

    QLabel *lblResult = nullptr;
    QLabel *imgIcon = nullptr;
    QLabel *imgHelp = nullptr;
    QLabel *btClose = nullptr;
    QPixmap img_Close;
    QPixmap img_Close_L;
    QPushButton *btOk = nullptr;
    QPushButton *btCancel = nullptr;
    QPushButton *btAbort = nullptr;
    QPushButton *btRetry = nullptr;
    QPushButton *btIgnore = nullptr;
    QPushButton *btYes = nullptr;
    QPushButton *btNo = nullptr;
    QPushButton *btHelp = nullptr;
};

// The picture of a box icon at the given size.
QPixmap Msg_Icon_Pixmap(TfrmMsg::TIcon_Kind kind, int size);
