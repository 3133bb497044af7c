#include "ui/help/form_pictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <QtMath>

namespace {

QPixmap Blank(int width, int height)
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(QSize(width, height) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QPixmap Check_Picture(bool on)
{
    QPixmap pixmap = Blank(17, 17);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1, 1, 15, 15), 2, 2);
    if (on) {
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(4.2, 8.8);
        tick.lineTo(7.3, 11.8);
        tick.lineTo(12.8, 5.2);
        p.drawPath(tick);
    }
    return pixmap;
}

QPixmap Preferences_Icon(int size)
{
    // a cog of eight teeth around a hole
    QPainterPath cog;
    cog.addEllipse(QPointF(0, 0), 10.5, 10.5);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-3, -15, 6, 8), 1.2, 1.2);
        cog = cog.united(QTransform().rotate(i * 45.0).map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(0, 0), 4.5, 4.5);
    cog = cog.subtracted(hole);

    QPixmap pixmap = Blank(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.translate(16, 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(cog);
    return pixmap;
}

QPixmap Help_Icon(int size)
{
    QPixmap pixmap = Blank(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(Qt::white, 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(2.5, 2.5, 27, 27));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(20);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("?"));
    return pixmap;
}

QPixmap App_Icon(int size)
{
    QPixmap pixmap = Blank(size, size);
    QSvgRenderer renderer(QStringLiteral(":/desktop/tarsel-archive.svg"));
    QPainter p(&pixmap);
    renderer.render(&p, QRectF(0, 0, size, size));
    return pixmap;
}
