#include "GdiCanvas.h"

#include "platform/pictures/Metafile.h"
#include "platform/pictures/MetafileRecord.h"
#include "platform/pictures/WindowsMetafileRecords.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_map>

namespace kb::platform {
namespace {

enum ClipMode { clipAnd = 1, clipOr = 2, clipXor = 3, clipDiff = 4, clipCopy = 5 };
enum Rop2 { r2Black = 1, r2Not = 6, r2Xor = 7, r2Nop = 11, r2White = 16 };
enum PenStyle { psDash = 1, psDot = 2, psDashDot = 3, psDashDotDot = 4, psNull = 5, psUserStyle = 7 };
constexpr std::uint32_t psStyleMask = 0xF, psCapMask = 0xF00, psJoinMask = 0xF000;
constexpr std::uint32_t psCapSquare = 0x100, psCapFlat = 0x200, psJoinBevel = 0x1000, psJoinMiter = 0x2000;
constexpr std::uint32_t taUpdateCp = 1, taRight = 2, taCentre = 6, taBottom = 8, taBaseline = 24;

// How far apart two points a unit apart in x (or y) land: the scale of a length.
double lengthScale(const QTransform& transform, QPointF unit)
{
    const QPointF moved = transform.map(unit) - transform.map(QPointF());
    return std::hypot(moved.x(), moved.y());
}

// Dash lengths in pen widths, as GDI draws its styles: in pixels for one
// pixel wide pens, in widths for wider ones.
QVector<qreal> dashPattern(std::uint32_t style, bool onePixel)
{
    switch (style & psStyleMask) {
    case psDash: return onePixel ? QVector<qreal>{18, 6} : QVector<qreal>{3, 1};
    case psDot: return onePixel ? QVector<qreal>{3, 3} : QVector<qreal>{1, 1};
    case psDashDot: return onePixel ? QVector<qreal>{9, 6, 3, 6} : QVector<qreal>{3, 1, 1, 1};
    case psDashDotDot: return onePixel ? QVector<qreal>{9, 3, 3, 3, 3, 3} : QVector<qreal>{3, 1, 1, 1, 1, 1};
    default: return {};
    }
}

Qt::BrushStyle hatchStyle(int hatch)
{
    switch (hatch) {
    case 0: return Qt::HorPattern;
    case 1: return Qt::VerPattern;
    case 2: return Qt::FDiagPattern;
    case 3: return Qt::BDiagPattern;
    case 4: return Qt::CrossPattern;
    default: return Qt::DiagCrossPattern;
    }
}

// A face the system has, or stands in for, by its name; others are set in
// the sans face, as GDI does for a name it does not know, without Qt's
// search for a face like an unknown name.
QString faceFor(const QString& name)
{
    // Asking the font database costs more than drawing the text, so its
    // answers are kept; a file naming ever new faces only refills the list.
    static std::mutex lock;
    static std::unordered_map<QString, QString> known;
    const std::lock_guard<std::mutex> guard(lock);
    if (const auto found = known.find(name); found != known.end())
        return found->second;
    if (known.size() >= 256)
        known.clear();
    const bool exists = !name.isEmpty() && (QFontDatabase::hasFamily(name) || !QFont::substitutes(name).isEmpty());
    return known.emplace(name, exists ? name : QStringLiteral("Arial")).first->second;
}

QPainterPath rectPath(const QRectF& box)
{
    QPainterPath path;
    path.addRect(box.normalized());
    return path;
}

} // namespace

GdiFont logicalFont(const MetafileRecord& record, std::size_t at, std::size_t fieldBytes)
{
    // Height, width, escapement, orientation and weight, then the flags.
    const auto number = [&](std::size_t field) {
        const std::size_t from = at + field * fieldBytes;
        return fieldBytes == 2 ? record.i16(from) : record.i32(from);
    };
    GdiFont font;
    font.height = number(0);
    font.escapement = number(2);
    font.weight = number(4);
    const std::size_t flags = at + 5 * fieldBytes;
    font.italic = record.u8(flags) != 0;
    font.underline = record.u8(flags + 1) != 0;
    font.strikeOut = record.u8(flags + 2) != 0;
    return font;
}

double GdiCanvas::fittingRatio(QSize size, double ratio)
{
    const int largest = std::max(size.width(), size.height());
    return largest * ratio > MetafileLimits::maxSide ? std::max(1.0, double(MetafileLimits::maxSide) / largest) : ratio;
}

GdiCanvas::GdiCanvas(QSize size, double ratio, const QTransform& deviceToImage, QSizeF devicePixelsPerMillimetre)
    : m_image(QSize(std::max(1, int(std::lround(size.width() * ratio))),
                    std::max(1, int(std::lround(size.height() * ratio)))),
              QImage::Format_ARGB32_Premultiplied)
    , m_ratio(ratio)
    , m_deviceToImage(deviceToImage)
    , m_pixelsPerMillimetre(devicePixelsPerMillimetre)
{
    m_image.fill(Qt::white);
    m_painter.begin(&m_image);
    m_painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    m_dc.pen = GdiPen{};
    m_dc.font.face = QStringLiteral("Arial");
}

QImage GdiCanvas::finish()
{
    m_painter.end();
    m_image.setDevicePixelRatio(m_ratio);
    return std::move(m_image);
}

void GdiCanvas::save()
{
    m_saved.push_back(m_dc);
}

void GdiCanvas::restore(int relative)
{
    const long long index = relative < 0 ? static_cast<long long>(m_saved.size()) + relative : relative - 1;
    if (index < 0 || index >= static_cast<long long>(m_saved.size()))
        return;
    m_dc = m_saved[std::size_t(index)];
    m_saved.resize(std::size_t(index));
    applyClip();
}

void GdiCanvas::setMapMode(int mode)
{
    if (mode >= 1 && mode <= 8)
        m_dc.mapMode = mode;
}

void GdiCanvas::setWindowOrigin(QPointF origin)
{
    m_dc.windowOrigin = origin;
}

void GdiCanvas::setWindowExtent(QSizeF extent)
{
    if (extent.width() != 0 && extent.height() != 0)
        m_dc.windowExtent = extent;
}

void GdiCanvas::setViewportOrigin(QPointF origin)
{
    m_dc.viewportOrigin = origin;
}

void GdiCanvas::setViewportExtent(QSizeF extent)
{
    if (extent.width() != 0 && extent.height() != 0)
        m_dc.viewportExtent = extent;
}

void GdiCanvas::setWorldTransform(const QTransform& transform)
{
    if (transform.isInvertible())
        m_dc.world = transform;
}

void GdiCanvas::modifyWorldTransform(const QTransform& transform, int mode)
{
    QTransform result;
    switch (mode) {
    case 1: break; // MWT_IDENTITY
    case 2: result = transform * m_dc.world; break;
    case 3: result = m_dc.world * transform; break;
    case 4: result = transform; break;
    default: return;
    }
    setWorldTransform(result);
}

void GdiCanvas::select(const GdiObject& object)
{
    if (const auto* pen = std::get_if<GdiPen>(&object))
        m_dc.pen = *pen;
    else if (const auto* brush = std::get_if<GdiBrush>(&object))
        m_dc.brush = *brush;
    else if (const auto* font = std::get_if<GdiFont>(&object))
        m_dc.font = *font;
}

void GdiCanvas::selectStock(std::uint32_t index)
{
    const auto brush = [this](GdiBrush::Kind kind, QColor color) { m_dc.brush = GdiBrush{kind, color, 0, {}}; };
    const auto pen = [this](std::uint32_t style, QColor color) { m_dc.pen = GdiPen{style, 0, color, {}}; };
    switch (index & 0x7FFFFFFF) {
    case 0: brush(GdiBrush::Kind::Solid, Qt::white); break;
    case 1: brush(GdiBrush::Kind::Solid, QColor(192, 192, 192)); break;
    case 2: brush(GdiBrush::Kind::Solid, QColor(128, 128, 128)); break;
    case 3: brush(GdiBrush::Kind::Solid, QColor(64, 64, 64)); break;
    case 4: brush(GdiBrush::Kind::Solid, Qt::black); break;
    case 5: brush(GdiBrush::Kind::Null, Qt::black); break;
    case 6: pen(0, Qt::white); break;
    case 7: pen(0, Qt::black); break;
    case 8: pen(psNull, Qt::black); break;
    case 10:
    case 11:
    case 16: m_dc.font = GdiFont{-13, 400, false, false, false, 0, QStringLiteral("Courier New")}; break;
    case 12:
    case 13:
    case 14:
    case 17: m_dc.font = GdiFont{-13, 400, false, false, false, 0, QStringLiteral("Arial")}; break;
    default: break;
    }
}

QTransform GdiCanvas::logicalToImage() const
{
    const State& dc = m_dc;
    double sx = 1, sy = 1;
    switch (dc.mapMode) {
    case 1: break;
    case 7:
    case 8:
        sx = dc.viewportExtent.width() / dc.windowExtent.width();
        sy = dc.viewportExtent.height() / dc.windowExtent.height();
        if (dc.mapMode == 7) {
            const double both = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(both, sx);
            sy = std::copysign(both, sy);
        }
        break;
    default: {
        // Millimetres per logical unit of the fixed modes; y grows upwards.
        constexpr double millimetres[] = {0.1, 0.01, 0.254, 0.0254, 25.4 / 1440};
        const double unit = millimetres[dc.mapMode - 2];
        sx = m_pixelsPerMillimetre.width() * unit;
        sy = -m_pixelsPerMillimetre.height() * unit;
    }
    }
    const QTransform page(sx, 0, 0, sy, dc.viewportOrigin.x() - dc.windowOrigin.x() * sx,
                          dc.viewportOrigin.y() - dc.windowOrigin.y() * sy);
    return dc.world * page * m_deviceToImage;
}

void GdiCanvas::applyClip()
{
    m_painter.resetTransform();
    if (m_dc.clip)
        m_painter.setClipPath(*m_dc.clip);
    else
        m_painter.setClipping(false);
}

void GdiCanvas::combineClip(const QPainterPath& area, int mode)
{
    const QPainterPath whole = rectPath(QRectF(m_image.rect()));
    const QPainterPath current = m_dc.clip.value_or(whole);
    switch (mode) {
    case clipAnd: m_dc.clip = current.intersected(area); break;
    case clipOr: m_dc.clip = current.united(area); break;
    case clipXor: m_dc.clip = current.united(area).subtracted(current.intersected(area)); break;
    case clipDiff: m_dc.clip = current.subtracted(area); break;
    case clipCopy: m_dc.clip = area; break;
    default: return;
    }
    applyClip();
}

void GdiCanvas::intersectClip(const QRectF& box)
{
    combineClip(logicalToImage().map(rectPath(box)), clipAnd);
}

void GdiCanvas::excludeClip(const QRectF& box)
{
    combineClip(logicalToImage().map(rectPath(box)), clipDiff);
}

void GdiCanvas::selectClipRegion(const std::vector<QRectF>& deviceRects, int mode)
{
    if (deviceRects.empty() && mode == clipCopy) {
        m_dc.clip.reset();
        applyClip();
        return;
    }
    QPainterPath area;
    for (const QRectF& rect : deviceRects)
        area.addRect(rect.normalized());
    area = m_deviceToImage.map(area.simplified());
    combineClip(area, mode);
}

void GdiCanvas::selectClipPath(int mode)
{
    QPainterPath area = logicalToImage().map(m_path);
    area.setFillRule(m_dc.winding ? Qt::WindingFill : Qt::OddEvenFill);
    m_path = QPainterPath();
    m_inPath = false;
    combineClip(area.simplified(), mode);
}

QPen GdiCanvas::qtPen() const
{
    const GdiPen& gdi = m_dc.pen;
    const std::uint32_t style = gdi.style & psStyleMask;
    if (style == psNull || m_dc.rop2 == r2Nop)
        return Qt::NoPen;
    QColor color = gdi.color;
    if (m_dc.rop2 == r2Black)
        color = Qt::black;
    else if (m_dc.rop2 == r2White)
        color = Qt::white;
    QPen pen(color);
    const bool onePixel = gdi.width <= 0;
    if (onePixel) {
        // One device pixel, whatever the transform.
        pen.setCosmetic(true);
        pen.setWidthF(std::max(1.0, lengthScale(m_deviceToImage, {1, 0})));
    } else {
        pen.setWidthF(gdi.width);
    }
    switch (gdi.style & psCapMask) {
    case psCapSquare: pen.setCapStyle(Qt::SquareCap); break;
    case psCapFlat: pen.setCapStyle(Qt::FlatCap); break;
    default: pen.setCapStyle(Qt::RoundCap);
    }
    switch (gdi.style & psJoinMask) {
    case psJoinBevel: pen.setJoinStyle(Qt::BevelJoin); break;
    case psJoinMiter:
        pen.setJoinStyle(Qt::MiterJoin);
        // GDI's limit is the miter's length to the width; Qt's is its reach
        // from the joint.
        pen.setMiterLimit(m_dc.miterLimit / 2);
        break;
    default: pen.setJoinStyle(Qt::RoundJoin);
    }
    if (style == psUserStyle && !gdi.userDashes.empty()) {
        const double unit = onePixel ? 1 : gdi.width;
        QVector<qreal> dashes;
        for (double length : gdi.userDashes)
            dashes.push_back(std::max(length / unit, 0.01));
        if (dashes.size() % 2)
            dashes += dashes;
        pen.setDashPattern(dashes);
    } else if (const QVector<qreal> dashes = dashPattern(gdi.style, onePixel); !dashes.isEmpty()) {
        pen.setDashPattern(dashes);
    }
    return pen;
}

QBrush GdiCanvas::qtBrush() const
{
    const GdiBrush& gdi = m_dc.brush;
    QBrush brush;
    switch (gdi.kind) {
    case GdiBrush::Kind::Null: return Qt::NoBrush;
    case GdiBrush::Kind::Solid: return gdi.color;
    case GdiBrush::Kind::Hatched: brush = QBrush(gdi.color, hatchStyle(gdi.hatch)); break;
    case GdiBrush::Kind::Pattern:
        if (gdi.pattern.isNull())
            return gdi.color;
        brush = QBrush(gdi.pattern);
        break;
    }
    // Patterns repeat in device pixels, not in logical units.
    const double pixel = lengthScale(m_deviceToImage, {1, 0});
    brush.setTransform(QTransform::fromScale(pixel, pixel) * logicalToImage().inverted());
    return brush;
}

GdiCanvas::Reach GdiCanvas::reachOf(const QRectF& bounds, double widening) const
{
    if (!std::isfinite(bounds.left()) || !std::isfinite(bounds.top()) || !std::isfinite(bounds.right())
        || !std::isfinite(bounds.bottom()) || !std::isfinite(widening))
        return Reach::Hidden;
    const QRectF touched = bounds.adjusted(-widening, -widening, widening, widening);
    const QRectF seen = visibleArea();
    if (!touched.intersects(seen))
        return Reach::Hidden;
    // Qt's rasteriser walks every row an edge spans, seen or not: a shape
    // that reaches well past the picture is cut to it before it is drawn.
    const double margin = std::max(m_image.width(), m_image.height());
    return seen.adjusted(-margin, -margin, margin, margin).contains(touched) ? Reach::Near : Reach::Far;
}

QRectF GdiCanvas::visibleArea() const
{
    QRectF seen(m_image.rect());
    if (m_dc.clip)
        seen &= m_dc.clip->controlPointRect();
    return seen.adjusted(-2, -2, 2, 2);
}

void GdiCanvas::fill(const QPainterPath& area, QBrush brush, const QTransform& toImage, Reach reach)
{
    if (reach == Reach::Hidden)
        return;
    if (reach == Reach::Near) {
        m_painter.setTransform(toImage);
        m_painter.fillPath(area, brush);
        return;
    }
    brush.setTransform(brush.transform() * toImage);
    m_painter.resetTransform();
    m_painter.fillPath(toImage.map(area).intersected(rectPath(visibleArea())), brush);
}

void GdiCanvas::draw(const QPainterPath& shape, bool closed)
{
    if (m_inPath) {
        m_path.addPath(shape);
        return;
    }
    const QTransform toImage = logicalToImage();
    const QPen pen = qtPen();
    double widening = 0;
    if (pen.style() != Qt::NoPen) {
        widening = pen.isCosmetic()
            ? pen.widthF()
            : pen.widthF() * std::max(lengthScale(toImage, {1, 0}), lengthScale(toImage, {0, 1}));
        if (pen.joinStyle() == Qt::MiterJoin)
            widening *= std::max(1.0, pen.miterLimit());
    }
    const Reach reach = reachOf(toImage.mapRect(shape.controlPointRect()), widening);
    if (reach == Reach::Hidden)
        return;
    m_painter.setCompositionMode(m_dc.rop2 == r2Xor       ? QPainter::RasterOp_SourceXorDestination
                                     : m_dc.rop2 == r2Not ? QPainter::RasterOp_NotDestination
                                                          : QPainter::CompositionMode_SourceOver);
    if (closed && m_dc.rop2 != r2Nop) {
        if (m_dc.brush.kind == GdiBrush::Kind::Hatched && m_dc.opaqueBackground)
            fill(shape, m_dc.backgroundColor, toImage, reach);
        if (const QBrush brush = qtBrush(); brush.style() != Qt::NoBrush)
            fill(shape, brush, toImage, reach);
    }
    if (pen.style() != Qt::NoPen) {
        // A far stroke is outlined here, in the picture's pixels for a
        // cosmetic pen, and cut like a fill.
        if (reach == Reach::Far && pen.isCosmetic()) {
            QPen wide = pen;
            wide.setCosmetic(false);
            fill(QPainterPathStroker(wide).createStroke(toImage.map(shape)), pen.brush(), QTransform(), reach);
        } else if (reach == Reach::Far) {
            fill(QPainterPathStroker(pen).createStroke(shape), pen.brush(), toImage, reach);
        } else {
            m_painter.setTransform(toImage);
            m_painter.strokePath(shape, pen);
        }
    }
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void GdiCanvas::moveTo(QPointF point)
{
    m_dc.position = point;
    if (m_inPath)
        m_path.moveTo(point);
}

void GdiCanvas::lineTo(QPointF point)
{
    polyline(QPolygonF{point}, true);
}

void GdiCanvas::polyline(const QPolygonF& points, bool fromCurrent)
{
    if (points.isEmpty())
        return;
    QPainterPath shape;
    shape.moveTo(fromCurrent ? m_dc.position : points.first());
    for (qsizetype i = fromCurrent ? 0 : 1; i < points.size(); ++i)
        shape.lineTo(points[i]);
    if (fromCurrent)
        m_dc.position = points.last();
    if (m_inPath && fromCurrent && m_path.elementCount() > 0 && m_path.currentPosition() == shape.elementAt(0)) {
        for (qsizetype i = 0; i < points.size(); ++i)
            m_path.lineTo(points[i]);
        return;
    }
    draw(shape, false);
}

void GdiCanvas::polygon(const QPolygonF& points)
{
    polyPolygon({points});
}

void GdiCanvas::polyPolygon(const std::vector<QPolygonF>& polygons)
{
    QPainterPath shape;
    shape.setFillRule(m_dc.winding ? Qt::WindingFill : Qt::OddEvenFill);
    for (const QPolygonF& points : polygons) {
        if (points.isEmpty())
            continue;
        shape.addPolygon(points);
        shape.closeSubpath();
    }
    draw(shape, true);
}

void GdiCanvas::polyBezier(const QPolygonF& points, bool fromCurrent)
{
    if (points.isEmpty())
        return;
    QPainterPath shape;
    qsizetype i = 0;
    shape.moveTo(fromCurrent ? m_dc.position : points[i++]);
    for (; i + 2 < points.size(); i += 3)
        shape.cubicTo(points[i], points[i + 1], points[i + 2]);
    if (fromCurrent)
        m_dc.position = shape.currentPosition();
    if (m_inPath && fromCurrent && m_path.elementCount() > 0 && m_path.currentPosition() == shape.elementAt(0)) {
        m_path.connectPath(shape);
        return;
    }
    draw(shape, false);
}

void GdiCanvas::rectangle(const QRectF& box, QSizeF corner)
{
    QPainterPath shape;
    if (corner.isEmpty())
        shape.addRect(box.normalized());
    else
        shape.addRoundedRect(box.normalized(), corner.width() / 2, corner.height() / 2);
    draw(shape, true);
}

void GdiCanvas::ellipse(const QRectF& box)
{
    QPainterPath shape;
    shape.addEllipse(box.normalized());
    draw(shape, true);
}

QPainterPath GdiCanvas::arcPath(const QRectF& rawBox, QPointF start, QPointF end, Arc kind) const
{
    const QRectF box = rawBox.normalized();
    const QPointF centre = box.center();
    const auto angleOf = [&](QPointF point) {
        const double rx = std::max(box.width() / 2, 1e-9), ry = std::max(box.height() / 2, 1e-9);
        return std::atan2(-(point.y() - centre.y()) / ry, (point.x() - centre.x()) / rx) * 180 / M_PI;
    };
    const double from = angleOf(start);
    double sweep = std::fmod(angleOf(end) - from + 720, 360.0);
    if (sweep <= 1e-9)
        sweep = 360;
    // Arcs run anticlockwise as the device shows them: against Qt's sense
    // of angles where the transform turns the picture over.
    if (logicalToImage().determinant() < 0)
        sweep -= 360;
    QPainterPath path;
    if (kind == Arc::Pie)
        path.moveTo(centre);
    else
        path.arcMoveTo(box, from);
    path.arcTo(box, from, sweep);
    if (kind != Arc::Open)
        path.closeSubpath();
    return path;
}

void GdiCanvas::arc(const QRectF& box, QPointF start, QPointF end, Arc kind, bool toCurrent)
{
    QPainterPath shape = arcPath(box, start, end, kind);
    if (toCurrent) {
        QPainterPath joined;
        joined.moveTo(m_dc.position);
        joined.connectPath(shape);
        shape = joined;
        m_dc.position = shape.currentPosition();
    }
    draw(shape, kind != Arc::Open);
}

void GdiCanvas::fillRect(const QRectF& box, const QBrush& brush)
{
    const QTransform toImage = logicalToImage();
    const QPainterPath area = rectPath(box);
    fill(area, brush, toImage, reachOf(toImage.mapRect(area.controlPointRect()), 0));
}

void GdiCanvas::patternBlit(const QRectF& box, std::uint32_t rop)
{
    switch (rop) {
    case 0x00000042: fillRect(box, Qt::black); break;
    case 0x00FF0062: fillRect(box, Qt::white); break;
    case 0x00550009:
        m_painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        fillRect(box, Qt::white);
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    case 0x00AA0029: break; // the destination as it is
    default:
        if (const QBrush brush = qtBrush(); brush.style() != Qt::NoBrush)
            fillRect(box, brush);
    }
}

void GdiCanvas::image(const QRectF& target, const QImage& picture, const QRectF& source, std::uint32_t rop,
                      double opacity)
{
    if (picture.isNull() || source.width() == 0 || source.height() == 0)
        return;
    // Drawn as 32-bit pixels: Qt 6.4's smooth transform of 8- and 24-bit
    // images reads a byte past their end, which made a picture's edge differ
    // from one drawing to the next.
    QImage drawn = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (rop) {
    case 0x008800C6: mode = QPainter::CompositionMode_Multiply; break;      // SRCAND
    case 0x00EE0086: mode = QPainter::RasterOp_SourceOrDestination; break;  // SRCPAINT
    case 0x00660046: mode = QPainter::RasterOp_SourceXorDestination; break; // SRCINVERT
    case 0x00330008: drawn.invertPixels(); break;                           // NOTSRCCOPY
    case 0x00AA0029: return;                                                // DSTCOPY
    default: break;
    }
    const QTransform place(target.width() / source.width(), 0, 0, target.height() / source.height(),
                           target.x() - source.x() * target.width() / source.width(),
                           target.y() - source.y() * target.height() / source.height());
    m_painter.setTransform(place * logicalToImage());
    m_painter.setCompositionMode(mode);
    m_painter.setOpacity(opacity);
    m_painter.drawImage(source.topLeft(), drawn, source);
    m_painter.setOpacity(1);
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

const GdiCanvas::TextFont& GdiCanvas::textFont(double em)
{
    const GdiFont& gdi = m_dc.font;
    if (m_textFont && m_textFont->em == em && m_textFont->gdi.height == gdi.height
        && m_textFont->gdi.weight == gdi.weight && m_textFont->gdi.italic == gdi.italic
        && m_textFont->gdi.underline == gdi.underline && m_textFont->gdi.strikeOut == gdi.strikeOut
        && m_textFont->gdi.face == gdi.face)
        return *m_textFont;
    QFont font(faceFor(gdi.face));
    font.setWeight(QFont::Weight(std::clamp(gdi.weight > 0 ? gdi.weight : 400, 1, 1000)));
    font.setItalic(gdi.italic);
    font.setUnderline(gdi.underline);
    font.setStrikeOut(gdi.strikeOut);
    const double dpi = m_image.logicalDpiY() > 0 ? m_image.logicalDpiY() : 96;
    // Glyphs far larger than any picture would only cost the time to draw
    // the sliver of one that shows.
    const double largest = 4.0 * MetafileLimits::maxSide;
    const auto setPixels = [&](double pixels) { font.setPointSizeF(std::clamp(pixels, 0.1, largest) * 72 / dpi); };
    setPixels(em);
    if (gdi.height > 0) {
        // A positive height is the cell's: ascent and descent together.
        const QFontMetricsF cell(font);
        if (cell.ascent() + cell.descent() > 0)
            setPixels(em * em / (cell.ascent() + cell.descent()));
    }
    m_textFont.emplace(TextFont{gdi, em, font, QFontMetricsF(font)});
    return *m_textFont;
}

void GdiCanvas::text(QPointF reference, const QString& text, const std::vector<double>& advances,
                     std::optional<QRectF> opaqueBox)
{
    const QTransform toImage = logicalToImage();
    if (opaqueBox) {
        const QPainterPath box = rectPath(*opaqueBox);
        fill(box, m_dc.backgroundColor, toImage, reachOf(toImage.mapRect(box.controlPointRect()), 0));
    }
    if (text.isEmpty())
        return;
    const GdiFont& gdi = m_dc.font;
    const double across = lengthScale(toImage, {1, 0}), down = lengthScale(toImage, {0, 1});
    const double em = gdi.height == 0 ? 12 * lengthScale(m_deviceToImage, {0, 1}) : std::abs(gdi.height) * down;
    const TextFont& chosen = textFont(em);
    const QFont& font = chosen.font;
    const QFontMetricsF& metrics = chosen.metrics;

    double width = 0;
    if (!advances.empty()) {
        for (double advance : advances)
            width += advance * across;
    } else {
        width = metrics.horizontalAdvance(text);
    }
    const bool updatesPosition = m_dc.textAlign & taUpdateCp;
    const QPointF origin = toImage.map(updatesPosition ? m_dc.position : reference);
    double x = 0;
    if ((m_dc.textAlign & taCentre) == taCentre)
        x = -width / 2;
    else if (m_dc.textAlign & taRight)
        x = -width;
    double y = metrics.ascent();
    if ((m_dc.textAlign & taBaseline) == taBaseline)
        y = 0;
    else if (m_dc.textAlign & taBottom)
        y = -metrics.descent();
    if (updatesPosition && across > 0) {
        const double right = (m_dc.textAlign & taRight) ? -1 : 1;
        m_dc.position += QPointF(right * width / across, 0);
    }

    QTransform placed = QTransform::fromTranslate(origin.x(), origin.y());
    placed.rotate(-gdi.escapement / 10);
    const QRectF cell(std::min(x, x + width), y - metrics.ascent(), std::abs(width),
                      metrics.ascent() + metrics.descent());
    // Glyphs may overhang their cell, by about an em at most.
    const Reach reach = reachOf(placed.mapRect(cell), metrics.height());
    if (reach == Reach::Hidden)
        return;
    if (m_dc.opaqueBackground && !opaqueBox)
        fill(rectPath(QRectF(x, y - metrics.ascent(), width, metrics.ascent() + metrics.descent())),
             m_dc.backgroundColor, placed, reach);
    QPainterPath outlines;
    const auto drawRun = [&](QPointF at, const QString& run) {
        if (reach == Reach::Far) {
            outlines.addText(at, font, run);
        } else {
            m_painter.drawText(at, run);
        }
    };
    m_painter.setTransform(placed);
    m_painter.setFont(font);
    m_painter.setPen(m_dc.textColor);
    if (advances.empty()) {
        drawRun(QPointF(x, y), text);
    } else {
        double at = x;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool pair = text[i].isHighSurrogate() && i + 1 < text.size();
            drawRun(QPointF(at, y), text.mid(i, pair ? 2 : 1));
            for (int unit = 0; unit < (pair ? 2 : 1); ++unit)
                at += std::size_t(i + unit) < advances.size() ? advances[std::size_t(i + unit)] * across : 0;
            i += pair ? 1 : 0;
        }
    }
    if (reach == Reach::Far)
        fill(outlines, m_dc.textColor, placed, reach);
}

void GdiCanvas::beginPath()
{
    m_path = QPainterPath();
    m_path.moveTo(m_dc.position);
    m_inPath = true;
}

void GdiCanvas::abortPath()
{
    m_path = QPainterPath();
    m_inPath = false;
}

void GdiCanvas::closeFigure()
{
    if (m_inPath)
        m_path.closeSubpath();
}

void GdiCanvas::drawPath(bool stroke, bool fill)
{
    QPainterPath shape = m_path;
    shape.setFillRule(m_dc.winding ? Qt::WindingFill : Qt::OddEvenFill);
    m_path = QPainterPath();
    m_inPath = false;
    const GdiPen pen = m_dc.pen;
    const GdiBrush brush = m_dc.brush;
    if (!stroke)
        m_dc.pen.style = psNull;
    if (!fill)
        m_dc.brush.kind = GdiBrush::Kind::Null;
    draw(shape, true);
    m_dc.pen = pen;
    m_dc.brush = brush;
}

QImage decodeDib(std::string_view info, std::string_view bits)
{
    constexpr std::size_t fileHeaderBytes = 14;
    if (info.size() < 16)
        return {};
    const auto little = [&](std::size_t at) {
        return std::uint32_t(std::uint8_t(info[at])) | std::uint32_t(std::uint8_t(info[at + 1])) << 8
            | std::uint32_t(std::uint8_t(info[at + 2])) << 16 | std::uint32_t(std::uint8_t(info[at + 3])) << 24;
    };
    // A bitmap declaring more pixels than it carries, or than the limit, makes
    // the file invalid rather than costing the memory it asks for.
    const bool core = little(0) == 12;
    const std::int64_t width = core ? little(4) & 0xFFFF : std::int32_t(little(4));
    const std::int64_t height = core ? little(4) >> 16 : std::abs(std::int64_t(std::int32_t(little(8))));
    const std::uint32_t depth = core ? little(8) >> 16 : little(12) >> 16;
    const std::uint32_t compression = core ? 0 : little(16);
    const std::uint64_t pixels = std::uint64_t(std::max<std::int64_t>(width, 0)) * std::uint64_t(height);
    const std::uint64_t rowBytes = (std::uint64_t(std::max<std::int64_t>(width, 0)) * depth + 31) / 32 * 4;
    if (width < 0 || pixels > maxMetafileBitmapPixels
        || ((compression == 0 || compression == 3) && rowBytes * std::uint64_t(height) > bits.size()))
        throwInvalidMetafile();
    // Embedded PNG and JPEG pictures keep their own file in the bits.
    if (!core) {
        if (compression == 4 || compression == 5) {
            QImage embedded;
            embedded.loadFromData(reinterpret_cast<const uchar*>(bits.data()), int(bits.size()),
                                  compression == 5 ? "PNG" : "JPG");
            return embedded;
        }
    }
    QByteArray file(qsizetype(fileHeaderBytes), '\0');
    const std::uint32_t total = std::uint32_t(fileHeaderBytes + info.size() + bits.size());
    const std::uint32_t offset = std::uint32_t(fileHeaderBytes + info.size());
    file[0] = 'B';
    file[1] = 'M';
    for (int i = 0; i < 4; ++i) {
        file[2 + i] = char(total >> (8 * i) & 0xFF);
        file[10 + i] = char(offset >> (8 * i) & 0xFF);
    }
    file.append(info.data(), qsizetype(info.size()));
    file.append(bits.data(), qsizetype(bits.size()));
    QImage image;
    image.loadFromData(file, "BMP");
    return image;
}

QImage decodePackedDib(std::string_view dib)
{
    if (dib.size() < 16)
        return {};
    const auto little = [&](std::size_t at, int width) {
        std::uint32_t value = 0;
        for (int i = width - 1; i >= 0; --i)
            value = value << 8 | std::uint8_t(dib[at + std::size_t(i)]);
        return value;
    };
    const std::uint32_t headerBytes = little(0, 4);
    std::uint64_t infoBytes = headerBytes;
    if (headerBytes == 12) {
        const std::uint32_t depth = little(10, 2);
        infoBytes += depth <= 8 ? (std::uint64_t(1) << depth) * 3 : 0;
    } else if (headerBytes >= 40 && dib.size() >= 40) {
        const std::uint32_t depth = little(14, 2), compression = little(16, 4), used = little(32, 4);
        const std::uint64_t colours = used ? used : depth <= 8 ? std::uint64_t(1) << depth : 0;
        infoBytes += colours * 4;
        // Bit-field masks follow the short header.
        if (headerBytes == 40 && (compression == 3 || compression == 6))
            infoBytes += compression == 3 ? 12 : 16;
    }
    if (infoBytes > dib.size())
        return {};
    return decodeDib(dib.substr(0, std::size_t(infoBytes)), dib.substr(std::size_t(infoBytes)));
}

} // namespace kb::platform
