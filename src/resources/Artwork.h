#pragma once

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QSize>

#include <functional>
#include <initializer_list>
#include <memory>

namespace kb::resources {

// A picture the program draws itself, at any device pixel ratio, so that it
// is as crisp on a scaled screen as at 1. Each ratio is drawn once, when first
// asked for, and kept; copies share what was drawn.
class Artwork {
public:
    // draw makes the picture of size device-independent pixels at a ratio
    // (see canvasAt).
    Artwork(QSize size, std::function<QImage(qreal ratio)> draw);

    QSize size() const { return m_size; }
    QImage operator()(qreal ratio) const;

private:
    struct Drawings;
    QSize m_size;
    std::shared_ptr<Drawings> m_drawings;
};

// A canvas for a picture of size device-independent pixels at ratio: the size
// times the ratio, rounded up, with the ratio set, so that a painter on it
// draws in device-independent pixels.
QImage canvasAt(QSize size, qreal ratio, QImage::Format format);

// Where the edge at device-independent position edge falls at ratio: one
// device-independent pixel stays a whole number of device pixels, so lines
// and bevels keep their width along the whole picture.
int deviceEdge(int edge, qreal ratio);

// The edge of area, one device-independent pixel wide: topLeft along the top
// and left, bottomRight along the bottom and right, which also takes the two
// corners where they meet. Filled bands rather than antialiased strokes,
// which would spread over two pixels at some ratios.
void drawEdge(QPainter& painter, const QRect& area, const QColor& topLeft, const QColor& bottomRight);

// One symbol of a pixel map and the colour it stands for; any other symbol
// is a transparent pixel.
struct Ink {
    char symbol;
    QRgb colour;
};

// A picture written as rows of symbols, one pixel each.
QImage fromPixelMap(std::initializer_list<const char*> rows, std::initializer_list<Ink> inks);

// A pixel map drawn at ratio: at 1 the map itself; otherwise each pixel
// becomes a square of its colour whose corners follow the diagonal edges of
// the shape (a staircase becomes a slope, a line's end stays square), with
// edges smoothed over the device pixels.
QImage pixelArtAt(const QImage& map, qreal ratio);

// A pixel map as artwork of its own size, drawn at any ratio as above.
Artwork pixelArt(const QImage& map);

// A small picture laid out in whole pixels, the way it is drawn at 1 without
// smoothing, painted on a transparent canvas at ratio. At other ratios it is
// smoothed, and shifted half a pixel right and down so that a one-pixel line
// still covers the pixels right of and below its coordinates, as at 1.
QImage paintedInPixels(QSize size, qreal ratio, const std::function<void(QPainter&)>& draw);

// The shift of such a painting, which a fill of whole pixels or a part laid
// out for smooth drawing takes back.
QPointF pixelShift(const QPainter& painter);
void fillPixels(QPainter& painter, const QRect& pixels, const QColor& colour);

} // namespace kb::resources
