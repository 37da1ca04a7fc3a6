#pragma once

#include "platform/pictures/LittleEndian.h"

#include <QColor>
#include <QPolygonF>
#include <QString>

#include <chrono>
#include <cstdint>
#include <string_view>

namespace kb::platform {

// Raised when a record is shorter than what it says it holds; the player
// leaves that record out and goes on with the next.
struct ShortRecord {};

// One record's bytes, read field by field with its bounds checked.
class MetafileRecord {
public:
    explicit MetafileRecord(std::string_view bytes)
        : m_bytes(bytes)
    {
    }

    std::size_t size() const { return m_bytes.size(); }
    std::uint32_t u8(std::size_t at) const { return need(at, 1), readLittle(m_bytes, at, 1); }
    std::uint32_t u16(std::size_t at) const { return need(at, 2), readLittle(m_bytes, at, 2); }
    std::int16_t i16(std::size_t at) const { return need(at, 2), readSigned16(m_bytes, at); }
    std::uint32_t u32(std::size_t at) const { return need(at, 4), readUnsigned32(m_bytes, at); }
    std::int32_t i32(std::size_t at) const { return need(at, 4), readSigned32(m_bytes, at); }
    float f32(std::size_t at) const;
    QColor colour(std::size_t at) const { return QColor(int(u8(at)), int(u8(at + 1)), int(u8(at + 2))); }
    std::string_view bytes(std::size_t at, std::size_t count) const
    {
        need(at, count);
        return m_bytes.substr(at, count);
    }
    // Points of two 16- or 32-bit coordinates.
    QPolygonF points16(std::size_t at, std::size_t count) const;
    QPolygonF points32(std::size_t at, std::size_t count) const;
    QString utf16(std::size_t at, std::size_t count) const;

private:
    template <typename Items, typename Read>
    Items list(std::size_t at, std::size_t count, std::size_t width, Read read) const;
    void need(std::size_t at, std::size_t count) const
    {
        if (at > m_bytes.size() || count > m_bytes.size() - at)
            throw ShortRecord{};
    }

    std::string_view m_bytes;
};

// Ends a drawing that has run past the time a picture may take.
class DrawingClock {
public:
    DrawingClock();
    // Raises EInvalidGraphic "Metafile is not valid" past the limit.
    void check();

private:
    std::chrono::steady_clock::time_point m_deadline;
};

// Plays a metafile's records one after another from at: measure tells how
// long the record there is, or 0 where the drawing ends; play draws it. A
// record shorter than what it says it holds is left out, and the clock ends
// a drawing that takes too long.
template <typename Measure, typename Play>
void playRecords(std::string_view bytes, std::size_t at, Measure measure, Play play)
{
    DrawingClock clock;
    while (at < bytes.size()) {
        const std::size_t size = measure(at);
        if (size == 0)
            return;
        try {
            play(MetafileRecord(bytes.substr(at, size)));
        } catch (const ShortRecord&) {
        }
        clock.check();
        at += size;
    }
}

} // namespace kb::platform
