#include "EnhancedMetafile.h"

#include "platform/pictures/GdiCanvas.h"
#include "platform/pictures/LittleEndian.h"
#include "platform/pictures/Metafile.h"
#include "platform/pictures/MetafileRecord.h"

#include <uemf.h>
#include <uemf_safe.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kb::platform {
namespace {

constexpr std::size_t headerSize = 88;
constexpr std::uint32_t signature = 0x464D4520; // " EMF"
constexpr std::uint32_t stockObject = 0x80000000;
constexpr std::uint32_t psGeometric = 0x10000;

QRectF rectAt(const MetafileRecord& record, std::size_t at)
{
    return QRectF(QPointF(record.i32(at), record.i32(at + 4)), QPointF(record.i32(at + 8), record.i32(at + 12)));
}

QPointF pointAt(const MetafileRecord& record, std::size_t at)
{
    return QPointF(record.i32(at), record.i32(at + 4));
}

QTransform transformAt(const MetafileRecord& record, std::size_t at)
{
    return QTransform(record.f32(at), record.f32(at + 4), record.f32(at + 8), record.f32(at + 12), record.f32(at + 16),
                      record.f32(at + 20));
}

// The bitmap whose header and bits lie at the offsets given by the fields
// at infoAt (offset, size, offset of the bits, their size).
QImage bitmapAt(const MetafileRecord& record, std::size_t infoAt)
{
    const std::uint32_t infoOffset = record.u32(infoAt), infoSize = record.u32(infoAt + 4);
    const std::uint32_t bitsOffset = record.u32(infoAt + 8), bitsSize = record.u32(infoAt + 12);
    if (infoSize == 0)
        return {};
    return decodeDib(record.bytes(infoOffset, infoSize), record.bytes(bitsOffset, bitsSize));
}

// Walks the records before any is drawn: each lies whole inside the file,
// their number is bounded, and the last is the end-of-file record.
void checkRecords(std::string_view bytes)
{
    if (bytes.size() < headerSize || readUnsigned32(bytes, 0) != U_EMR_HEADER || readUnsigned32(bytes, 40) != signature
        || readUnsigned32(bytes, 4) < headerSize)
        throwInvalidMetafile();
    std::size_t at = 0;
    for (int records = 0; records < MetafileLimits::maxRecords; ++records) {
        if (bytes.size() - at < 8)
            throwInvalidMetafile();
        const std::uint32_t type = readUnsigned32(bytes, at);
        const std::uint32_t size = readUnsigned32(bytes, at + 4);
        if (size < 8 || size % 4 != 0 || size > bytes.size() - at)
            throwInvalidMetafile();
        if (type == U_EMR_EOF)
            return;
        at += size;
    }
    throwInvalidMetafile();
}

QSizeF extent(std::string_view bytes, std::size_t at)
{
    return {double(readSigned32(bytes, at + 8)) - readSigned32(bytes, at),
            double(readSigned32(bytes, at + 12)) - readSigned32(bytes, at + 4)};
}

// The frame is in hundredths of a millimetre; files that leave it empty
// still have their bounds in device pixels.
QSizeF declaredPixels(std::string_view bytes)
{
    const QSizeF frame = extent(bytes, 24);
    if (frame.width() > 0 && frame.height() > 0)
        return frame * (96.0 / 2540.0);
    return extent(bytes, 8) + QSizeF(1, 1);
}

bool played(std::uint32_t type)
{
    switch (type) {
    case U_EMR_HEADER:
    case U_EMR_UNDEF69:
    case U_EMR_COMMENT:
    case U_EMR_EOF: return false;
    default: return (type >= U_EMR_POLYBEZIER && type <= U_EMR_EXTCREATEPEN) || type == U_EMR_ALPHABLEND;
    }
}

class EnhancedMetafilePlayer {
public:
    EnhancedMetafilePlayer(std::string_view bytes, double ratio)
        : m_bytes(bytes)
        , m_canvas(metafileDisplaySize(declaredPixels(bytes)), ratio, deviceToImage(bytes, ratio),
                   pixelsPerMillimetre(bytes))
        , m_objectCount(readLittle(bytes, 48, 2))
    {
    }

