#include "widgets/pictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

namespace Pictures {

QPixmap canvas(int width, int height)
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(QSize(width, height) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

namespace {

QPixmap face(bool smiling)
{
    QPixmap pixmap = canvas(32, 32);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 90, 0), 1.5));
    p.setBrush(QColor(255, 214, 0));
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(10, 10, 4, 5));
    p.drawEllipse(QRectF(18, 10, 4, 5));
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath mouth;
    if (smiling) {
        mouth.moveTo(9, 19);
        mouth.quadTo(16, 27, 23, 19);
    } else {
        mouth.moveTo(9, 24);
        mouth.quadTo(16, 17, 23, 24);
    }
    p.drawPath(mouth);
    return pixmap;
}

// The globe in a 32 x 32 square, in vectors, so any scale stays sharp.
void drawGlobe(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 40, 110), 1));
    p.setBrush(QColor(40, 110, 220));
    p.drawEllipse(QRectF(1, 1, 30, 30));
    // North and South America, roughly.
    QPainterPath land;
    land.moveTo(8, 6);
    land.cubicTo(14, 3, 20, 5, 19, 9);
    land.cubicTo(17, 12, 14, 13, 15, 16);
    land.cubicTo(19, 17, 22, 20, 20, 24);
    land.cubicTo(18, 28, 16, 30, 15, 29);
    land.cubicTo(15, 25, 13, 21, 12, 18);
    land.cubicTo(9, 15, 5, 11, 8, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 170, 70));
    p.drawPath(land);
}

} // namespace

QPixmap logo()
{
    QPixmap pixmap = canvas(88, 31);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 51, 153));
    p.drawRoundedRect(QRectF(0, 0, 88, 31), 4, 4);
    p.setBrush(QColor(204, 0, 0));
    p.drawRect(QRectF(0, 25, 88, 6));
    QFont f = p.font();
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 1, 88, 24), Qt::AlignCenter, QStringLiteral("Kartavio"));
    return pixmap;
}

QPixmap globe()
{
    QPixmap pixmap = canvas(32, 32);
    QPainter p(&pixmap);
    drawGlobe(p);
    return pixmap;
}

QPixmap arrow()
{
    QPixmap pixmap = canvas(32, 32);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 110), 1));
    p.setBrush(QColor(30, 80, 210));
    p.drawPolygon(QPolygonF({QPointF(16, 2), QPointF(30, 29), QPointF(2, 29)}));
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(10, 25), QPointF(15, 18), QPointF(17, 22), QPointF(22, 14)}));
    p.drawPolyline(QPolygonF({QPointF(18, 14), QPointF(22, 14), QPointF(22, 18)}));
    return pixmap;
}

QPixmap frowningFace()
{
    return face(false);
}

QPixmap smilingFace()
{
    return face(true);
}

QPixmap thermometer()
{
    QPixmap pixmap = canvas(32, 32);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(13, 2, 6, 22), 3, 3);
    p.setBrush(QColor(210, 30, 30));
    p.drawEllipse(QRectF(10, 20, 12, 11));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(14.5, 9, 3, 13));
    p.setPen(QPen(QColor(90, 90, 90), 1));
    for (int y = 6; y <= 18; y += 4)
        p.drawLine(QLineF(19, y, 22, y));
    return pixmap;
}

QPixmap flag()
{
    QPixmap pixmap = canvas(32, 32);
    QPainter p(&pixmap);
    const QRectF area(1, 7, 30, 18);
    for (int stripe = 0; stripe < 7; ++stripe) {
        p.fillRect(QRectF(area.left(), area.top() + stripe * area.height() / 7, area.width(), area.height() / 7 + 0.5),
                   stripe % 2 ? Qt::white : QColor(178, 34, 52));
    }
    p.fillRect(QRectF(area.left(), area.top(), 13, 10), QColor(60, 59, 110));
    p.setPen(Qt::white);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawPoint(QPointF(area.left() + 2 + col * 3, area.top() + 2 + row * 3));
    p.setPen(QColor(80, 80, 80));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area);
    return pixmap;
}

} // namespace Pictures
