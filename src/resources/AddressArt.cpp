#include "AddressArt.h"

#include "resources/Artwork.h"
#include "resources/ArtworkIcon.h"
#include "resources/Palette16.h"

#include <QPainter>
#include <QPolygon>

namespace kb::resources {
namespace {

constexpr QSize pictureSize(16, 16);

struct LetterColours {
    QColor outline;
    QColor paper;
    QColor fold;
    QColor arrow;
};

void drawLetter(QPainter& painter, const LetterColours& colours, QPoint offset)
{
    painter.save();
    painter.translate(offset);
    painter.setPen(colours.outline);
    painter.setBrush(colours.paper);
    painter.drawRect(0, 4, 12, 9);
    painter.setPen(colours.fold);
    painter.drawLine(1, 5, 6, 9);
    painter.drawLine(6, 9, 11, 5);
    painter.drawLine(1, 12, 4, 9);
    painter.drawLine(11, 12, 8, 9);
    // The arrow that sends it off, at the top right.
    painter.setPen(colours.arrow);
    painter.drawLine(9, 2, 14, 2);
    painter.drawLine(12, 0, 14, 2);
    painter.drawLine(12, 4, 14, 2);
    painter.restore();
}

void drawAddressBook(QPainter& painter)
{
    // The cover and the pages.
    painter.setPen(vga::black);
    painter.setBrush(vga::maroon);
    painter.drawRect(1, 1, 12, 14);
    painter.setBrush(vga::white);
    painter.drawRect(3, 2, 9, 12);
    // Lines of an address.
    painter.setPen(vga::navy);
    painter.drawLine(5, 5, 10, 5);
    painter.drawLine(5, 8, 10, 8);
    painter.drawLine(5, 10, 9, 10);
    // The index tabs along the edge.
    const QColor tabs[] = {vga::red, vga::yellow, vga::lime, vga::aqua};
    for (int i = 0; i < 4; ++i)
        fillPixels(painter, QRect(13, 2 + i * 3, 2, 2), tabs[i]);
}

void drawDisabledLetter(QPainter& painter)
{
    const LetterColours highlight{vga::white, Qt::transparent, vga::white, vga::white};
    const LetterColours shadow{vga::grey, Qt::transparent, vga::grey, vga::grey};
    drawLetter(painter, highlight, {1, 2});
    drawLetter(painter, shadow, {0, 1});
}

} // namespace

QIcon addressIcon()
{
    static const Artwork icon(pictureSize,
                              [](qreal ratio) { return paintedInPixels(pictureSize, ratio, drawAddressBook); });
    return artworkIcon(icon);
}

QIcon sendMailIcon()
{
    static const Artwork normal(pictureSize, [](qreal ratio) {
        return paintedInPixels(pictureSize, ratio, [](QPainter& painter) {
            drawLetter(painter, {vga::black, vga::white, vga::grey, vga::red}, {0, 1});
        });
    });
    static const Artwork disabled(pictureSize,
                                  [](qreal ratio) { return paintedInPixels(pictureSize, ratio, drawDisabledLetter); });
    return artworkIcon(normal, disabled);
}

} // namespace kb::resources