    QImage play()
    {
        const auto measure = [this](std::size_t at) -> std::size_t {
            return readUnsigned32(m_bytes, at) == U_EMR_EOF ? 0 : readUnsigned32(m_bytes, at + 4);
        };
        playRecords(m_bytes, 0, measure, [this](const MetafileRecord& record) {
            // libuemf's checks tell whether every count and offset the
            // record holds stays inside it; it has none for some of the
            // types the player leaves alone, and complains of them.
            const std::uint32_t type = record.u32(0);
            if (played(type) && U_emf_record_safe(record.bytes(0, record.size()).data()))
                playRecord(type, record);
        });
        return m_canvas.finish();
    }

private:
    static QSizeF pixelsPerMillimetre(std::string_view bytes)
    {
        const double deviceX = readSigned32(bytes, 72), deviceY = readSigned32(bytes, 76);
        const double millimetresX = readSigned32(bytes, 80), millimetresY = readSigned32(bytes, 84);
        if (deviceX > 0 && deviceY > 0 && millimetresX > 0 && millimetresY > 0)
            return {deviceX / millimetresX, deviceY / millimetresY};
        return {96 / 25.4, 96 / 25.4};
    }

    // The frame, in the reference device's pixels, fills the picture.
    static QTransform deviceToImage(std::string_view bytes, double ratio)
    {
        const QSize size = metafileDisplaySize(declaredPixels(bytes));
        const QSizeF perMillimetre = pixelsPerMillimetre(bytes);
        QRectF frame(QPointF(readSigned32(bytes, 24), readSigned32(bytes, 28)),
                     QPointF(readSigned32(bytes, 32), readSigned32(bytes, 36)));
        if (frame.width() > 0 && frame.height() > 0) {
            frame = QRectF(frame.left() * perMillimetre.width() / 100, frame.top() * perMillimetre.height() / 100,
                           frame.width() * perMillimetre.width() / 100, frame.height() * perMillimetre.height() / 100);
        } else {
            frame = QRectF(QPointF(readSigned32(bytes, 8), readSigned32(bytes, 12)), extent(bytes, 8) + QSizeF(1, 1));
        }
        if (!(frame.width() > 0) || !(frame.height() > 0))
            frame = QRectF(0, 0, size.width(), size.height());
        const double sx = size.width() * ratio / frame.width(), sy = size.height() * ratio / frame.height();
        return QTransform(sx, 0, 0, sy, -frame.left() * sx, -frame.top() * sy);
    }

    // Only the objects the file creates are kept, within the number its
    // header gives.
    void create(std::uint32_t index, GdiObject object)
    {
        if (index < m_objectCount)
            m_objects.insert_or_assign(index, std::move(object));
    }

    void polyPolygon(const MetafileRecord& record, bool small, bool closed)
    {
        const std::uint32_t polygons = record.u32(24);
        std::size_t at = 32 + std::size_t(polygons) * 4;
        if (polygons > record.size() / 4)
            throw ShortRecord{};
        std::vector<QPolygonF> shapes;
        for (std::uint32_t i = 0; i < polygons; ++i) {
            const std::uint32_t count = record.u32(32 + std::size_t(i) * 4);
            shapes.push_back(small ? record.points16(at, count) : record.points32(at, count));
            at += std::size_t(count) * (small ? 4 : 8);
        }
        if (closed) {
            m_canvas.polyPolygon(shapes);
        } else {
            for (const QPolygonF& shape : shapes)
                m_canvas.polyline(shape);
        }
    }

    void poly(std::uint32_t type, const MetafileRecord& record, bool small)
    {
        const std::uint32_t count = record.u32(24);
        const QPolygonF points = small ? record.points16(28, count) : record.points32(28, count);
        switch (small ? type - (U_EMR_POLYBEZIER16 - U_EMR_POLYBEZIER) : type) {
        case U_EMR_POLYBEZIER: m_canvas.polyBezier(points); break;
        case U_EMR_POLYGON: m_canvas.polygon(points); break;
        case U_EMR_POLYLINE: m_canvas.polyline(points); break;
        case U_EMR_POLYBEZIERTO: m_canvas.polyBezier(points, true); break;
        case U_EMR_POLYLINETO: m_canvas.polyline(points, true); break;
        default: break;
        }
    }

