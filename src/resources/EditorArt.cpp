#include "EditorArt.h"

#include "resources/ArtworkIcon.h"
#include "resources/Palette16.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <array>

namespace kb::resources {
namespace {

constexpr int titleWidth = 223;
constexpr int titleHeight = 50;
constexpr QSize toolSize(16, 16);

QImage blankPicture(int width, int height, qreal ratio)
{
    QImage picture = canvasAt(QSize(width, height), ratio, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    return picture;
}

// Faint ruled lines, as on writing paper, over the strip's gradient.
void drawRuling(QPainter& painter, int width, QColor colour)
{
    colour.setAlpha(60);
    for (int y = 6; y < titleHeight; y += 8)
        painter.fillRect(QRect(0, y, width, 1), colour);
}

void drawSheet(QPainter& painter, const QRect& sheet)
{
    painter.setPen(vga::black);
    painter.setBrush(vga::white);
    painter.drawRect(sheet);
    painter.setPen(vga::grey);
    for (int y = sheet.top() + 3; y < sheet.bottom() - 1; y += 2)
        painter.drawLine(sheet.left() + 2, y, sheet.right() - 2, y);
}

void drawOpen(QPainter& painter)
{
    // An opening folder.
    painter.setPen(vga::black);
    painter.setBrush(vga::olive);
    painter.drawPolygon(QPolygon({{1, 4}, {5, 4}, {6, 5}, {12, 5}, {12, 13}, {1, 13}}));
    painter.setBrush(vga::yellow);
    painter.drawPolygon(QPolygon({{3, 8}, {15, 8}, {12, 13}, {1, 13}}));
    painter.setPen(vga::black);
    painter.drawLine(10, 1, 13, 1);
    painter.drawLine(13, 1, 15, 3);
    painter.drawLine(15, 3, 13, 3);
}

void drawCancel(QPainter& painter)
{
    QPen pen(vga::red, 3);
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    painter.drawLine(4, 4, 11, 11);
    painter.drawLine(11, 4, 4, 11);
}

void drawSave(QPainter& painter)
{
    // A diskette: body, shutter and label.
    painter.setPen(vga::black);
    painter.setBrush(vga::navy);
    painter.drawRect(1, 1, 13, 13);
    painter.setBrush(vga::silver);
    painter.drawRect(4, 1, 7, 5);
    fillPixels(painter, QRect(8, 2, 2, 3), vga::navy);
    painter.setBrush(vga::white);
    painter.drawRect(3, 8, 9, 6);
    painter.setPen(vga::grey);
    painter.drawLine(5, 10, 10, 10);
    painter.drawLine(5, 12, 10, 12);
}

void drawSearch(QPainter& painter)
{
    // Laid out for smooth drawing.
    painter.translate(-pixelShift(painter));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(vga::black, 1.5));
    painter.setBrush(vga::aqua);
    painter.drawEllipse(QRectF(1.5, 1.5, 8.5, 8.5));
    painter.setPen(QPen(vga::maroon, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(10, 10), QPointF(14, 14));
}

void drawPageArrow(QPainter& painter, bool up)
{
    drawSheet(painter, QRect(1, 1, 9, 13));
    painter.setPen(vga::black);
    painter.setBrush(vga::green);
    const QPolygon arrow = up ? QPolygon({{12, 4}, {15, 8}, {13, 8}, {13, 14}, {11, 14}, {11, 8}, {9, 8}})
                              : QPolygon({{12, 14}, {15, 10}, {13, 10}, {13, 4}, {11, 4}, {11, 10}, {9, 10}});
    painter.drawPolygon(arrow);
}

void drawExit(QPainter& painter)
{
    // An open door with an arrow leaving through it.
    painter.setPen(vga::black);
    painter.setBrush(vga::grey);
    painter.drawRect(2, 1, 8, 14);
    painter.setBrush(vga::maroon);
    painter.drawPolygon(QPolygon({{2, 1}, {6, 3}, {6, 15}, {2, 15}}));
    painter.setBrush(vga::lime);
    painter.drawPolygon(QPolygon({{8, 6}, {11, 6}, {11, 4}, {15, 8}, {11, 12}, {11, 10}, {8, 10}}));
}

QImage drawTitleLeft(qreal ratio)
{
    QImage picture = blankPicture(titleWidth, titleHeight, ratio);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, titleWidth, 0);
    gradient.setColorAt(0.0, vga::navy);
    gradient.setColorAt(1.0, vga::blue.darker(140));
    painter.fillRect(picture.rect(), gradient);
    drawRuling(painter, titleWidth, vga::aqua);

    // A quill at the far right of the name, leaning over the ruling.
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath feather;
    feather.moveTo(170, 46);
    feather.cubicTo(182, 26, 200, 10, 216, 4);
    feather.cubicTo(206, 18, 192, 34, 170, 46);
    painter.setPen(QPen(vga::silver, 1));
    painter.setBrush(vga::white);
    painter.drawPath(feather);
    painter.setPen(QPen(vga::grey, 1));
    painter.drawLine(QPointF(170, 46), QPointF(208, 12));
    return picture;
}

QImage drawTitleRight(qreal ratio)
{
    QImage picture = blankPicture(titleWidth, titleHeight, ratio);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, titleWidth, 0);
    gradient.setColorAt(0.0, vga::blue.darker(140));
    gradient.setColorAt(1.0, vga::teal);
    painter.fillRect(picture.rect(), gradient);
    drawRuling(painter, titleWidth, vga::aqua);
    return picture;
}

void drawToolPicture(QPainter& painter, int index)
{
    switch (index) {
    case 0: drawOpen(painter); break;
    case 1: drawCancel(painter); break;
    case 2: drawSave(painter); break;
    case 3: drawSearch(painter); break;
    case 4: drawPageArrow(painter, true); break;
    case 5: drawPageArrow(painter, false); break;
    case 6: drawExit(painter); break;
    default: break;
    }
}

void drawEditorIcon(QPainter& painter)
{
    drawSheet(painter, QRect(1, 0, 11, 15));
    // The pencil is laid out for smooth drawing.
    painter.translate(-pixelShift(painter));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(vga::maroon, 2.5, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(7.5, 11.5), QPointF(14.5, 2.5));
    painter.setPen(QPen(vga::black, 1));
    painter.drawLine(QPointF(6.5, 13.5), QPointF(7.5, 11.5));
}

} // namespace

Artwork editorTitleLeft()
{
    static const Artwork picture(QSize(titleWidth, titleHeight), drawTitleLeft);
    return picture;
}

Artwork editorTitleRight()
{
    static const Artwork picture(QSize(titleWidth, titleHeight), drawTitleRight);
    return picture;
}

QIcon editorToolIcon(int index)
{
    static const std::array<Artwork, editorToolPictureCount> pictures = [] {
        const auto pictureOf = [](int index) {
            return Artwork(toolSize, [index](qreal ratio) {
                return paintedInPixels(toolSize, ratio,
                                       [index](QPainter& painter) { drawToolPicture(painter, index); });
            });
        };
        return std::array<Artwork, editorToolPictureCount>{pictureOf(0), pictureOf(1), pictureOf(2), pictureOf(3),
                                                           pictureOf(4), pictureOf(5), pictureOf(6)};
    }();
    return artworkIcon(pictures.at(std::size_t(index)));
}

QIcon editorIcon()
{
    static const Artwork icon(toolSize, [](qreal ratio) { return paintedInPixels(toolSize, ratio, drawEditorIcon); });
    return artworkIcon(icon);
}

} // namespace kb::resources
