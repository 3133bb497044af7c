#pragma once

#include <QColor>
#include <QCursor>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <QMenu>
class QPainter;
class TPaperPreview;

// How much of a paper view a change of its look invalidates.
enum TUpdateSeverity { usNone, usRedraw, usRecreate };

// The look of a sheet (colours, frame widths, cursors, hint, popup menu), shared by the
// preview control and the thumbnail strip; the strip draws its frames from it alone.
class TPaperPreviewOptions : public QObject
{
    Q_OBJECT
public:
    explicit TPaperPreviewOptions(QObject *parent = nullptr);

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
    QCursor Cursor() const { return FCursor; }
    void SetCursor(const QCursor &value);
    QCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(const QCursor &value);
    QCursor GrabCursor() const { return FGrabCursor; }
    void SetGrabCursor(const QCursor &value);
    QMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu *value);
    QString Hint() const { return FHint; }
    void SetHint(const QString &value);

    // Copies every setting through the setters, each raising its own change.
    void Assign(const TPaperPreviewOptions &source);
    // Copies the look onto a paper widget, then its cursor, popup menu and hint.
    void AssignTo(TPaperPreview *dest) const;

    // Paper area and whole box (frame and shadow, no caption) for a paper of the given size.
    void CalcDimensions(int paperWidth, int paperHeight, QRect &paperRect, QRect &boxRect) const;
    // Draws border and shadow for a box; the corner gaps take the painter's current brush.
    void Draw(QPainter &canvas, const QRect &boxRect) const;

    // The system's button-shadow colour.
    static QColor DefaultShadowColor();

signals:
    void OnChange(TPaperPreviewOptions *sender, TUpdateSeverity severity);

private:
    void Changed(TUpdateSeverity severity);

    QColor FPaperColor = Qt::white;
    QColor FBorderColor = Qt::black;
    int FBorderWidth = 1;
    QColor FShadowColor;
    int FShadowWidth = 3;
    QCursor FCursor = Qt::ArrowCursor;
    QCursor FDragCursor = Qt::OpenHandCursor;
    QCursor FGrabCursor = Qt::ClosedHandCursor;
    QPointer<QMenu> FPopupMenu;
    QString FHint;
};

// Outlines (left, top, right, bottom) with a pen of the given width kept inside the rectangle.
void DrawInsideFrame(QPainter &canvas, const QRect &rect, int width, const QColor &color);