    void text(const MetafileRecord& record)
    {
        constexpr std::uint32_t etoOpaque = 0x2, etoGlyphIndex = 0x10, etoNoRect = 0x100, etoPdy = 0x2000;
        const QPointF reference = pointAt(record, 36);
        const std::uint32_t count = record.u32(44), stringAt = record.u32(48), options = record.u32(52);
        std::size_t at = 56;
        std::optional<QRectF> box;
        if (!(options & etoNoRect)) {
            if (options & etoOpaque)
                box = rectAt(record, at);
            at += 16;
        }
        if (options & etoGlyphIndex)
            return;
        const std::uint32_t advancesAt = record.u32(at);
        const QString string = record.utf16(stringAt, count);
        std::vector<double> advances;
        if (advancesAt != 0 && count <= record.size() / 4) {
            const std::size_t step = options & etoPdy ? 8 : 4;
            record.bytes(advancesAt, count * step);
            for (std::uint32_t i = 0; i < count; ++i)
                advances.push_back(record.i32(advancesAt + i * step));
        }
        m_canvas.text(reference, string, advances, box);
    }

    void font(const MetafileRecord& record)
    {
        GdiFont font = logicalFont(record, 12, 4);
        QString face = record.utf16(40, 32);
        face.truncate(face.indexOf(QChar(0)) < 0 ? face.size() : face.indexOf(QChar(0)));
        font.face = face;
        create(record.u32(8), font);
    }

    void extendedPen(const MetafileRecord& record)
    {
        constexpr std::uint32_t bsNull = 1, psUserStyle = 7;
        GdiPen pen;
        pen.style = record.u32(28);
        pen.width = pen.style & psGeometric ? record.u32(32) : 0;
        pen.color = record.colour(40);
        if (record.u32(36) == bsNull)
            pen.style = (pen.style & ~0xFu) | 5;
        if ((pen.style & 0xF) == psUserStyle) {
            const std::uint32_t entries = record.u32(48);
            if (entries > record.size() / 4)
                throw ShortRecord{};
            for (std::uint32_t i = 0; i < entries; ++i)
                pen.userDashes.push_back(record.u32(52 + std::size_t(i) * 4));
        }
        create(record.u32(8), pen);
    }

    void brush(const MetafileRecord& record)
    {
        constexpr std::uint32_t bsSolid = 0, bsNull = 1, bsHatched = 2;
        GdiBrush brush;
        const std::uint32_t style = record.u32(12);
        brush.color = record.colour(16);
        brush.hatch = int(record.u32(20));
        brush.kind = style == bsNull ? GdiBrush::Kind::Null
            : style == bsHatched     ? GdiBrush::Kind::Hatched
            : style == bsSolid       ? GdiBrush::Kind::Solid
                                     : GdiBrush::Kind::Solid;
        create(record.u32(8), brush);
    }

    void patternBrush(const MetafileRecord& record)
    {
        GdiBrush brush;
        brush.kind = GdiBrush::Kind::Pattern;
        brush.color = Qt::black;
        brush.pattern = bitmapAt(record, 16);
        create(record.u32(8), brush);
    }

    void select(std::uint32_t index)
    {
        if (index & stockObject)
            m_canvas.selectStock(index);
        else if (const auto object = m_objects.find(index); object != m_objects.end())
            m_canvas.select(object->second);
    }

    void clipRegion(const MetafileRecord& record)
    {
        const std::uint32_t regionBytes = record.u32(8), mode = record.u32(12);
        std::vector<QRectF> rects;
        if (regionBytes >= 32) {
            const std::uint32_t count = record.u32(16 + 8);
            if (count > record.size() / 16)
                throw ShortRecord{};
            for (std::uint32_t i = 0; i < count; ++i)
                rects.push_back(rectAt(record, 48 + std::size_t(i) * 16));
        }
        m_canvas.selectClipRegion(rects, int(mode));
    }

    // BitBlt and StretchBlt: a source bitmap, or only the brush's pattern.
    void blit(const MetafileRecord& record, bool stretched)
    {
        const QRectF target(QPointF(record.i32(24), record.i32(28)), QSizeF(record.i32(32), record.i32(36)));
        const std::uint32_t rop = record.u32(40);
        const QImage bitmap = bitmapAt(record, 84);
        if (bitmap.isNull()) {
            m_canvas.patternBlit(target, rop);
            return;
        }
        const QSizeF sourceSize = stretched ? QSizeF(record.i32(100), record.i32(104)) : target.size();
        m_canvas.image(target, bitmap, QRectF(pointAt(record, 44), sourceSize), rop);
    }

