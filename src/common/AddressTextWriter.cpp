#include "AddressTextWriter.h"

#include "common/AddressSyntax.h"
#include "common/ByteScan.h"
#include "platform/files/FileReplacing.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace kb::common {
namespace {

// Collects the written bytes and hands them on in pieces.
class PieceWriter {
public:
    explicit PieceWriter(platform::ByteSink& sink)
        : m_sink(sink)
    {
    }

    void append(const char* bytes, std::size_t count)
    {
        if (count > room()) {
            makeRoom(count);
            if (count > room()) {
                m_sink.write(std::string_view(bytes, count));
                return;
            }
        }
        std::memcpy(m_end, bytes, count);
        m_end += count;
    }
    void append(std::string_view bytes) { append(bytes.data(), bytes.size()); }

    // Appends packed cells with each cell end written as a comma; returns
    // how many cell ends there were. The text's overread lets the copy run
    // past the end in whole pieces.
    std::size_t appendWithCommas(const char* bytes, std::size_t count)
    {
        if (count + overrun > room())
            makeRoom(count + overrun);
        if (count + overrun <= room()) {
            const std::size_t cellEnds = copyReplacing<packedCellEnd, comma>(m_end, bytes, count, true);
            m_end += count;
            return cellEnds;
        }
        std::size_t cellEnds = 0;
        while (count > 0) {
            if (count > room())
                makeRoom(count);
            const std::size_t part = std::min(count, room());
            cellEnds += copyReplacing<packedCellEnd, comma>(m_end, bytes, part, false);
            m_end += part;
            bytes += part;
            count -= part;
        }
        return cellEnds;
    }

    // Appends a value in quotes, its quotes doubled. With overread, the
    // value is followed by readable bytes and is copied 16 bytes at a time.
    void appendQuoted(std::string_view value, bool overread = false)
    {
        const std::size_t longest = 2 * value.size() + 2 + overrun;
        if (longest > room())
            makeRoom(longest);
        if (longest > room()) {
            appendQuotedInParts(value);
            return;
        }
        char* out = m_end; // a local, which the byte stores cannot alias
        *out++ = quote;
#if KB_SIMD_SCANS
        if (overread) {
            out = copyDoublingQuotes(out, value.data(), value.size());
            *out++ = quote;
            m_end = out;
            return;
        }
#else
        (void)overread;
#endif
        for (const char c : value) {
            *out++ = c;
            if (c == quote)
                *out++ = quote;
        }
        *out++ = quote;
        m_end = out;
    }

    void put(char c)
    {
        if (room() == 0)
            makeRoom(1);
        *m_end++ = c;
    }

    void flush()
    {
        if (used() > 0)
            m_sink.write(std::string_view(m_piece.get(), used()));
        m_end = m_piece.get();
    }

private:
    static constexpr std::size_t firstPieceSize = 4 * 1024;
    static constexpr std::size_t overrun = 16;
    static constexpr std::size_t pieceSize = 256 * 1024;

    std::size_t used() const
    {
        return static_cast<std::size_t>(m_end - m_piece.get());
    }
    std::size_t room() const
    {
        return m_capacity - used();
    }

    // The piece grows to its full size before it is handed on, so that a
    // small file needs no big buffer.
    void makeRoom(std::size_t wanted)
    {
        std::size_t capacity = m_capacity;
        while (capacity < pieceSize && capacity - used() < wanted)
            capacity *= 2;
        if (capacity != m_capacity) {
            std::unique_ptr<char[]> grown(new char[capacity]);
            const std::size_t kept = used();
            std::memcpy(grown.get(), m_piece.get(), kept);
            m_piece = std::move(grown);
            m_end = m_piece.get() + kept;
            m_capacity = capacity;
        }
        if (room() < wanted)
            flush();
    }

#if KB_SIMD_SCANS
    // Copies count bytes to out in 16-byte pieces, which may run past their
    // end both ways, doubling each quote; returns the end of what it wrote.
    static char* copyDoublingQuotes(char* out, const char* from, std::size_t count)
    {
        const __m128i quotes = _mm_set1_epi8(quote);
        while (count > 0) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
            const auto found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, quotes)));
            const std::size_t upToQuote = found ? static_cast<std::size_t>(__builtin_ctz(found)) + 1 : 16;
            if (upToQuote > count) {
                out += count;
                break;
            }
            out += upToQuote;
            from += upToQuote;
            count -= upToQuote;
            if (found)
                *out++ = quote;
        }
        return out;
    }
#endif

    void appendQuotedInParts(std::string_view value)
    {
        put(quote);
        for (;;) {
            const std::size_t at = value.find(quote);
            if (at == std::string_view::npos)
                break;
            append(value.substr(0, at + 1));
            put(quote);
            value.remove_prefix(at + 1);
        }
        append(value);
        put(quote);
    }

    platform::ByteSink& m_sink;
    std::size_t m_capacity = firstPieceSize;
    std::unique_ptr<char[]> m_piece{new char[firstPieceSize]};
    char* m_end = m_piece.get();
};

