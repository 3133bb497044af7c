#pragma once
#include <QPixmap>
#include <QWidget>

// Owner-painted panel: a container, a header bar or a flat push button. A panel used as a
// button keeps its normal colour in Tag (0x00BBGGRR) and its hover colour in TextTag
// ("$00BBGGRR"); see color_text.h.
class TVelPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString TextTag READ TextTag WRITE SetTextTag)
    Q_PROPERTY(qint64 Tag READ Tag WRITE SetTag)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(QColor FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(Qt::Alignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(QColor PenColor READ PenColor WRITE SetPenColor)
    Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TVerticalAlignment VerticalAlignment READ VerticalAlignment WRITE SetVerticalAlignment)
    Q_PROPERTY(QPixmap Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(bool Gradiant READ Gradiant WRITE SetGradiant)
    Q_PROPERTY(bool ShowPicture READ ShowPicture WRITE SetShowPicture)
    Q_PROPERTY(bool EnableControls READ EnableControls WRITE SetEnableControls)
    Q_PROPERTY(bool PictureStrech READ PictureStrech WRITE SetPictureStrech)
    Q_PROPERTY(bool PictureAdjusted READ PictureAdjusted WRITE SetPictureAdjusted)
    Q_PROPERTY(bool PictureCentered READ PictureCentered WRITE SetPictureCentered)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)

public:
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)
    enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
    Q_ENUM(TVerticalAlignment)

    explicit TVelPanel(QWidget *parent = nullptr);
    ~TVelPanel() override;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &value);
    QString TextTag() const { return FTextTag; }
    void SetTextTag(const QString &value) { FTextTag = value; }
    qint64 Tag() const { return FTag; }
    void SetTag(qint64 value) { FTag = value; }
    // Background colour; the palette's window colour.
    QColor Color() const;
    void SetColor(const QColor &value);
    // Caption colour; the palette's window-text colour.
    QColor FontColor() const;
    void SetFontColor(const QColor &value);
    // Horizontal placement of the caption: AlignLeft, AlignRight or AlignHCenter.
    Qt::Alignment Alignment() const { return FAlignment; }
    void SetAlignment(Qt::Alignment value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    QColor PenColor() const { return FPenColor; }
    void SetPenColor(const QColor &value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
    void SetVerticalAlignment(TVerticalAlignment value);
    QPixmap Picture() const { return FPicture; }
    void SetPicture(const QPixmap &value);
    bool Gradiant() const { return FGradiant; }
    void SetGradiant(bool value);
    bool ShowPicture() const { return FShowPicture; }
    void SetShowPicture(bool value);
    bool EnableControls() const { return FEnableControls; }
    // Gives every direct child widget this enabled state.
    void SetEnableControls(bool value);
    bool PictureStrech() const { return FPictureStrech; }
    void SetPictureStrech(bool value);
    bool PictureAdjusted() const { return FPictureAdjusted; }
    void SetPictureAdjusted(bool value);
    bool PictureCentered() const { return FPictureCentered; }
    void SetPictureCentered(bool value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool value) { FChecked = value; }

    // Full height of the vertical show/hide animation: the panel's height unless set.
    int Base_Height() const { return FBase_Height >= 0 ? FBase_Height : height(); }
    void Set_Base_Height(int value) { FBase_Height = value; }

    // Makes the panel visible and grows it one pixel at a time from 30 to Base_Height.
    void ShowVertical();
    // Shrinks the panel one pixel at a time down to 30, hides it and restores Base_Height.
    void HideVertical();
    // Whether (x, y) lies on the caption's strip: from the left edge to the caption's width.
    bool IsMouseOnCaption(int x, int y) const;

    // Where the picture is drawn for a panel of the given size (empty picture: the panel).
    QRect Picture_Rect(const QSize &panel) const;
    // Where the caption is drawn and with which flags (absolute alignment, mirrored when
    // the panel reads right to left).
    int Caption_Flags() const;

    QSize sizeHint() const override;

signals:
    void OnClick();
    void OnMouseEnter();
    void OnMouseLeave();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void Set_Height(int height);

    QString FCaption;
    QString FTextTag;
    qint64 FTag = 0;
    Qt::Alignment FAlignment = Qt::AlignHCenter;
    bool FFlat = true;
    QColor FPenColor{192, 192, 192};
    TBorderStyle FBorderStyle = bsSingle;
    TVerticalAlignment FVerticalAlignment = taAlignTop;
    QPixmap FPicture;
    bool FGradiant = false;
    bool FShowPicture = true;
    bool FEnableControls = true;
    bool FPictureStrech = false;
    bool FPictureAdjusted = false;
    bool FPictureCentered = false;
    bool FChecked = false;
    int FBase_Height = -1;
    bool FPressed = false;
};
