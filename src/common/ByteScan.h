#pragma once

#include <cstddef>
#include <cstdint>

// The scans use SSE2 where the compiler offers it; KB_SCALAR_SCANS forces the
// byte-by-byte path everywhere, so that it can be built and tested too.
#if defined(__SSE2__) && !defined(KB_SCALAR_SCANS)
#define KB_SIMD_SCANS 1
#include <emmintrin.h>
#else
#define KB_SIMD_SCANS 0
#endif

namespace kb::common {

// Bytes that a scan may read past the end of the text it looks at; buffers
// scanned with ByteFinder keep this much readable memory beyond their end.
constexpr std::size_t scanOverread = 64;

// A bit for each of the 64 bytes at block that equals one of Bytes.
template <char... Bytes>
inline std::uint64_t matchMask(const char* block)
{
#if KB_SIMD_SCANS
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
#if KB_SIMD_SCANS
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

// Copies count bytes with every byte from made a byte to; returns how many
// there were. Whole 16-byte pieces are copied, the last one past the end
// when overrun allows it: the caller then has room for it at to and
// readable bytes after from. A forward copy, so to may lie before from in
// the same buffer.
template <char From, char To>
std::size_t copyReplacing(char* to, const char* from, std::size_t count, bool overrun)
{
    std::size_t replaced = 0;
    std::size_t i = 0;
#if KB_SIMD_SCANS
    constexpr std::size_t piece = 16;
    // 16 bytes from firstBytes + 16 - n: n set bytes, then clear ones.
    static constexpr char firstBytes[2 * piece] = {'\xff', '\xff', '\xff', '\xff', '\xff', '\xff', '\xff', '\xff',
                                                   '\xff', '\xff', '\xff', '\xff', '\xff', '\xff', '\xff', '\xff'};
    const __m128i fromBytes = _mm_set1_epi8(From);
    const __m128i toBytes = _mm_set1_epi8(To);
    __m128i sums = _mm_setzero_si128(); // two 64-bit counts
    while (i + piece <= count || (overrun && i < count)) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
        __m128i found = _mm_cmpeq_epi8(bytes, fromBytes);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i),
                         _mm_or_si128(_mm_andnot_si128(found, bytes), _mm_and_si128(found, toBytes)));
        if (count - i < piece) // the piece runs past the end: count only its start
            found = _mm_and_si128(found,
                                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(firstBytes + piece - (count - i))));
        sums = _mm_add_epi64(sums, _mm_sad_epu8(_mm_sub_epi8(_mm_setzero_si128(), found), _mm_setzero_si128()));
        i += piece;
    }
    replaced = static_cast<std::size_t>(_mm_cvtsi128_si64(sums))
        + static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
#else
    (void)overrun;
#endif
    for (; i < count; ++i) {
        const bool hit = from[i] == From;
        replaced += hit;
        to[i] = hit ? To : from[i];
    }
    return replaced;
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
