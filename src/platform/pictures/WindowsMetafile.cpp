#include "WindowsMetafile.h"

#include "platform/pictures/GdiCanvas.h"
#include "platform/pictures/LittleEndian.h"
#include "platform/pictures/Metafile.h"
#include "platform/pictures/MetafileRecord.h"
#include "platform/pictures/WindowsMetafileRecords.h"

#include <uwmf.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kb::platform {
namespace {

constexpr std::size_t headerBytes = 18;
constexpr std::size_t placeableHeaderBytes = 22;
constexpr std::uint32_t placeableKey = 0x9AC6CDD7;

// Windows metafile rectangles list their edges from the bottom up.
QRectF rectAt(const MetafileRecord& record, std::size_t at)
{
    return QRectF(QPointF(record.i16(at + 6), record.i16(at + 4)), QPointF(record.i16(at + 2), record.i16(at)));
}

// And their points y first.
QPointF pointAt(const MetafileRecord& record, std::size_t at)
{
    return QPointF(record.i16(at + 2), record.i16(at));
}

// Text in the file's 8-bit code page; the Western one covers what the
// makers write.
QString ansiText(std::string_view bytes)
{
    static const char16_t high[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    QString text;
    text.reserve(qsizetype(bytes.size()));
    for (const char byte : bytes) {
        const auto code = std::uint8_t(byte);
        text.append(QChar(code >= 0x80 && code < 0xA0 ? high[code - 0x80] : char16_t(code)));
    }
    return text;
}

class WindowsMetafilePlayer {
public:
    WindowsMetafilePlayer(std::string_view bytes, const WindowsMetafileOutline& outline, QSize size, double ratio)
        : m_bytes(bytes)
        , m_firstRecord(outline.headerAt + headerBytes)
        , m_canvas(size, ratio, QTransform::fromScale(ratio, ratio), QSizeF(96 / 25.4, 96 / 25.4))
        , m_slotCount(readLittle(bytes, outline.headerAt + 10, 2))
    {
        // The window, which the file's records may move and size, fills the
        // picture; before they do, the placeable header's box does.
        m_canvas.setMapMode(8);
        m_canvas.setViewportExtent(QSizeF(size));
        if (outline.headerAt == placeableHeaderBytes && readUnsigned32(bytes, 0) == placeableKey) {
            const QRectF box(QPointF(readSigned16(bytes, 6), readSigned16(bytes, 8)),
                             QPointF(readSigned16(bytes, 10), readSigned16(bytes, 12)));
            m_canvas.setWindowOrigin(box.topLeft());
            m_canvas.setWindowExtent(box.size());
        } else {
            m_canvas.setWindowExtent(QSizeF(size));
        }
    }

    QImage play()
    {
        const auto measure = [this](std::size_t at) -> std::size_t {
            if (m_bytes.size() - at < 6)
                return 0;
            // libuemf's check that the record lies whole inside the file.
            const std::size_t size = U_WMRRECSAFE_get(m_bytes.data() + at, m_bytes.data() + m_bytes.size());
            return (readLittle(m_bytes, at + 4, 2) & U_WMR_MASK) == U_WMR_EOF ? 0 : size;
        };
        playRecords(m_bytes, m_firstRecord, measure,
                    [this](const MetafileRecord& record) { playRecord(record.u16(4), record); });
        return m_canvas.finish();
    }

private:
    // A new object takes the lowest free slot, whatever it is. The table
    // grows as objects come, up to the size the header gives it.
    void create(std::optional<GdiObject> object)
    {
        for (Slot& slot : m_slots) {
            if (!slot.used) {
                slot = Slot{true, std::move(object)};
                return;
            }
        }
        if (m_slots.size() < m_slotCount)
            m_slots.push_back(Slot{true, std::move(object)});
    }

    void select(std::uint32_t index)
    {
        if (index < m_slots.size() && m_slots[index].object)
            m_canvas.select(*m_slots[index].object);
    }

    void font(const MetafileRecord& record)
    {
        GdiFont font = logicalFont(record, 6, 2);
        const std::string_view name =
            record.size() > 24 ? record.bytes(24, std::min<std::size_t>(32, record.size() - 24)) : std::string_view();
        font.face = ansiText(name.substr(0, name.find('\0')));
        create(font);
    }

    void brush(const MetafileRecord& record)
    {
        GdiBrush brush;
        const std::uint32_t style = record.u16(6);
        brush.color = record.colour(8);
        brush.hatch = int(record.u16(12));
        brush.kind = style == 1 ? GdiBrush::Kind::Null : style == 2 ? GdiBrush::Kind::Hatched : GdiBrush::Kind::Solid;
        create(brush);
    }

    void textOut(const MetafileRecord& record)
    {
        const std::uint32_t count = record.u16(6);
        const std::size_t stringBytes = (count + 1) & ~1u;
        const QString text = ansiText(record.bytes(8, count));
        m_canvas.text(pointAt(record, 8 + stringBytes), text, {}, std::nullopt);
    }

    void extTextOut(const MetafileRecord& record)
    {
        constexpr std::uint32_t etoOpaque = 0x2, etoClipped = 0x4;
        const QPointF reference = pointAt(record, 6);
        const std::uint32_t count = record.u16(10), options = record.u16(12);
        std::size_t at = 14;
        std::optional<QRectF> box;
        if (options & (etoOpaque | etoClipped)) {
            if (options & etoOpaque)
                box = QRectF(QPointF(record.i16(at), record.i16(at + 2)),
                             QPointF(record.i16(at + 4), record.i16(at + 6)));
            at += 8;
        }
        const QString text = ansiText(record.bytes(at, count));
        at += (count + 1) & ~1u;
        std::vector<double> advances;
        if (record.size() >= at + std::size_t(count) * 2) {
            for (std::uint32_t i = 0; i < count; ++i)
                advances.push_back(record.i16(at + i * 2));
        }
        m_canvas.text(reference, text, advances, box);
    }

    void polyPolygon(const MetafileRecord& record)
    {
        const std::uint32_t polygons = record.u16(6);
        std::size_t at = 8 + std::size_t(polygons) * 2;
        std::vector<QPolygonF> shapes;
        for (std::uint32_t i = 0; i < polygons; ++i) {
            const std::uint32_t count = record.u16(8 + std::size_t(i) * 2);
            shapes.push_back(record.points16(at, count));
            at += std::size_t(count) * 4;
        }
        m_canvas.polyPolygon(shapes);
    }

    // The bitmap blits: with no bitmap of their own they fill with the brush.
    void blit(std::uint32_t function, const MetafileRecord& record)
    {
        const std::uint32_t rop = record.u32(6);
        const bool stretchDib = function == 0x0F43;
        const bool stretched = stretchDib || function == 0x0B41;
        const std::size_t plainWords = 3 + (function >> 8);
        if (!stretchDib && record.size() == plainWords * 2) {
            const std::size_t at = stretched ? 20 : 16;
            m_canvas.patternBlit(QRectF(pointAt(record, at + 4), QSizeF(record.i16(at + 2), record.i16(at))), rop);
            return;
        }
        const std::size_t at = stretchDib ? 12 : 10;
        QSizeF sourceSize;
        std::size_t next = at;
        if (stretched) {
            sourceSize = QSizeF(record.i16(next + 2), record.i16(next));
            next += 4;
        }
        QPointF sourceAt = pointAt(record, next);
        next += 4;
        QRectF target;
        if (stretched) {
            target = QRectF(pointAt(record, next + 4), QSizeF(record.i16(next + 2), record.i16(next)));
            next += 8;
        } else {
            sourceSize = QSizeF(record.i16(next + 2), record.i16(next));
            target = QRectF(pointAt(record, next + 4), sourceSize);
            next += 8;
        }
        const std::string_view dib = record.bytes(next, record.size() - next);
        const QImage bitmap = decodePackedDib(dib);
        // A bottom-up bitmap counts its source rows from the bottom.
        if (stretchDib && dib.size() >= 12 && readSigned32(dib, 8) > 0)
            sourceAt.setY(bitmap.height() - sourceAt.y() - sourceSize.height());
        m_canvas.image(target, bitmap, QRectF(sourceAt, sourceSize), rop);
    }

    void playRecord(std::uint32_t function, const MetafileRecord& record);

    struct Slot {
        bool used = false;
        std::optional<GdiObject> object;
    };

    std::string_view m_bytes;
    std::size_t m_firstRecord;
    GdiCanvas m_canvas;
    std::size_t m_slotCount;
    std::vector<Slot> m_slots;
};

void WindowsMetafilePlayer::playRecord(std::uint32_t function, const MetafileRecord& record)
{
    switch (function) {
    case 0x020B: m_canvas.setWindowOrigin(pointAt(record, 6)); break;
    case 0x020C: m_canvas.setWindowExtent(QSizeF(record.i16(8), record.i16(6))); break;
    case 0x0102: m_canvas.setBackgroundMode(record.u16(6)); break;
    case 0x0201: m_canvas.setBackgroundColor(record.colour(6)); break;
    case 0x0209: m_canvas.setTextColor(record.colour(6)); break;
    case 0x012E: m_canvas.setTextAlign(record.u16(6)); break;
    case 0x0106: m_canvas.setPolygonFillMode(record.u16(6)); break;
    case 0x0104: m_canvas.setRop2(record.u16(6)); break;
    case 0x001E: m_canvas.save(); break;
    case 0x0127: m_canvas.restore(record.i16(6)); break;
    case 0x0214: m_canvas.moveTo(pointAt(record, 6)); break;
    case 0x0213: m_canvas.lineTo(pointAt(record, 6)); break;
    case 0x0325: m_canvas.polyline(record.points16(8, record.u16(6))); break;
    case 0x0324: m_canvas.polygon(record.points16(8, record.u16(6))); break;
    case 0x0538: polyPolygon(record); break;
    case 0x041B: m_canvas.rectangle(rectAt(record, 6)); break;
    case 0x0418: m_canvas.ellipse(rectAt(record, 6)); break;
    case 0x061C: m_canvas.rectangle(rectAt(record, 10), QSizeF(record.i16(8), record.i16(6))); break;
    case 0x0817:
    case 0x0830:
    case 0x081A: {
        const GdiCanvas::Arc kind = function == 0x0830 ? GdiCanvas::Arc::Chord
            : function == 0x081A                       ? GdiCanvas::Arc::Pie
                                                       : GdiCanvas::Arc::Open;
        m_canvas.arc(rectAt(record, 14), pointAt(record, 10), pointAt(record, 6), kind);
        break;
    }
    case 0x0415: m_canvas.excludeClip(rectAt(record, 6)); break;
    case 0x0416: m_canvas.intersectClip(rectAt(record, 6)); break;
    case 0x012D: select(record.u16(6)); break;
    case 0x01F0:
        if (const std::uint32_t index = record.u16(6); index < m_slots.size())
            m_slots[index] = Slot{};
        break;
    case 0x02FA: {
        GdiPen pen;
        pen.style = record.u16(6);
        pen.width = record.i16(8);
        pen.color = record.colour(12);
        create(pen);
        break;
    }
    case 0x02FC: brush(record); break;
    case 0x02FB: font(record); break;
    case 0x0142: {
        GdiBrush brush;
        brush.kind = GdiBrush::Kind::Pattern;
        brush.pattern = decodePackedDib(record.bytes(10, record.size() - 10));
        create(brush);
        break;
    }
    // Objects drawn as nothing still take their slot.
    case 0x00F7:
    case 0x01F9:
    case 0x06FF: create(std::nullopt); break;
    case 0x0521: textOut(record); break;
    case 0x0A32: extTextOut(record); break;
    case 0x0940:
    case 0x0B41:
    case 0x0F43: blit(function, record); break;
    default: break;
    }
}

} // namespace

QImage drawWindowsMetafile(std::string_view bytes, double ratio)
{
    const WindowsMetafileOutline outline = outlineWindowsMetafile(bytes);
    const QSize size = metafileDisplaySize(outline.pixels.value_or(QSizeF()));
    return WindowsMetafilePlayer(bytes, outline, size, GdiCanvas::fittingRatio(size, ratio)).play();
}

} // namespace kb::platform
