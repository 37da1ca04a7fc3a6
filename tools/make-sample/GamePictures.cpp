#include "GamePictures.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr int cell = 32;

// The colours of the tiles 1 to 7, close to the fills the game outlines them
// with, so a group and its outline belong together.
const QColor tileColours[] = {
    QColor(230, 70, 70),  QColor(70, 196, 70),  QColor(82, 98, 232),   QColor(216, 80, 216),
    QColor(60, 196, 206), QColor(238, 206, 56), QColor(150, 150, 150),
};

void drawTile(QPainter& painter, int left, const QColor& colour)
{
    const QRectF body(left + 1.5, 2.5, cell - 3, cell - 4);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, colour.lighter(145));
    fill.setColorAt(0.45, colour);
    fill.setColorAt(1, colour.darker(150));
    painter.setPen(QPen(colour.darker(230), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(body, 5, 5);

    // The raised rim: light on the upper left, shaded on the lower right.
    const QRectF rim = body.adjusted(1.5, 1.5, -1.5, -1.5);
    QLinearGradient edge(rim.topLeft(), rim.bottomRight());
    edge.setColorAt(0, QColor(255, 255, 255, 190));
    edge.setColorAt(0.5, QColor(255, 255, 255, 0));
    edge.setColorAt(0.51, QColor(0, 0, 0, 0));
    edge.setColorAt(1, QColor(0, 0, 0, 120));
    painter.setPen(QPen(QBrush(edge), 1.6));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rim, 3.5, 3.5);

    QRadialGradient gloss(QPointF(left + 11, 9), 7);
    gloss.setColorAt(0, QColor(255, 255, 255, 200));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gloss);
    painter.drawEllipse(QPointF(left + 11, 9), 8, 5);
}

QPolygonF star(QPointF centre, double outer, double inner)
{
    constexpr double pi = 3.14159265358979323846;
    QPolygonF points;
    for (int i = 0; i < 10; ++i) {
        const double angle = -pi / 2 + i * pi / 5;
        const double radius = i % 2 == 0 ? outer : inner;
        points << centre + QPointF(std::cos(angle) * radius, std::sin(angle) * radius);
    }
    return points;
}

void sparkle(QPainter& painter, QPointF at, double size)
{
    painter.setPen(QPen(QColor(255, 255, 255), 1));
    painter.drawLine(at - QPointF(size, 0), at + QPointF(size, 0));
    painter.drawLine(at - QPointF(0, size), at + QPointF(0, size));
}

} // namespace

QImage tileStrip()
{
    QImage strip(cell * 8, cell, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::black);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int tile = 1; tile <= 7; ++tile)
        drawTile(painter, tile * cell, tileColours[tile - 1]);
    return strip;
}

QImage magicEmblem()
{
    QImage emblem(32, 32, QImage::Format_ARGB32_Premultiplied);
    emblem.fill(QColor(0, 128, 255));
    QPainter painter(&emblem);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 28, 70), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(4, 28), QPointF(15, 17));
    painter.setPen(QPen(QColor(255, 255, 255), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(4, 28), QPointF(6, 26));

    const QPolygonF shape = star(QPointF(19.5, 12.5), 11, 4.6);
    QRadialGradient gold(QPointF(17, 9), 12);
    gold.setColorAt(0, QColor(255, 252, 200));
    gold.setColorAt(0.5, QColor(255, 226, 60));
    gold.setColorAt(1, QColor(236, 150, 20));
    painter.setPen(QPen(QColor(150, 70, 0), 1));
    painter.setBrush(gold);
    painter.drawPolygon(shape);
    sparkle(painter, QPointF(5.5, 7.5), 2.5);
    sparkle(painter, QPointF(27.5, 26.5), 2.5);
    sparkle(painter, QPointF(28.5, 3.5), 1.5);
    return emblem;
}
