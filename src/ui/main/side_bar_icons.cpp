#include "ui/main/side_bar_icons.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Every picture is drawn on a 32-unit grid and scaled to size.
template<class Draw>
QPixmap Draw_Icon(int size, Draw draw)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    return pixmap;
}

} // namespace

QPixmap Save_Icon(const QColor &color, int size)
{
    return Draw_Icon(size, [&](QPainter &p) {
        // a diskette: body with a cut corner, the shutter on top, the label below
        QPainterPath body;
        body.moveTo(4, 4);
        body.lineTo(24, 4);
        body.lineTo(28, 8);
        body.lineTo(28, 28);
        body.lineTo(4, 28);
        body.closeSubpath();
        QPainterPath holes;
        holes.addRect(9, 4, 13, 8);
        holes.addRect(8, 17, 16, 11);
        p.fillPath(body.subtracted(holes), color);
        p.fillRect(QRectF(17, 5.5, 3, 5), color);
        p.fillRect(QRectF(10, 20, 12, 1.5), color);
        p.fillRect(QRectF(10, 23.5, 12, 1.5), color);
    });
}

QPixmap Property_Icon(const QColor &color, int size)
{
    return Draw_Icon(size, [&](QPainter &p) {
        // a sheet with lines of fields
        QPen pen(color, 2.0);
        p.setPen(pen);
        p.drawRoundedRect(QRectF(6, 3, 20, 26), 2, 2);
        for (int i = 0; i < 4; ++i) {
            p.fillRect(QRectF(10, 9 + i * 5, 3, 2), color);
            p.fillRect(QRectF(15, 9 + i * 5, 7, 2), color);
        }
    });
}

QPixmap Find_Icon(const QColor &color, int size)
{
    return Draw_Icon(size, [&](QPainter &p) {
        // a magnifying glass
        QPen pen(color, 3.0, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawEllipse(QPointF(13, 13), 8, 8);
        pen.setWidthF(4.0);
        p.setPen(pen);
        p.drawLine(QPointF(19, 19), QPointF(27, 27));
    });
}
