#include "preview/paper_preview.h"

#include "preview/paper_preview_options.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QPainter>

TPaperPreview::TPaperPreview(QWidget *parent)
    : QWidget(parent), FShadowColor(TPaperPreviewOptions::DefaultShadowColor()),
      FColor(palette().color(QPalette::Window))
{
    // every pixel is painted from the off-screen copy; nothing is to be erased first
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(100, 150);
}

int TPaperPreview::ActualWidth(int value) const
{
    return value + 2 * FBorderWidth + FShadowWidth;
}

int TPaperPreview::ActualHeight(int value) const
{
    return value + 2 * FBorderWidth + FShadowWidth + FCaptionHeight;
}

int TPaperPreview::LogicalWidth(int value) const
{
    return value - 2 * FBorderWidth - FShadowWidth;
}

int TPaperPreview::LogicalHeight(int value) const
{
    return value - 2 * FBorderWidth - FShadowWidth - FCaptionHeight;
}

int TPaperPreview::PaperWidth() const
{
    return LogicalWidth(width());
}

void TPaperPreview::SetPaperWidth(int value)
{
    resize(ActualWidth(value), height());
}

int TPaperPreview::PaperHeight() const
{
    return LogicalHeight(height());
}

void TPaperPreview::SetPaperHeight(int value)
{
    resize(width(), ActualHeight(value));
}

QSize TPaperPreview::PaperSize() const
{
    return QSize(LogicalWidth(width()), LogicalHeight(height()));
}

void TPaperPreview::SetPaperSize(const QSize &value)
{
    SetBoundsEx(x(), y(), value.width(), value.height());
}

QRect TPaperPreview::PageRect() const
{
    // derived from the size rather than stored: a hidden widget gets its resize event only
    // when it is shown, and the paper area must follow every size it is given
    return QRect(FBorderWidth, FBorderWidth, LogicalWidth(width()), LogicalHeight(height()));
}

void TPaperPreview::SetBoundsEx(int left, int top, int paperWidth, int paperHeight)
{
    setGeometry(left, top, ActualWidth(paperWidth), ActualHeight(paperHeight));
}

QPoint TPaperPreview::ClientToPaper(const QPoint &pt) const
{
    return pt - QPoint(FBorderWidth, FBorderWidth);
}

QPoint TPaperPreview::PaperToClient(const QPoint &pt) const
{
    return pt + QPoint(FBorderWidth, FBorderWidth);
}

void TPaperPreview::Invalidate()
{
    FIsOffScreenReady = false;
    update(PageRect());
}

void TPaperPreview::InvalidateAll()
{
    FIsOffScreenPrepared = false;
    FIsOffScreenReady = false;
    update();
}

void TPaperPreview::SetPaperColor(const QColor &value)
{
    if (FPaperColor == value)
        return;
    FPaperColor = value;
    InvalidateAll();
}

void TPaperPreview::SetBorderColor(const QColor &value)
{
    if (FBorderColor == value)
        return;
    FBorderColor = value;
    InvalidateAll();
}

void TPaperPreview::SetShadowColor(const QColor &value)
{
    if (FShadowColor == value)
        return;
    FShadowColor = value;
    InvalidateAll();
}

void TPaperPreview::SetColor(const QColor &value)
{
    if (FColor == value)
        return;
    FColor = value;
    InvalidateAll();
}

void TPaperPreview::FrameWidthChanged(int &field, int value)
{
    if (field == value)
        return;
    const QSize paper = PaperSize();
    field = value;
    if (FPreservePaperSize)
        SetPaperSize(paper);
    else
        InvalidateAll();
}

void TPaperPreview::SetBorderWidth(int value)
{
    FrameWidthChanged(FBorderWidth, value);
}

void TPaperPreview::SetShadowWidth(int value)
{
    FrameWidthChanged(FShadowWidth, value);
}

void TPaperPreview::SetShowCaption(bool value)
{
    if (FShowCaption == value)
        return;
    FShowCaption = value;
    UpdateCaptionHeight();
}

void TPaperPreview::SetCaption(const QString &value)
{
    if (FCaption == value)
        return;
    FCaption = value;
    if (FShowCaption) {
        UpdateCaptionHeight();
        InvalidateAll();
    }
}

void TPaperPreview::SetAlignment(Qt::Alignment value)
{
    if (FAlignment == value)
        return;
    FAlignment = value;
    if (FShowCaption)
        InvalidateAll();
}

void TPaperPreview::SetWordWrap(bool value)
{
    if (FWordWrap == value)
        return;
    FWordWrap = value;
    if (FShowCaption)
        UpdateCaptionHeight();
}

