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

QPolygonF MetafileRecord::points16(std::size_t at, std::size_t count) const
{
    if (count > m_bytes.size() / 4)
        throw ShortRecord{};
    need(at, count * 4);
    QPolygonF points;
    points.reserve(qsizetype(count));
    for (std::size_t i = 0; i < count; ++i)
        points.append(QPointF(readSigned16(m_bytes, at + i * 4), readSigned16(m_bytes, at + i * 4 + 2)));
    return points;
}

QPolygonF MetafileRecord::points32(std::size_t at, std::size_t count) const
{
    if (count > m_bytes.size() / 8)
        throw ShortRecord{};
    need(at, count * 8);
    QPolygonF points;
    points.reserve(qsizetype(count));
    for (std::size_t i = 0; i < count; ++i)
        points.append(QPointF(readSigned32(m_bytes, at + i * 8), readSigned32(m_bytes, at + i * 8 + 4)));
    return points;
}

QString MetafileRecord::utf16(std::size_t at, std::size_t count) const
{
    if (count > m_bytes.size() / 2)
        throw ShortRecord{};
    need(at, count * 2);
    QString text;
    text.reserve(qsizetype(count));
    for (std::size_t i = 0; i < count; ++i)
        text.append(QChar(char16_t(readLittle(m_bytes, at + i * 2, 2))));
    return text;
}

DrawingClock::DrawingClock()
    : m_deadline(std::chrono::steady_clock::now() + MetafileLimits::maxDrawingTime)
{
}

void DrawingClock::check()
{
    // The clock is read now and then: reading it costs more than a record.
    if (++m_calls % 256 == 0 && std::chrono::steady_clock::now() > m_deadline)
        throwInvalidMetafile();
}

} // namespace kb::platform
