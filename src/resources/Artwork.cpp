#include "Artwork.h"

#include <QPainter>

#include <cmath>
#include <cstring>
#include <map>

namespace kb::resources {

struct Artwork::Drawings {
    std::function<QImage(qreal)> draw;
    std::map<qreal, QImage> byRatio;
};

Artwork::Artwork(std::function<QImage(qreal ratio)> draw)
    : m_drawings(std::make_shared<Drawings>())
{
    m_drawings->draw = std::move(draw);
}

QImage Artwork::operator()(qreal ratio) const
{
    auto found = m_drawings->byRatio.find(ratio);
    if (found == m_drawings->byRatio.end())
        found = m_drawings->byRatio.emplace(ratio, m_drawings->draw(ratio)).first;
    return found->second;
}

QImage canvasAt(QSize size, qreal ratio, QImage::Format format)
{
    QImage canvas(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio)), format);
    canvas.setDevicePixelRatio(ratio);
    return canvas;
}

QImage fromPixelMap(std::initializer_list<const char*> rows, std::initializer_list<Ink> inks)
{
    const int width = int(std::strlen(*rows.begin()));
    QImage image(width, int(rows.size()), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; x < width && row[x] != '\0'; ++x) {
            for (const Ink& ink : inks) {
                if (ink.symbol == row[x])
                    image.setPixel(x, y, ink.colour);
            }
        }
        ++y;
    }
    return image;
}

int deviceEdge(int edge, qreal ratio)
{
    return int(std::lround(edge * ratio));
}

namespace {

QRgb mapPixel(const QImage& map, int x, int y)
{
    return map.rect().contains(x, y) ? map.pixel(x, y) : qRgba(0, 0, 0, 0);
}

// The colour at a point of the map: the pixel's own, unless the point lies in
// a corner that two neighbours of one other colour close off diagonally.
QRgb smoothedPixel(const QImage& map, double x, double y)
{
    const int column = int(std::floor(x)), row = int(std::floor(y));
    const double fx = x - column, fy = y - row;
    const int sx = fx < 0.5 ? -1 : 1, sy = fy < 0.5 ? -1 : 1;
    const QRgb own = mapPixel(map, column, row);
    const QRgb across = mapPixel(map, column + sx, row);
    const QRgb along = mapPixel(map, column, row + sy);
    const double towardsCorner = (sx > 0 ? fx : 1 - fx) + (sy > 0 ? fy : 1 - fy);
    // The neighbours on the far sides must differ, or the corner is the end
    // of a line, which stays square.
    const bool diagonalEdge = across == along && across != own && mapPixel(map, column - sx, row) != across
        && mapPixel(map, column, row - sy) != along;
    return diagonalEdge && towardsCorner > 1.5 ? across : own;
}

} // namespace

QImage pixelArtAt(const QImage& map, qreal ratio)
{
    if (ratio == 1)
        return map;
    constexpr int samples = 4;
    QImage picture = canvasAt(map.size(), ratio, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            int a = 0, r = 0, g = 0, b = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const QRgb c = qPremultiply(
                        smoothedPixel(map, (x + (sx + 0.5) / samples) / ratio, (y + (sy + 0.5) / samples) / ratio));
                    a += qAlpha(c);
                    r += qRed(c);
                    g += qGreen(c);
                    b += qBlue(c);
                }
            }
            constexpr int count = samples * samples;
            line[x] = qRgba((r + count / 2) / count, (g + count / 2) / count, (b + count / 2) / count,
                            (a + count / 2) / count);
        }
    }
    return picture;
}

QImage paintedInPixels(QSize size, qreal ratio, const std::function<void(QPainter&)>& draw)
{
    QImage picture = canvasAt(size, ratio, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    if (ratio != 1) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(0.5, 0.5);
    }
    draw(painter);
    return picture;
}

QPointF pixelShift(const QPainter& painter)
{
    return painter.device()->devicePixelRatioF() != 1 ? QPointF(0.5, 0.5) : QPointF();
}

void fillPixels(QPainter& painter, const QRect& pixels, const QColor& colour)
{
    painter.fillRect(QRectF(pixels).translated(-pixelShift(painter)), colour);
}

} // namespace kb::resources
