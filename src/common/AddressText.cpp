#include "AddressText.h"

#include "common/ByteScan.h"
#include "platform/files/FileReplacing.h"
#include "platform/files/TextFile.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>

namespace kb::common {
namespace {

constexpr int lastColumn = AddressGrid::ColumnCount - 1;
constexpr char quote = '"';
constexpr char comma = ',';
constexpr char carriageReturn = '\r';
constexpr char lineFeed = '\n';
constexpr char ctrlZ = 26;
// Beyond the text: the row end of a last line without a line end, then the
// scans' overread.
constexpr std::size_t padding = addressTextPadding;

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
#if defined(__SSE2__)
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

// Packs the lines of the text into rows in place. The write position never
// passes the read position, since every byte read gives at most one byte
// written; only the last line without a line end needs its row end in the
// padding. Only quotes and line ends are visited one by one: the runs between
// them are copied in 16-byte pieces, their commas turned into cell ends on
// the way.
class TextPacker {
public:
    TextPacker(char* text, std::size_t length, RowOffsets& rows)
        : m_text(text)
        , m_end(text + length)
        , m_in(text)
        , m_out(text)
        , m_rows(rows)
        , m_specials(text, text + length)
    {
    }

    void packRows()
    {
        while (m_in < m_end)
            packRow();
    }

private:
    void packRow()
    {
        m_rows.push_back(static_cast<std::uint64_t>(m_out - m_text));
        int column = 0;
        bool insideQuotes = false;
        for (;;) {
            const char* special = m_specials.next(m_in);
            const bool commaBefore = special > m_in && special[-1] == comma;
            if (insideQuotes)
                copyUpTo(special);
            else
                column = copyFieldsUpTo(special, column);
            if (special == m_end) {
                // The last line has no line end, or a quoted value is still
                // open at the end of the text: keep what was read.
                endRow();
                return;
            }
            m_in = special + 1;
            if (*special == quote) {
                if (insideQuotes) {
                    if (m_in < m_end && *m_in == quote) {
                        put(quote);
                        ++m_in;
                    } else {
                        insideQuotes = false;
                    }
                } else if (m_in == m_end || *m_in == carriageReturn) {
                    put(quote); // a quote that ends the line is an ordinary character
                } else {
                    insideQuotes = true;
                }
            } else { // the line ends
                if (m_in < m_end && *m_in == lineFeed)
                    ++m_in;
                if (insideQuotes) {
                    // The value goes on in the next line, in the same row,
                    // with nothing between the two pieces.
                    if (m_in == m_end) {
                        endRow();
                        return;
                    }
                    continue;
                }
                // A comma that ends the line adds no empty field after it.
                if (commaBefore)
                    --m_out;
                endRow();
                return;
            }
        }
    }

    // Copies the bytes up to to, where every comma separates two fields:
    // the cell end. Fields past the last column are kept in it,
    // comma-separated. Returns the column reached.
    int copyFieldsUpTo(const char* to, int column)
    {
        if (column >= lastColumn) {
            copyUpTo(to);
            return column;
        }
        const auto count = static_cast<std::size_t>(to - m_in);
        const std::size_t commas = copyWithCellEnds(count);
        if (column + commas > static_cast<std::size_t>(lastColumn))
            keepCommasPastLastColumn(m_out, count, static_cast<std::size_t>(lastColumn - column));
        m_out += count;
        m_in = to;
        return column + static_cast<int>(std::min<std::size_t>(commas, lastColumn + 1));
    }

    // Copies count bytes from the read to the write position with each comma
    // made a cell end; returns how many commas there were.
    std::size_t copyWithCellEnds(std::size_t count)
    {
        // With this gap a piece written past the end reaches no byte not yet
        // read, and the text's padding covers the read past its end.
        return copyReplacing<comma, packedCellEnd>(m_out, m_in, count, m_in - m_out >= chunk);
    }

    // Makes the cell ends after the first kept of count bytes at out commas
    // again: fields beyond the last column.
    static void keepCommasPastLastColumn(char* out, std::size_t count, std::size_t kept)
    {
        for (std::size_t i = 0; i < count; ++i) {
            if (out[i] != packedCellEnd)
                continue;
            if (kept > 0)
                --kept;
            else
                out[i] = comma;
        }
    }

    void copyUpTo(const char* to)
    {
        const auto count = static_cast<std::size_t>(to - m_in);
        if (m_in - m_out >= chunk) {
            // Whole chunks, a little past the end: with this gap no chunk
            // reaches a byte not yet read, and the text's padding covers
            // the read past its end.
            for (std::size_t done = 0; done < count; done += chunk)
                std::memcpy(m_out + done, m_in + done, chunk);
        } else if (m_out != m_in) {
            std::memmove(m_out, m_in, count);
        }
        m_out += count;
        m_in = to;
    }

    static constexpr std::ptrdiff_t chunk = 16;

    void put(char c) { *m_out++ = c; }
    void endRow() { put(packedRowEnd); }

    char* m_text;
    const char* m_end;
    const char* m_in;
    char* m_out;
    RowOffsets& m_rows;
    ByteFinder<quote, carriageReturn> m_specials;
};

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
#if defined(__SSE2__)
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

#if defined(__SSE2__)
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
#if defined(__SSE2__)
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
#if defined(__SSE2__)
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

bool AddressTextExtent::add(const char* bytes, std::size_t count)
{
    if (m_ended)
        return false;
    const void* stop = std::memchr(bytes, ctrlZ, count); // the text ends at a Ctrl-Z
    const std::size_t used = stop ? static_cast<std::size_t>(static_cast<const char*>(stop) - bytes) : count;
    m_lineEnds += countBytes<carriageReturn>(bytes, used);
    m_length += used;
    m_ended = stop != nullptr;
    return !m_ended;
}

AddressGrid readAddressText(TextBuffer bytes)
{
    AddressTextExtent extent;
    extent.add(bytes.data(), bytes.size());
    return readAddressText(std::move(bytes), extent);
}

AddressGrid readAddressText(TextBuffer bytes, const AddressTextExtent& extent)
{
    const std::size_t length = extent.length();
    bytes.resize(length + padding);
    std::memset(bytes.data() + length, 0, padding);

    // Every line has a CR but perhaps the last, and no row has fewer than
    // one line: the offsets are allocated once.
    if (extent.lineEnds() >= static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw std::length_error("The address file has too many lines.");
    RowOffsets rows;
    rows.reserve(extent.lineEnds() + 1);
    TextPacker(bytes.data(), length, rows).packRows();

    const int rowCount = static_cast<int>(rows.size()) - 1;
    return AddressGrid(std::move(bytes), std::move(rows), rowCount < 1 ? 1 : rowCount);
}

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
            for (int c = 0; c < AddressGrid::ColumnCount; ++c) {
                if (c > 0)
                    out.put(comma);
                putChangedCell(out, cells.changed->cell(c));
            }
            written = AddressGrid::ColumnCount;
        }
        const std::size_t missingCommas = written == 0 ? lastColumn : AddressGrid::ColumnCount - written;
        out.append(commas, missingCommas);
        out.append("\r\n", 2);
    }
    out.flush();
}

} // namespace kb::common
