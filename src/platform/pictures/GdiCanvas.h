#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QTransform>

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kb::platform {

// What a metafile's pen, brush and font records create, in the file's own
// terms; the canvas turns them into Qt's when it draws.
struct GdiPen {
    std::uint32_t style = 0; // PS_* with end cap, join and PS_GEOMETRIC bits
    double width = 0;        // logical units; 0 is one device pixel
    QColor color = Qt::black;
    std::vector<double> userDashes; // PS_USERSTYLE lengths, logical units
};

struct GdiBrush {
    enum class Kind { Solid, Null, Hatched, Pattern };
    Kind kind = Kind::Solid;
    QColor color = Qt::white;
    int hatch = 0;
    QImage pattern;
};

struct GdiFont {
    double height = 0; // logical units: negative the em, positive the cell
    int weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    double escapement = 0; // tenths of a degree, anticlockwise
    QString face;
};

using GdiObject = std::variant<GdiPen, GdiBrush, GdiFont>;

class MetafileRecord;
// A logical font's numbers and flags from at, each number fieldBytes wide
// (two in Windows metafiles, four in enhanced ones); not its face.
GdiFont logicalFont(const MetafileRecord& record, std::size_t at, std::size_t fieldBytes);

// One device context, as GDI keeps it, drawing onto a picture with Qt's
// antialiased painter. Logical coordinates go through the world transform,
// then the page transform (mapping mode, window and viewport) into device
// units, which deviceToImage places in the picture's physical pixels.
class GdiCanvas {
public:
    enum class Arc { Open, Chord, Pie };

    // The ratio a picture of this size is drawn at: the one asked for, or
    // less where the picture would pass the limits.
    static double fittingRatio(QSize size, double ratio);

    // The picture is size at ratio physical pixels per pixel, on white.
    GdiCanvas(QSize size, double ratio, const QTransform& deviceToImage, QSizeF devicePixelsPerMillimetre);
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    QImage finish();

    // State.
    void save();
    void restore(int relative);
    void setMapMode(int mode);
    void setWindowOrigin(QPointF origin);
    void setWindowExtent(QSizeF extent);
    void setViewportOrigin(QPointF origin);
    void setViewportExtent(QSizeF extent);
    void setWorldTransform(const QTransform& transform);
    void modifyWorldTransform(const QTransform& transform, int mode);
    void select(const GdiObject& object);
    void selectStock(std::uint32_t index);
    void setTextAlign(std::uint32_t align) { m_dc.textAlign = align; }
    void setTextColor(QColor color) { m_dc.textColor = color; }
    void setBackgroundMode(int mode) { m_dc.opaqueBackground = mode == 2; }
    void setBackgroundColor(QColor color) { m_dc.backgroundColor = color; }
    void setPolygonFillMode(int mode) { m_dc.winding = mode == 2; }
    void setRop2(int mode) { m_dc.rop2 = mode; }
    void setMiterLimit(double limit) { m_dc.miterLimit = limit; }
    void moveTo(QPointF point);
    QPointF currentPosition() const { return m_dc.position; }

    // Drawing; inside a path bracket these add to the path instead.
    void lineTo(QPointF point);
    void polyline(const QPolygonF& points, bool fromCurrent = false);
    void polygon(const QPolygonF& points);
    void polyPolygon(const std::vector<QPolygonF>& polygons);
    void polyBezier(const QPolygonF& points, bool fromCurrent = false);
    void rectangle(const QRectF& box, QSizeF corner = {});
    void ellipse(const QRectF& box);
    void arc(const QRectF& box, QPointF start, QPointF end, Arc kind, bool toCurrent = false);
    void fillRect(const QRectF& box, const QBrush& brush);
    void patternBlit(const QRectF& box, std::uint32_t rop);
    void image(const QRectF& target, const QImage& image, const QRectF& source, std::uint32_t rop, double opacity = 1);
    void text(QPointF reference, const QString& text, const std::vector<double>& advances,
              std::optional<QRectF> opaqueBox);

    // Paths.
    void beginPath();
    void endPath() { m_inPath = false; }
    void abortPath();
    void closeFigure();
    void strokePath() { drawPath(true, false); }
    void fillPath() { drawPath(false, true); }
    void strokeAndFillPath() { drawPath(true, true); }

    // Clipping: rectangles in logical units, regions in device units.
    void intersectClip(const QRectF& box);
    void excludeClip(const QRectF& box);
    void selectClipRegion(const std::vector<QRectF>& deviceRects, int mode);
    void selectClipPath(int mode);

private:
    struct State {
        GdiPen pen;
        GdiBrush brush;
        GdiFont font;
        std::uint32_t textAlign = 0;
        QColor textColor = Qt::black;
        bool opaqueBackground = true;
        QColor backgroundColor = Qt::white;
        bool winding = false;
        int rop2 = 13;
        double miterLimit = 10;
        int mapMode = 1;
        QPointF windowOrigin, viewportOrigin;
        QSizeF windowExtent{1, 1}, viewportExtent{1, 1};
        QTransform world;
        QPointF position;
        std::optional<QPainterPath> clip; // physical pixels
    };

    // Whether a shape drawn over bounds (in the picture's pixels), widened
    // by a pen's reach, shows at all, and whether it stays near the picture.
    enum class Reach { Hidden, Near, Far };
    Reach reachOf(const QRectF& bounds, double widening) const;
    QRectF visibleArea() const;
    void fill(const QPainterPath& area, QBrush brush, const QTransform& toImage, Reach reach);

    // The Qt font a text record is set in, kept while the records that
    // follow use the same one.
    struct TextFont {
        GdiFont gdi;
        double em;
        QFont font;
        QFontMetricsF metrics;
    };
    const TextFont& textFont(double em);

    QTransform logicalToImage() const;
    void applyTransform();
    void applyClip();
    void combineClip(const QPainterPath& area, int mode);
    QPen qtPen() const;
    QBrush qtBrush() const;
    void draw(const QPainterPath& shape, bool closed);
    void drawPath(bool stroke, bool fill);
    QPainterPath arcPath(const QRectF& box, QPointF start, QPointF end, Arc kind) const;

    QImage m_image;
    QPainter m_painter;
    double m_ratio;
    QTransform m_deviceToImage;
    QSizeF m_pixelsPerMillimetre;
    State m_dc;
    std::vector<State> m_saved;
    bool m_inPath = false;
    QPainterPath m_path;
    std::optional<TextFont> m_textFont;
};

// Decodes a device-independent bitmap: its header and colours, then its bits.
// A null image when they do not make one; raises EInvalidGraphic "Metafile is
// not valid" when it declares more pixels than it holds or than the limit.
QImage decodeDib(std::string_view info, std::string_view bits);
// The same for a bitmap whose bits follow its header and colours.
QImage decodePackedDib(std::string_view dib);

} // namespace kb::platform