int TPaperPreview::CaptionTextFlags() const
{
    int flags = int(FAlignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop;
    if (FWordWrap)
        flags |= Qt::TextWordWrap;
    return flags;
}

void TPaperPreview::UpdateCaptionHeight()
{
    int height = 0;
    if (FShowCaption) {
        const QFontMetrics metrics(font());
        const int width = qMax(1, this->width() - 2 * FShadowWidth);
        const QRect measured = FWordWrap
            ? metrics.boundingRect(QRect(0, 0, width, 1 << 20), CaptionTextFlags(), FCaption)
            : QRect(0, 0, width, metrics.height());
        height = (FCaption.isEmpty() ? metrics.height() : measured.height()) + 2;
    }
    if (height == FCaptionHeight)
        return;
    const QSize paper = PaperSize();
    FCaptionHeight = height;
    if (FPreservePaperSize)
        SetPaperSize(paper);
    else
        InvalidateAll();
}

void TPaperPreview::DrawPageFrame(QPainter &canvas)
{
    const int w = width();
    const int h = height();
    const int sw = FShadowWidth;
    const int ch = FCaptionHeight;
    if (FShowCaption && !FCaption.isEmpty()) {
        const QRect band(0, h - ch, w - sw + 1, ch);
        canvas.fillRect(band, FColor);
        canvas.setFont(font());
        canvas.setPen(palette().color(QPalette::WindowText));
        const QRect textRect = band.adjusted(0, 1, 0, -1);
        canvas.setLayoutDirection(layoutDirection());
        if (FWordWrap)
            canvas.drawText(textRect, CaptionTextFlags(), FCaption);
        else {
            const QString elided = QFontMetrics(font()).elidedText(FCaption, Qt::ElideRight, textRect.width());
            canvas.drawText(textRect, CaptionTextFlags() | Qt::TextSingleLine, elided);
        }
    }
    if (sw > 0) {
        canvas.fillRect(QRect(w - sw, 0, sw, sw), FColor);
        canvas.fillRect(QRect(0, h - ch - sw, sw, sw), FColor);
        canvas.fillRect(QRect(w - sw, sw, sw, h - ch - sw), FShadowColor);
        canvas.fillRect(QRect(sw, h - ch - sw, w - sw, sw), FShadowColor);
    }
    if (FBorderWidth > 0)
        DrawInsideFrame(canvas, QRect(0, 0, w - sw, h - ch - sw), FBorderWidth, FBorderColor);
}

void TPaperPreview::paintEvent(QPaintEvent *event)
{
    const QRect r = event->rect() & rect();
    if (r.isEmpty())
        return;
    if (!FIsOffScreenPrepared || !FLastVisibleRect.contains(r)) {
        FOffScreen = QPixmap(r.size());
        FOffScreen.fill(FColor);
        QPainter frame(&FOffScreen);
        frame.translate(-r.topLeft());
        DrawPageFrame(frame);
        FLastVisibleRect = r;
        FIsOffScreenPrepared = true;
        FIsOffScreenReady = false;
    }
    const QRect p = r & PageRect();
    if (!p.isEmpty() && (!FIsOffScreenReady || !FLastVisiblePageRect.contains(p))) {
        QPainter page(&FOffScreen);
        page.translate(-FLastVisibleRect.topLeft());
        page.setClipRect(p);
        page.fillRect(p, FPaperColor);
        page.save();
        // a failing handler must not leave the painter's state behind for the next paint
        struct Restore {
            QPainter &painter;
            ~Restore() { painter.restore(); }
        } restore{page};
        emit OnPaint(this, &page, PageRect());
        FLastVisiblePageRect = p;
        FIsOffScreenReady = true;
    }
    QPainter screen(this);
    screen.drawPixmap(FLastVisibleRect.topLeft(), FOffScreen);
}

void TPaperPreview::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    InvalidateAll();
    emit OnResize(this);
}

void TPaperPreview::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        if (FShowCaption) {
            UpdateCaptionHeight();
            InvalidateAll();
        }
        break;
    case QEvent::PaletteChange:
        InvalidateAll();
        break;
    case QEvent::LayoutDirectionChange:
        if (FShowCaption)
            InvalidateAll();
        else
            Invalidate();
        break;
    default:
        break;
    }
}

void TPaperPreview::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    emit OnMouseEnter(this);
}

void TPaperPreview::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    emit OnMouseLeave(this);
}

void TPaperPreview::contextMenuEvent(QContextMenuEvent *event)
{
    if (FPopupMenu) {
        FPopupMenu->popup(event->globalPos());
        event->accept();
        return;
    }
    QWidget::contextMenuEvent(event);
}