    void stretchDibits(const MetafileRecord& record)
    {
        const QImage bitmap = bitmapAt(record, 48);
        const QRectF target(QPointF(record.i32(24), record.i32(28)), QSizeF(record.i32(72), record.i32(76)));
        QRectF source(pointAt(record, 32), QSizeF(record.i32(40), record.i32(44)));
        // A bottom-up bitmap counts its source rows from the bottom.
        if (record.i32(record.u32(48) + 8) > 0)
            source.moveTop(bitmap.height() - source.bottom());
        m_canvas.image(target, bitmap, source, record.u32(68));
    }

    void alphaBlend(const MetafileRecord& record)
    {
        QImage bitmap = bitmapAt(record, 84);
        const QRectF target(QPointF(record.i32(24), record.i32(28)), QSizeF(record.i32(32), record.i32(36)));
        const QRectF source(pointAt(record, 44), QSizeF(record.i32(100), record.i32(104)));
        const std::uint32_t sourceAlpha = record.u8(43);
        // With its own alpha the bitmap's fourth byte is its coverage.
        if (sourceAlpha & 1 && bitmap.depth() == 32)
            bitmap.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
        const double opacity = record.u8(42) / 255.0;
        if (opacity <= 0)
            return;
        m_canvas.image(target, bitmap, source, 0x00CC0020, opacity);
    }

    void playRecord(std::uint32_t type, const MetafileRecord& record);

