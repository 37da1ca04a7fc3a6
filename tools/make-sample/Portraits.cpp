#include "Portraits.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr QPointF headCentre(40, 44);
constexpr double headHalfWidth = 16.5, headHalfHeight = 20.5;

void drawBackdrop(QPainter& painter, const QColor& colour)
{
    QRadialGradient studio(QPointF(36, 34), 70);
    studio.setColorAt(0, colour.lighter(125));
    studio.setColorAt(1, colour.darker(125));
    painter.fillRect(QRectF(0, 0, portraitWidth, portraitHeight), studio);
}

void drawShoulders(QPainter& painter, const Portrait& portrait)
{
    QLinearGradient cloth(QPointF(0, 76), QPointF(80, 100));
    cloth.setColorAt(0, portrait.clothes.lighter(120));
    cloth.setColorAt(1, portrait.clothes.darker(130));
    painter.setPen(Qt::NoPen);
    painter.setBrush(cloth);
    painter.drawEllipse(QPointF(40, 106), 39, 30);
    painter.setBrush(portrait.skin.darker(118));
    painter.drawRect(QRectF(33, 58, 14, 20));
    QPainterPath collar(QPointF(31, 78));
    collar.lineTo(40, 90);
    collar.lineTo(49, 78);
    collar.closeSubpath();
    painter.setBrush(portrait.skin.darker(112));
    painter.drawPath(collar);
}

void drawHairBehind(QPainter& painter, const Portrait& portrait)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(portrait.hair.darker(115));
    switch (portrait.style) {
    case HairStyle::Long: painter.drawRoundedRect(QRectF(20, 26, 40, 56), 14, 14); break;
    case HairStyle::Bob: painter.drawRoundedRect(QRectF(20, 24, 40, 42), 14, 14); break;
    case HairStyle::Bun: painter.drawEllipse(QPointF(40, 19), 8, 7); break;
    default: break;
    }
}

void drawFace(QPainter& painter, const Portrait& portrait)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(portrait.skin.darker(108));
    painter.drawEllipse(QPointF(23.5, 46), 3.5, 5);
    painter.drawEllipse(QPointF(56.5, 46), 3.5, 5);
    QRadialGradient light(headCentre - QPointF(5, 7), 26);
    light.setColorAt(0, portrait.skin.lighter(112));
    light.setColorAt(1, portrait.skin.darker(112));
    painter.setBrush(light);
    painter.drawEllipse(headCentre, headHalfWidth, headHalfHeight);

    painter.setBrush(QColor(230, 120, 120, 50));
    painter.drawEllipse(QPointF(31, 54), 4, 2.5);
    painter.drawEllipse(QPointF(49, 54), 4, 2.5);

    painter.setBrush(QColor(250, 250, 246));
    painter.drawEllipse(QPointF(33, 45), 3, 1.9);
    painter.drawEllipse(QPointF(47, 45), 3, 1.9);
    painter.setBrush(QColor(52, 40, 34));
    painter.drawEllipse(QPointF(33.3, 45), 1.6, 1.6);
    painter.drawEllipse(QPointF(47.3, 45), 1.6, 1.6);

    painter.setPen(QPen(portrait.hair.darker(130), 1.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(29.5, 40.5), QPointF(36, 39.5));
    painter.drawLine(QPointF(44, 39.5), QPointF(50.5, 40.5));

    painter.setPen(QPen(portrait.skin.darker(140), 1.1, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    QPainterPath nose(QPointF(40.5, 46));
    nose.quadTo(QPointF(38, 52), QPointF(38.5, 54));
    nose.quadTo(QPointF(40, 55), QPointF(42, 54));
    painter.drawPath(nose);

    painter.setPen(QPen(QColor(168, 70, 72), 1.5, Qt::SolidLine, Qt::RoundCap));
    QPainterPath smile(QPointF(34.5, 59));
    smile.quadTo(QPointF(40, 63), QPointF(45.5, 59));
    painter.drawPath(smile);
}

void drawBeard(QPainter& painter, const Portrait& portrait)
{
    QPainterPath beard(QPointF(24, 46));
    beard.cubicTo(QPointF(24, 70), QPointF(56, 70), QPointF(56, 46));
    beard.lineTo(53, 50);
    beard.cubicTo(QPointF(50, 57), QPointF(30, 57), QPointF(27, 50));
    beard.closeSubpath();
    QPainterPath mouth;
    mouth.addEllipse(QPointF(40, 60), 5.5, 2.2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(portrait.hair);
    painter.drawPath(beard.subtracted(mouth));
}

void drawHairOnTop(QPainter& painter, const Portrait& portrait)
{
    painter.setPen(Qt::NoPen);
    QLinearGradient sheen(QPointF(24, 18), QPointF(56, 40));
    sheen.setColorAt(0, portrait.hair.lighter(130));
    sheen.setColorAt(1, portrait.hair.darker(110));
    painter.setBrush(sheen);
    switch (portrait.style) {
    case HairStyle::Bald: {
        painter.setBrush(portrait.hair);
        painter.drawRoundedRect(QRectF(22, 38, 5, 12), 2, 2);
        painter.drawRoundedRect(QRectF(53, 38, 5, 12), 2, 2);
        painter.setBrush(QColor(255, 255, 255, 70));
        painter.drawEllipse(QPointF(34, 29), 5, 3);
        break;
    }
    case HairStyle::Curly:
        for (int i = 0; i < 13; ++i) {
            const double angle = 3.14159265358979323846 * (1.05 + i * 0.075);
            painter.drawEllipse(headCentre + QPointF(std::cos(angle) * 17, std::sin(angle) * 19 - 2), 6, 6);
        }
        break;
    default: {
        QPainterPath top(QPointF(23, 44));
        top.cubicTo(QPointF(20, 14), QPointF(60, 14), QPointF(57, 44));
        top.cubicTo(QPointF(54, 32), QPointF(44, 28), QPointF(36, 29));
        top.cubicTo(QPointF(30, 30), QPointF(26, 36), QPointF(23, 44));
        painter.drawPath(top);
        if (portrait.style == HairStyle::Long || portrait.style == HairStyle::Bob) {
            painter.drawRoundedRect(QRectF(20, 34, 7, portrait.style == HairStyle::Long ? 44 : 28), 3, 3);
            painter.drawRoundedRect(QRectF(53, 34, 7, portrait.style == HairStyle::Long ? 44 : 28), 3, 3);
        }
        break;
    }
    }
}

void drawGlasses(QPainter& painter)
{
    painter.setPen(QPen(QColor(40, 36, 40), 1.2));
    painter.setBrush(QColor(255, 255, 255, 30));
    painter.drawRoundedRect(QRectF(27, 41, 12, 8.5), 3, 3);
    painter.drawRoundedRect(QRectF(41, 41, 12, 8.5), 3, 3);
    painter.drawLine(QPointF(39, 44), QPointF(41, 44));
}

} // namespace

QImage drawPortrait(const Portrait& portrait)
{
    QImage photo(portraitWidth, portraitHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&photo);
    painter.setRenderHint(QPainter::Antialiasing);
    drawBackdrop(painter, portrait.background);
    drawHairBehind(painter, portrait);
    drawShoulders(painter, portrait);
    drawFace(painter, portrait);
    if (portrait.beard)
        drawBeard(painter, portrait);
    drawHairOnTop(painter, portrait);
    if (portrait.glasses)
        drawGlasses(painter);
    return photo;
}