// Writes the cells of packed rows, which hold no line breaks but lone LFs
// and no Ctrl-Z, so only commas and quotes need care. Runs of cells without
// either are copied whole; only a cell that holds one is written on its own.
class PackedRowWriter {
public:
    PackedRowWriter(const TextBuffer& text, PieceWriter& out)
        : m_out(out)
        , m_textBegin(text.data())
        , m_specials(text.data(), text.data() + text.size() - scanOverread)
    {
    }

    // The cells of the row; returns how many it holds.
    std::size_t write(const char* row)
    {
        std::size_t cells = 1;
        const char* run = row;
        const char* special = m_specials.next(row);
        for (; *special != packedRowEnd; special = m_specials.next(special)) {
            const char* cell = cellStart(run, special);
            const char* cellEnd = cellEndAfter(special);
            cells += m_out.appendWithCommas(run, static_cast<std::size_t>(cell - run));
            m_out.appendQuoted(std::string_view(cell, static_cast<std::size_t>(cellEnd - cell)), true);
            run = special = cellEnd;
        }
        return cells + m_out.appendWithCommas(run, static_cast<std::size_t>(special - run));
    }

private:
    // The start of the cell that holds at, not before from. Cells are short,
    // so 16 bytes at a time serve better than a call.
    const char* cellStart(const char* from, const char* at) const
    {
#if KB_SIMD_SCANS
        const __m128i cellEnds = _mm_set1_epi8(packedCellEnd);
        while (at > from && at - m_textBegin >= 16) {
            const char* piece = at - 16;
            auto found = static_cast<unsigned>(
                _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(piece)), cellEnds)));
            if (from > piece)
                found &= ~0u << (from - piece);
            if (found)
                return piece + (31 - __builtin_clz(found)) + 1;
            at = piece;
        }
#endif
        while (at > from && at[-1] != packedCellEnd)
            --at;
        return std::max(at, from);
    }

    // The end of the cell that holds at: its cell end or row end.
    static const char* cellEndAfter(const char* at)
    {
#if KB_SIMD_SCANS
        const __m128i cellEnds = _mm_set1_epi8(packedCellEnd);
        const __m128i rowEnds = _mm_set1_epi8(packedRowEnd);
        for (;; at += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
            const int found =
                _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cellEnds), _mm_cmpeq_epi8(bytes, rowEnds)));
            if (found)
                return at + __builtin_ctz(static_cast<unsigned>(found));
        }
#else
        while (*at != packedCellEnd && *at != packedRowEnd)
            ++at;
        return at;
#endif
    }

    PieceWriter& m_out;
    [[maybe_unused]] const char* m_textBegin; // where the backward scan must stop
    ByteFinder<comma, quote, packedRowEnd> m_specials;
};

// A changed cell can hold any byte. Line breaks are written as lone LFs,
// which the reader keeps inside the value; a Ctrl-Z is left out, since the
// reader would end the file there.
void putChangedCell(PieceWriter& out, std::string_view value)
{
    if (value.find_first_of(",\"\r\x1a") == std::string_view::npos) {
        out.append(value);
        return;
    }
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == ctrlZ)
            continue;
        if (c == carriageReturn) {
            text += lineFeed;
            if (i + 1 < value.size() && value[i + 1] == lineFeed)
                ++i;
            continue;
        }
        text += c;
    }
    if (text.find_first_of(",\"") == std::string::npos)
        out.append(text);
    else
        out.appendQuoted(text);
}

} // namespace

void writeAddressText(const AddressGrid& grid, platform::ByteSink& sink)
{
    PieceWriter out(sink);
    std::unique_ptr<PackedRowWriter> packed;
    const char* const commas = ",,,,,,,,,,,,,,,,,,,,,";
    for (int r = 0; r <= grid.rowCount(); ++r) {
        const RowCells cells = grid.rowCells(r);
        std::size_t written = 0;
        if (cells.packed) {
            if (!packed)
                packed = std::make_unique<PackedRowWriter>(grid.packedText(), out);
            written = packed->write(cells.packed);
        } else if (cells.changed) {
            for (int c = 0; c < AddressGrid::columnCount; ++c) {
                if (c > 0)
                    out.put(comma);
                putChangedCell(out, cells.changed->cell(c));
            }
            written = AddressGrid::columnCount;
        }
        const std::size_t missingCommas = written == 0 ? lastColumn : AddressGrid::columnCount - written;
        out.append(commas, missingCommas);
        out.append("\r\n", 2);
    }
    out.flush();
}

} // namespace kb::common
