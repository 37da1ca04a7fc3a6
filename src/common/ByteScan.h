#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kb::common {

// Bytes that a scan may read past the end of the text it looks at; buffers
// scanned with ByteFinder keep this much readable memory beyond their end.
constexpr std::size_t scanOverread = 64;

// A bit for each of the 64 bytes at block that equals one of Bytes.
template <char... Bytes>
inline std::uint64_t matchMask(const char* block)
{
#if defined(__SSE2__)
    std::uint64_t mask = 0;
    for (int part = 0; part < 4; ++part) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * part));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(Bytes)))), ...);
        mask |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(hits))) << (16 * part);
    }
    return mask;
#else
    std::uint64_t mask = 0;
    for (int i = 0; i < 64; ++i) {
        if (((block[i] == Bytes) || ...))
            mask |= std::uint64_t(1) << i;
    }
    return mask;
#endif
}

// How many of the count bytes at bytes equal Byte.
template <char Byte>
std::size_t countBytes(const char* bytes, std::size_t count)
{
    std::size_t found = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(Byte);
    while (i + 16 <= count) {
        // Each lane counts up to 255 hits before the lanes are summed.
        __m128i hits = _mm_setzero_si128();
        for (int round = 0; round < 255 && i + 16 <= count; ++round, i += 16)
            hits = _mm_sub_epi8(hits,
                                _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i)), wanted));
        const __m128i sums = _mm_sad_epu8(hits, _mm_setzero_si128());
        found += static_cast<std::size_t>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
    }
#endif
    for (; i < count; ++i)
        found += bytes[i] == Byte;
    return found;
}

// Finds, 64 bytes at a time, the next of a few byte values in a text. The
// mask of the current block is kept, so walking from one hit to the next
// costs a bit operation, not a rescan. Reads up to scanOverread bytes beyond
// the end.
template <char... Bytes>
class ByteFinder {
public:
    ByteFinder(const char* begin, const char* end)
        : m_begin(begin)
        , m_end(end)
    {
    }

    // The first of Bytes at or after from, or the end.
    const char* next(const char* from)
    {
        if (from >= m_end)
            return m_end;
        const auto offset = static_cast<std::size_t>(from - m_begin);
        const char* block = m_begin + (offset & ~std::size_t(63));
        if (block != m_block) {
            m_block = block;
            m_mask = matchMask<Bytes...>(block);
        }
        std::uint64_t bits = m_mask & (~std::uint64_t(0) << (offset & 63));
        while (bits == 0) {
            block += 64;
            if (block >= m_end)
                return m_end;
            m_block = block;
            m_mask = matchMask<Bytes...>(block);
            bits = m_mask;
        }
        const char* found = block + __builtin_ctzll(bits);
        return found < m_end ? found : m_end;
    }

private:
    const char* m_begin;
    const char* m_end;
    const char* m_block = nullptr;
    std::uint64_t m_mask = 0;
};

} // namespace kb::common