    std::string_view m_bytes;
    GdiCanvas m_canvas;
    std::uint32_t m_objectCount;
    std::unordered_map<std::uint32_t, GdiObject> m_objects;
};

void EnhancedMetafilePlayer::playRecord(std::uint32_t type, const MetafileRecord& record)
{
    switch (type) {
    case U_EMR_POLYBEZIER:
    case U_EMR_POLYGON:
    case U_EMR_POLYLINE:
    case U_EMR_POLYBEZIERTO:
    case U_EMR_POLYLINETO: poly(type, record, false); break;
    case U_EMR_POLYBEZIER16:
    case U_EMR_POLYGON16:
    case U_EMR_POLYLINE16:
    case U_EMR_POLYBEZIERTO16:
    case U_EMR_POLYLINETO16: poly(type, record, true); break;
    case U_EMR_POLYPOLYLINE: polyPolygon(record, false, false); break;
    case U_EMR_POLYPOLYGON: polyPolygon(record, false, true); break;
    case U_EMR_POLYPOLYLINE16: polyPolygon(record, true, false); break;
    case U_EMR_POLYPOLYGON16: polyPolygon(record, true, true); break;
    case U_EMR_SETWINDOWEXTEX: m_canvas.setWindowExtent(QSizeF(record.i32(8), record.i32(12))); break;
    case U_EMR_SETWINDOWORGEX: m_canvas.setWindowOrigin(pointAt(record, 8)); break;
    case U_EMR_SETVIEWPORTEXTEX: m_canvas.setViewportExtent(QSizeF(record.i32(8), record.i32(12))); break;
    case U_EMR_SETVIEWPORTORGEX: m_canvas.setViewportOrigin(pointAt(record, 8)); break;
    case U_EMR_SETMAPMODE: m_canvas.setMapMode(int(record.u32(8))); break;
    case U_EMR_SETBKMODE: m_canvas.setBackgroundMode(int(record.u32(8))); break;
    case U_EMR_SETPOLYFILLMODE: m_canvas.setPolygonFillMode(int(record.u32(8))); break;
    case U_EMR_SETROP2: m_canvas.setRop2(int(record.u32(8))); break;
    case U_EMR_SETTEXTALIGN: m_canvas.setTextAlign(record.u32(8)); break;
    case U_EMR_SETTEXTCOLOR: m_canvas.setTextColor(record.colour(8)); break;
    case U_EMR_SETBKCOLOR: m_canvas.setBackgroundColor(record.colour(8)); break;
    case U_EMR_MOVETOEX: m_canvas.moveTo(pointAt(record, 8)); break;
    case U_EMR_LINETO: m_canvas.lineTo(pointAt(record, 8)); break;
    case U_EMR_EXCLUDECLIPRECT: m_canvas.excludeClip(rectAt(record, 8)); break;
    case U_EMR_INTERSECTCLIPRECT: m_canvas.intersectClip(rectAt(record, 8)); break;
    case U_EMR_SAVEDC: m_canvas.save(); break;
    case U_EMR_RESTOREDC: m_canvas.restore(record.i32(8)); break;
    case U_EMR_SETWORLDTRANSFORM: m_canvas.setWorldTransform(transformAt(record, 8)); break;
    case U_EMR_MODIFYWORLDTRANSFORM: m_canvas.modifyWorldTransform(transformAt(record, 8), int(record.u32(32))); break;
    case U_EMR_SELECTOBJECT: select(record.u32(8)); break;
    case U_EMR_DELETEOBJECT: m_objects.erase(record.u32(8)); break;
    case U_EMR_CREATEPEN: {
        GdiPen pen;
        pen.style = record.u32(12);
        pen.width = record.i32(16);
        pen.color = record.colour(24);
        create(record.u32(8), pen);
        break;
    }
    case U_EMR_EXTCREATEPEN: extendedPen(record); break;
    case U_EMR_CREATEBRUSHINDIRECT: brush(record); break;
    case U_EMR_CREATEMONOBRUSH:
    case U_EMR_CREATEDIBPATTERNBRUSHPT: patternBrush(record); break;
    case U_EMR_EXTCREATEFONTINDIRECTW: font(record); break;
    case U_EMR_ELLIPSE: m_canvas.ellipse(rectAt(record, 8)); break;
    case U_EMR_RECTANGLE: m_canvas.rectangle(rectAt(record, 8)); break;
    case U_EMR_ROUNDRECT: m_canvas.rectangle(rectAt(record, 8), QSizeF(record.i32(24), record.i32(28))); break;
    case U_EMR_ARC:
    case U_EMR_CHORD:
    case U_EMR_PIE:
    case U_EMR_ARCTO: {
        const GdiCanvas::Arc kind = type == U_EMR_CHORD ? GdiCanvas::Arc::Chord
            : type == U_EMR_PIE                         ? GdiCanvas::Arc::Pie
                                                        : GdiCanvas::Arc::Open;
        m_canvas.arc(rectAt(record, 8), pointAt(record, 24), pointAt(record, 32), kind, type == U_EMR_ARCTO);
        break;
    }
    case U_EMR_SETMITERLIMIT: m_canvas.setMiterLimit(record.u32(8)); break;
    case U_EMR_BEGINPATH: m_canvas.beginPath(); break;
    case U_EMR_ENDPATH: m_canvas.endPath(); break;
    case U_EMR_ABORTPATH: m_canvas.abortPath(); break;
    case U_EMR_CLOSEFIGURE: m_canvas.closeFigure(); break;
    case U_EMR_FILLPATH: m_canvas.fillPath(); break;
    case U_EMR_STROKEPATH: m_canvas.strokePath(); break;
    case U_EMR_STROKEANDFILLPATH: m_canvas.strokeAndFillPath(); break;
    case U_EMR_SELECTCLIPPATH: m_canvas.selectClipPath(int(record.u32(8))); break;
    case U_EMR_EXTSELECTCLIPRGN: clipRegion(record); break;
    case U_EMR_BITBLT: blit(record, false); break;
    case U_EMR_STRETCHBLT: blit(record, true); break;
    case U_EMR_STRETCHDIBITS: stretchDibits(record); break;
    case U_EMR_ALPHABLEND: alphaBlend(record); break;
    case U_EMR_EXTTEXTOUTW: text(record); break;
    default: break; // EMF+ comments among them: their plain records follow
    }
}

} // namespace

QImage drawEnhancedMetafile(std::string_view bytes, double ratio)
{
    checkRecords(bytes);
    return EnhancedMetafilePlayer(bytes, GdiCanvas::fittingRatio(metafileDisplaySize(declaredPixels(bytes)), ratio))
        .play();
}

} // namespace kb::platform
