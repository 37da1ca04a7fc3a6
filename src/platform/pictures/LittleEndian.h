#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kb::platform {

// Metafiles store their numbers least significant byte first; width is the
// number of bytes, at most four.
inline std::uint32_t readLittle(std::string_view bytes, std::size_t at, int width)
{
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + std::size_t(i)]);
    return value;
}

inline std::int16_t readSigned16(std::string_view bytes, std::size_t at)
{
    return static_cast<std::int16_t>(readLittle(bytes, at, 2));
}

inline std::uint32_t readUnsigned32(std::string_view bytes, std::size_t at)
{
    return readLittle(bytes, at, 4);
}

inline std::int32_t readSigned32(std::string_view bytes, std::size_t at)
{
    return static_cast<std::int32_t>(readLittle(bytes, at, 4));
}

inline void writeLittle(std::string& bytes, std::size_t at, std::uint32_t value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes[at + std::size_t(i)] = static_cast<char>(value >> (8 * i) & 0xFF);
}

inline void appendLittle(std::string& bytes, std::uint32_t value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes += static_cast<char>(value >> (8 * i) & 0xFF);
}

} // namespace kb::platform
