#include "Artwork.h"

#include <QPainter>

#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

namespace kb::resources {

struct Artwork::Drawings {
    std::function<QImage(qreal)> draw;
    std::map<qreal, QImage> byRatio;
};

Artwork::Artwork(QSize size, std::function<QImage(qreal ratio)> draw)
    : m_size(size)
    , m_drawings(std::make_shared<Drawings>())
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

void drawEdge(QPainter& painter, const QRect& area, const QColor& topLeft, const QColor& bottomRight)
{
    painter.fillRect(QRect(area.left(), area.top(), area.width(), 1), topLeft);
    painter.fillRect(QRect(area.left(), area.top(), 1, area.height()), topLeft);
    painter.fillRect(QRect(area.left(), area.bottom(), area.width(), 1), bottomRight);
    painter.fillRect(QRect(area.right(), area.top(), 1, area.height()), bottomRight);
}

namespace {

// A pixel map with, for each pixel, the colour of each of its four corners
// that two neighbours of one other colour close off diagonally.
class SmoothedMap {
public:
    explicit SmoothedMap(const QImage& image)
        : m_width(image.width())
        , m_height(image.height())
        , m_cells(std::size_t(m_width) * std::size_t(m_height))
    {
        // Read by scan line: QImage::pixel would convert each of the five
        // reads a corner takes.
        const QImage map = image.convertToFormat(QImage::Format_ARGB32);
        for (int row = 0; row < m_height; ++row) {
            for (int column = 0; column < m_width; ++column) {
                Cell& cell = m_cells[index(column, row)];
                const QRgb own = pixel(map, column, row);
                cell.own = qPremultiply(own);
                for (int corner = 0; corner < 4; ++corner) {
                    const int sx = corner & 1 ? 1 : -1, sy = corner & 2 ? 1 : -1;
                    const QRgb across = pixel(map, column + sx, row);
                    const QRgb along = pixel(map, column, row + sy);
                    // The neighbours on the far sides must differ, or the
                    // corner is the end of a line, which stays square.
                    const bool diagonalEdge = across == along && across != own && pixel(map, column - sx, row) != across
                        && pixel(map, column, row - sy) != along;
                    cell.corners[corner] = diagonalEdge ? qPremultiply(across) : cell.own;
                    cell.plain = cell.plain && !diagonalEdge;
                }
            }
        }
    }

    // Whether the pixel at (column, row) is a plain square of its colour.
    bool plain(int column, int row) const { return !inside(column, row) || m_cells[index(column, row)].plain; }
    QRgb own(int column, int row) const { return inside(column, row) ? m_cells[index(column, row)].own : 0; }

    // The colour, premultiplied, at a point of the map: the pixel's own,
    // unless the point lies beyond the diagonal of a closed-off corner.
    QRgb at(double x, double y) const
    {
        const int column = int(std::floor(x)), row = int(std::floor(y));
        if (!inside(column, row))
            return 0;
        const double fx = x - column, fy = y - row;
        const bool right = fx >= 0.5, down = fy >= 0.5;
        const double towardsCorner = (right ? fx : 1 - fx) + (down ? fy : 1 - fy);
        const Cell& cell = m_cells[index(column, row)];
        return towardsCorner > 1.5 ? cell.corners[(right ? 1 : 0) | (down ? 2 : 0)] : cell.own;
    }

private:
    struct Cell {
        QRgb own = 0;
        std::array<QRgb, 4> corners{};
        bool plain = true;
    };

    static QRgb pixel(const QImage& map, int x, int y)
    {
        return map.rect().contains(x, y) ? reinterpret_cast<const QRgb*>(map.constScanLine(y))[x] : qRgba(0, 0, 0, 0);
    }
    bool inside(int column, int row) const { return column >= 0 && row >= 0 && column < m_width && row < m_height; }
    std::size_t index(int column, int row) const
    {
        return std::size_t(row) * std::size_t(m_width) + std::size_t(column);
    }

    int m_width;
    int m_height;
    std::vector<Cell> m_cells;
};

} // namespace

QImage pixelArtAt(const QImage& map, qreal ratio)
{
    if (ratio == 1)
        return map;
    constexpr int samples = 4;
    const SmoothedMap smoothed(map);
    QImage picture = canvasAt(map.size(), ratio, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        const int top = int(std::floor(y / ratio)), bottom = int(std::floor((y + 1) / ratio - 1e-9));
        for (int x = 0; x < picture.width(); ++x) {
            const int left = int(std::floor(x / ratio)), right = int(std::floor((x + 1) / ratio - 1e-9));
            // Inside one plain square the colour is the square's.
            if (left == right && top == bottom && smoothed.plain(left, top)) {
                line[x] = smoothed.own(left, top);
                continue;
            }
            int a = 0, r = 0, g = 0, b = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const QRgb c = smoothed.at((x + (sx + 0.5) / samples) / ratio, (y + (sy + 0.5) / samples) / ratio);
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

Artwork pixelArt(const QImage& map)
{
    return Artwork(map.size(), [map](qreal ratio) { return pixelArtAt(map, ratio); });
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
