#include "PhotoCards.h"

#include "Quantise.h"

#include <QPolygon>

namespace {

constexpr int cardWidth = 184, cardHeight = 100;

// Draws in pixels at 96 an inch whatever the file's own unit.
class CardPainter {
public:
    CardPainter(MetafileCanvas& canvas, int unitsPerPixel)
        : m_canvas(canvas)
        , m_scale(unitsPerPixel)
    {
    }

    QRect box(int x, int y, int width, int height) const
    {
        return {x * m_scale, y * m_scale, width * m_scale, height * m_scale};
    }
    QPoint at(int x, int y) const { return {x * m_scale, y * m_scale}; }
    MetafileCanvas* operator->() const { return &m_canvas; }
    int units(int pixels) const { return pixels * m_scale; }

private:
    MetafileCanvas& m_canvas;
    int m_scale;
};

void drawLandscape(const CardPainter& card, const Portrait& portrait)
{
    card->setPen(QColor());
    card->setBrush(portrait.background.lighter(150));
    card->rectangle(card.box(80, 0, cardWidth - 80, cardHeight));
    card->setBrush(QColor(250, 206, 90));
    card->ellipse(card.box(152, 44, 20, 20));
    const QColor hills[] = {QColor(120, 160, 100), QColor(90, 135, 80), QColor(70, 110, 65)};
    for (int hill = 0; hill < 3; ++hill) {
        std::vector<QPoint> outline{card.at(80, cardHeight)};
        for (int x = 80; x <= cardWidth; x += 8)
            outline.push_back(card.at(x, 74 + hill * 8 - ((x * (hill + 3)) % 13)));
        outline.push_back(card.at(cardWidth, cardHeight));
        card->setBrush(hills[hill]);
        card->polygon(outline);
    }
    card->setPen(QColor(60, 50, 40), card.units(1));
    for (int x = 92; x < cardWidth; x += 14) {
        card->line(card.at(x, 96), card.at(x, 86));
        card->setBrush(QColor(40, 100 + x % 40, 50));
        card->ellipse(card.box(x - 4, 78, 9, 10));
    }
}

void drawName(const CardPainter& card, const SampleAddress& address)
{
    card->setTextColour(QColor(20, 20, 40));
    card->setFont(card.units(12), "Arial", true);
    card->text(card.at(86, 6), address.alias);
    card->setFont(card.units(10), "Arial");
    card->text(card.at(86, 22), address.category);
    card->setPen(QColor(20, 20, 40), card.units(1));
    card->line(card.at(86, 38), card.at(cardWidth - 6, 38));
}

} // namespace

std::string photoCard(const SampleAddress& address, MetafileKind kind)
{
    const int unitsPerPixel = kind == MetafileKind::Enhanced ? 1 : 15;
    auto canvas = makeMetafileCanvas(kind, QSize(cardWidth, cardHeight) * unitsPerPixel, 96 * unitsPerPixel);
    const CardPainter card(*canvas, unitsPerPixel);
    drawLandscape(card, address.portrait);
    drawName(card, address);
    // The portrait is stored at twice the size it is shown, as a scanned
    // photo would be.
    const QImage portrait =
        drawPortrait(address.portrait)
            .scaled(2 * portraitWidth, 2 * portraitHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    canvas->bitmap(card.box(0, 0, portraitWidth, portraitHeight), toIndexed(portrait, 128, true));
    return canvas->bytes();
}
