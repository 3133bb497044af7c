#pragma once
#include <QLabel>

// Owner-painted label with an optional drop shadow, frame and vertical centring. The text is
// plain; "&" marks an accelerator unless ShowAccelChar is off.
class TVelLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(QColor FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE SetShowAccelChar)
    Q_PROPERTY(QColor ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(bool Border READ Border WRITE SetBorder)
    Q_PROPERTY(QColor BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(bool VericalCenter READ VericalCenter WRITE SetVericalCenter)
    Q_PROPERTY(bool Selected READ Selected WRITE SetSelected)

public:
    explicit TVelLabel(QWidget *parent = nullptr);
    explicit TVelLabel(const QString &caption, QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void SetCaption(const QString &value);
    QColor Color() const;
    void SetColor(const QColor &value);
    QColor FontColor() const;
    void SetFontColor(const QColor &value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);
    // An invalid colour is the no-colour value: no shadow.
    QColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(const QColor &value);
    bool Border() const { return FBorder; }
    void SetBorder(bool value);
    QColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(const QColor &value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);
    bool VericalCenter() const { return FVericalCenter; }
    void SetVericalCenter(bool value);
    bool Selected() const { return FSelected; }
    // Selecting a label deselects every other TVelLabel of the same parent.
    void SetSelected(bool value);

    // Data-binding description, stored for the forms that use it.
    QString FieldName;
    QString RecordSource;
    bool FieldReadOnly = false;
    bool KeepLastValue = false;
    bool TabStop = false;
    int TabOrder = 0; // the number of the parent's children at creation
    QString CaptionA;
    QString CaptionL;
    bool ReadOnly = false;
    int Size = 0;
    int FieldType = 0;
    QString LookupControl;
    QString DefaultValue;
    QString Title;
    QString LookupSourceName;
    QString Description;
    bool NumberOnly = false;
    double MaxNumber = 0;
    QString LastValue;

    // Drawing flags of the text: alignment made absolute and mirrored for right-to-left.
    int Text_Flags() const;
    // Rectangles of the text and of the shadow in the client area.
    QRect Text_Rect() const;
    QRect Shadow_Rect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void OnClick();
    void OnMouseLeave();

protected:
    void paintEvent(QPaintEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int Measured_Text_Height() const;

    bool FTransparent = false;
    bool FShowAccelChar = true;
    QColor FShadowColor;
    QColor FBorderColor{128, 128, 128};
    bool FBorder = false;
    int FBorderWidth = 1;
    bool FVericalCenter = false;
    bool FSelected = false;
};
