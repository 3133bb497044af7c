#include "preview/paper_preview_options.h"

#include "preview/paper_preview.h"

#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPalette>

namespace {

bool SameCursor(const QCursor &a, const QCursor &b)
{
    if (a.shape() != b.shape())
        return false;
    if (a.shape() != Qt::BitmapCursor)
        return true;
    return a.pixmap().cacheKey() == b.pixmap().cacheKey() && a.hotSpot() == b.hotSpot();
}

} // namespace

void DrawInsideFrame(QPainter &canvas, const QRect &rect, int width, const QColor &color)
{
    if (width <= 0 || rect.isEmpty())
        return;
    // four bands rather than a wide pen: a pen straddles its path, the frame must not
    const int w = qMin(width, qMin(rect.width(), rect.height()) / 2 + 1);
    canvas.fillRect(QRect(rect.left(), rect.top(), rect.width(), w), color);
    canvas.fillRect(QRect(rect.left(), rect.bottom() + 1 - w, rect.width(), w), color);
    canvas.fillRect(QRect(rect.left(), rect.top(), w, rect.height()), color);
    canvas.fillRect(QRect(rect.right() + 1 - w, rect.top(), w, rect.height()), color);
}

TPaperPreviewOptions::TPaperPreviewOptions(QObject *parent)
    : QObject(parent), FShadowColor(DefaultShadowColor())
{
}

QColor TPaperPreviewOptions::DefaultShadowColor()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QGuiApplication::palette().color(QPalette::Active, QPalette::Dark);
    return QColor(160, 160, 160);
}

void TPaperPreviewOptions::Changed(TUpdateSeverity severity)
{
    emit OnChange(this, severity);
}

void TPaperPreviewOptions::SetPaperColor(const QColor &value)
{
    if (FPaperColor == value)
        return;
    FPaperColor = value;
    Changed(usRedraw);
}

void TPaperPreviewOptions::SetBorderColor(const QColor &value)
{
    if (FBorderColor == value)
        return;
    FBorderColor = value;
    Changed(usRedraw);
}

void TPaperPreviewOptions::SetBorderWidth(int value)
{
    if (FBorderWidth == value)
        return;
    FBorderWidth = value;
    Changed(usRecreate);
}

void TPaperPreviewOptions::SetShadowColor(const QColor &value)
{
    if (FShadowColor == value)
        return;
    FShadowColor = value;
    Changed(usRedraw);
}

void TPaperPreviewOptions::SetShadowWidth(int value)
{
    if (FShadowWidth == value)
        return;
    FShadowWidth = value;
    Changed(usRecreate);
}

void TPaperPreviewOptions::SetCursor(const QCursor &value)
{
    if (SameCursor(FCursor, value))
        return;
    FCursor = value;
    Changed(usNone);
}

void TPaperPreviewOptions::SetDragCursor(const QCursor &value)
{
    if (SameCursor(FDragCursor, value))
        return;
    FDragCursor = value;
    Changed(usNone);
}

void TPaperPreviewOptions::SetGrabCursor(const QCursor &value)
{
    if (SameCursor(FGrabCursor, value))
        return;
    FGrabCursor = value;
    Changed(usNone);
}

void TPaperPreviewOptions::SetPopupMenu(QMenu *value)
{
    if (FPopupMenu == value)
        return;
    FPopupMenu = value;
    Changed(usNone);
}

void TPaperPreviewOptions::SetHint(const QString &value)
{
    if (FHint == value)
        return;
    FHint = value;
    Changed(usNone);
}

void TPaperPreviewOptions::Assign(const TPaperPreviewOptions &source)
{
    SetBorderColor(source.FBorderColor);
    SetBorderWidth(source.FBorderWidth);
    SetShadowColor(source.FShadowColor);
    SetShadowWidth(source.FShadowWidth);
    SetCursor(source.FCursor);
    SetDragCursor(source.FDragCursor);
    SetGrabCursor(source.FGrabCursor);
    SetHint(source.FHint);
    SetPaperColor(source.FPaperColor);
    SetPopupMenu(source.FPopupMenu);
}

void TPaperPreviewOptions::AssignTo(TPaperPreview *dest) const
{
    if (!dest)
        return;
    dest->SetPaperColor(FPaperColor);
    dest->SetBorderColor(FBorderColor);
    dest->SetBorderWidth(FBorderWidth);
    dest->SetShadowColor(FShadowColor);
    dest->SetShadowWidth(FShadowWidth);
    dest->setCursor(FCursor);
    dest->SetPopupMenu(FPopupMenu);
    dest->setToolTip(FHint);
}

void TPaperPreviewOptions::CalcDimensions(int paperWidth, int paperHeight, QRect &paperRect, QRect &boxRect) const
{
    paperRect = QRect(FBorderWidth, FBorderWidth, paperWidth, paperHeight);
    boxRect = QRect(0, 0, paperWidth + 2 * FBorderWidth + FShadowWidth, paperHeight + 2 * FBorderWidth + FShadowWidth);
}

void TPaperPreviewOptions::Draw(QPainter &canvas, const QRect &boxRect) const
{
    const int sw = FShadowWidth;
    const int bw = FBorderWidth;
    const int left = boxRect.left();
    const int top = boxRect.top();
    const int right = boxRect.left() + boxRect.width();
    const int bottom = boxRect.top() + boxRect.height();
    if (sw > 0) {
        // the shadow is offset, so its two far corners show the caller's background
        const QBrush background = canvas.brush();
        canvas.fillRect(QRect(right - sw, top, sw, sw), background);
        canvas.fillRect(QRect(left, bottom - sw, sw, sw), background);
        canvas.fillRect(QRect(right - sw, top + sw, sw, bottom - top - sw), FShadowColor);
        canvas.fillRect(QRect(left + sw, bottom - sw, right - left - sw, sw), FShadowColor);
    }
    if (bw > 0)
        DrawInsideFrame(canvas, QRect(left, top, right - sw - left, bottom - sw - top), bw, FBorderColor);
}
