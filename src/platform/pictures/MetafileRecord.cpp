#include "MetafileRecord.h"

#include "platform/pictures/Metafile.h"

#include <cstring>

namespace kb::platform {

float MetafileRecord::f32(std::size_t at) const
{
    const std::uint32_t bits = u32(at);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// count items of width bytes each from at, each read by read at its offset.
template <typename Items, typename Read>
Items MetafileRecord::list(std::size_t at, std::size_t count, std::size_t width, Read read) const
{
    if (count > m_bytes.size() / width)
        throw ShortRecord{};
    need(at, count * width);
    Items items;
    items.reserve(qsizetype(count));
    for (std::size_t i = 0; i < count; ++i)
        items.append(read(at + i * width));
    return items;
}

QPolygonF MetafileRecord::points16(std::size_t at, std::size_t count) const
{
    return list<QPolygonF>(at, count, 4, [this](std::size_t from) {
        return QPointF(readSigned16(m_bytes, from), readSigned16(m_bytes, from + 2));
    });
}

QPolygonF MetafileRecord::points32(std::size_t at, std::size_t count) const
{
    return list<QPolygonF>(at, count, 8, [this](std::size_t from) {
        return QPointF(readSigned32(m_bytes, from), readSigned32(m_bytes, from + 4));
    });
}

QString MetafileRecord::utf16(std::size_t at, std::size_t count) const
{
    return list<QString>(at, count, 2,
                         [this](std::size_t from) { return QChar(char16_t(readLittle(m_bytes, from, 2))); });
}

DrawingClock::DrawingClock()
    : m_deadline(std::chrono::steady_clock::now() + MetafileLimits::maxDrawingTime)
{
}

void DrawingClock::check()
{
    // Read after every record: one that draws may take far longer than the
    // read, and a batch of them would run well past the limit.
    if (std::chrono::steady_clock::now() > m_deadline)
        throwInvalidMetafile();
}

} // namespace kb::platform
