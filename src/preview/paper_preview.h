#pragma once

#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <QMenu>
class QPainter;

// A sheet of paper on screen: a paper-coloured area with a border, a drop shadow and an
// optional caption below. Its owner paints the page content through OnPaint. The widget
// keeps an off-screen copy of itself, so that scrolling and page changes repaint only what
// is stale: the frame part and the page part of the copy are invalidated separately.
class TPaperPreview : public QWidget
{
    Q_OBJECT
public:
    explicit TPaperPreview(QWidget *parent = nullptr);

    bool PreservePaperSize() const { return FPreservePaperSize; }
    void SetPreservePaperSize(bool value) { FPreservePaperSize = value; }
    QColor PaperColor() const { return FPaperColor; }
    void SetPaperColor(const QColor &value);
    QColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(const QColor &value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);
    QColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(const QColor &value);
    int ShadowWidth() const { return FShadowWidth; }
    void SetShadowWidth(int value);
    // Background of the corner gaps and the caption band.
    QColor Color() const { return FColor; }
    void SetColor(const QColor &value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &value);
    // Horizontal alignment of the caption: Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter.
    Qt::Alignment Alignment() const { return FAlignment; }
    void SetAlignment(Qt::Alignment value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    int CaptionHeight() const { return FCaptionHeight; }
    QMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu *value) { FPopupMenu = value; }

    int PaperWidth() const;
    void SetPaperWidth(int value);
    int PaperHeight() const;
    void SetPaperHeight(int value);
    QSize PaperSize() const;
    void SetPaperSize(const QSize &value);
    // The paper area in widget coordinates.
    QRect PageRect() const;

    // Places the widget for a paper of the given size.
    void SetBoundsEx(int left, int top, int paperWidth, int paperHeight);

    QPoint ClientToPaper(const QPoint &pt) const;
    QPoint PaperToClient(const QPoint &pt) const;

    // Widget size for a paper size and back.
    virtual int ActualWidth(int value) const;
    virtual int ActualHeight(int value) const;
    virtual int LogicalWidth(int value) const;
    virtual int LogicalHeight(int value) const;

    // The page part of the off-screen copy is stale; repaints the paper area only.
    void Invalidate();
    // The whole off-screen copy is stale; repaints the whole widget.
    virtual void InvalidateAll();

    bool IsOffScreenPrepared() const { return FIsOffScreenPrepared; }
    bool IsOffScreenReady() const { return FIsOffScreenReady; }

signals:
    // Paints the page content; the painter is clipped to the visible part of pageRect.
    void OnPaint(TPaperPreview *sender, QPainter *canvas, const QRect &pageRect);
    void OnResize(TPaperPreview *sender);
    void OnMouseEnter(TPaperPreview *sender);
    void OnMouseLeave(TPaperPreview *sender);

protected:
    virtual void DrawPageFrame(QPainter &canvas);
    void UpdateCaptionHeight();

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    int CaptionTextFlags() const;
    void FrameWidthChanged(int &field, int value);

    bool FPreservePaperSize = true;
    QColor FPaperColor = Qt::white;
    QColor FBorderColor = Qt::black;
    int FBorderWidth = 1;
    QColor FShadowColor;
    int FShadowWidth = 3;
    QColor FColor;
    bool FShowCaption = false;
    QString FCaption;
    Qt::Alignment FAlignment = Qt::AlignHCenter;
    bool FWordWrap = true;
    int FCaptionHeight = 0;
    QPointer<QMenu> FPopupMenu;

    QPixmap FOffScreen;
    bool FIsOffScreenPrepared = false;
    bool FIsOffScreenReady = false;
    QRect FLastVisibleRect;
    QRect FLastVisiblePageRect;
};
