#include "AddressText.h"

#include "ByteScan.h"
#include "TextFile.h"

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
        std::size_t commas = 0;
        std::size_t i = 0;
#if defined(__SSE2__)
        const __m128i commaBytes = _mm_set1_epi8(comma);
        const __m128i cellEnds = _mm_set1_epi8(packedCellEnd);
        // With this gap a piece written past the end reaches no byte not yet
        // read, and the text's padding covers the read past its end.
        const bool wholePieces = m_in - m_out >= chunk;
        __m128i sums = _mm_setzero_si128(); // two 64-bit counts
        while (i + chunk <= count || (wholePieces && i < count)) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_in + i));
            __m128i found = _mm_cmpeq_epi8(bytes, commaBytes);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(m_out + i),
                             _mm_or_si128(_mm_andnot_si128(found, bytes), _mm_and_si128(found, cellEnds)));
            if (count - i < chunk) // the piece runs past the end: count only its start
                found = _mm_and_si128(found, _mm_loadu_si128(reinterpret_cast<const __m128i*>(firstBytes + chunk - (count - i))));
            sums = _mm_add_epi64(sums, _mm_sad_epu8(_mm_sub_epi8(_mm_setzero_si128(), found), _mm_setzero_si128()));
            i += chunk;
        }
        commas = static_cast<std::size_t>(_mm_cvtsi128_si64(sums))
            + static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
#endif
        for (; i < count; ++i) {
            const char c = m_in[i];
            commas += c == comma;
            m_out[i] = c == comma ? packedCellEnd : c;
        }
        return commas;
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
    // 16 bytes from firstBytes + 16 - n: n set bytes, then clear ones.
    static constexpr char firstBytes[2 * chunk] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

    void put(char c) { *m_out++ = c; }
    void endRow() { put(packedRowEnd); }

    char* m_text;
    const char* m_end;
    const char* m_in;
    char* m_out;
    RowOffsets& m_rows;
    ByteFinder<quote, carriageReturn> m_specials;
};

// Copies count bytes with every packed cell end made a comma; returns how
// many there were.
std::size_t copyWithCommas(char* to, const char* from, std::size_t count)
{
    std::size_t cellEnds = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i cellEnd = _mm_set1_epi8(packedCellEnd);
    const __m128i commas = _mm_set1_epi8(comma);
    while (i + 16 <= count) {
        // Each lane counts its hits up to 255 times before they are summed.
        __m128i hits = _mm_setzero_si128();
        for (int round = 0; round < 255 && i + 16 <= count; ++round, i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
            const __m128i ends = _mm_cmpeq_epi8(bytes, cellEnd);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i),
                             _mm_or_si128(_mm_andnot_si128(ends, bytes), _mm_and_si128(ends, commas)));
            hits = _mm_sub_epi8(hits, ends);
        }
        const __m128i sums = _mm_sad_epu8(hits, _mm_setzero_si128());
        cellEnds += static_cast<std::size_t>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
    }
#endif
    for (; i < count; ++i) {
        const bool end = from[i] == packedCellEnd;
        cellEnds += end;
        to[i] = end ? comma : from[i];
    }
    return cellEnds;
}

// Collects the written bytes and hands them on in pieces.
class PieceWriter {
public:
    explicit PieceWriter(platform::ByteSink& sink) : m_sink(sink) {}

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
    // how many cell ends there were.
    std::size_t appendWithCommas(const char* bytes, std::size_t count)
    {
        std::size_t cellEnds = 0;
        while (count > 0) {
            if (count > room())
                makeRoom(count);
            const std::size_t part = std::min(count, room());
            cellEnds += copyWithCommas(m_end, bytes, part);
            m_end += part;
            bytes += part;
            count -= part;
        }
        return cellEnds;
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
    static constexpr std::size_t pieceSize = 256 * 1024;

    std::size_t used() const { return static_cast<std::size_t>(m_end - m_piece.get()); }
    std::size_t room() const { return m_capacity - used(); }

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

    platform::ByteSink& m_sink;
    std::size_t m_capacity = firstPieceSize;
    std::unique_ptr<char[]> m_piece{new char[firstPieceSize]};
    char* m_end = m_piece.get();
};

void putQuoted(PieceWriter& out, std::string_view value)
{
    out.put(quote);
    for (;;) {
        const std::size_t at = value.find(quote);
        if (at == std::string_view::npos)
            break;
        out.append(value.substr(0, at + 1));
        out.put(quote);
        value.remove_prefix(at + 1);
    }
    out.append(value);
    out.put(quote);
}

// Writes the cells of packed rows, which hold no line breaks but lone LFs
// and no Ctrl-Z, so only commas and quotes need care. Runs of cells without
// either are copied whole; only a cell that holds one is written on its own.
class PackedRowWriter {
public:
    PackedRowWriter(const TextBuffer& text, PieceWriter& out)
        : m_out(out)
        , m_textEnd(text.data() + text.size() - scanOverread)
        , m_needQuotes(text.data(), m_textEnd)
    {
    }

    // The cells of the row; returns how many it holds.
    std::size_t write(const char* row)
    {
        const char* rowEnd =
            static_cast<const char*>(std::memchr(row, packedRowEnd, static_cast<std::size_t>(m_textEnd - row)));
        std::size_t cells = 1;
        const char* run = row;
        for (const char* special = m_needQuotes.next(row); special < rowEnd; special = m_needQuotes.next(special)) {
            const void* before = ::memrchr(run, packedCellEnd, static_cast<std::size_t>(special - run));
            const char* cell = before ? static_cast<const char*>(before) + 1 : run;
            const void* after = std::memchr(special, packedCellEnd, static_cast<std::size_t>(rowEnd - special));
            const char* cellEnd = after ? static_cast<const char*>(after) : rowEnd;
            cells += m_out.appendWithCommas(run, static_cast<std::size_t>(cell - run));
            putQuoted(m_out, std::string_view(cell, static_cast<std::size_t>(cellEnd - cell)));
            run = special = cellEnd;
        }
        return cells + m_out.appendWithCommas(run, static_cast<std::size_t>(rowEnd - run));
    }

private:
    PieceWriter& m_out;
    const char* m_textEnd;
    ByteFinder<comma, quote> m_needQuotes;
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
        putQuoted(out, text);
}

} // namespace

AddressGrid readAddressText(TextBuffer bytes)
{
    const void* stop = std::memchr(bytes.data(), ctrlZ, bytes.size()); // the text ends at a Ctrl-Z
    const std::size_t length =
        stop ? static_cast<std::size_t>(static_cast<const char*>(stop) - bytes.data()) : bytes.size();
    bytes.resize(length + padding);
    std::memset(bytes.data() + length, 0, padding);

    // Every line has a CR but perhaps the last, and no row has fewer than
    // one line: the offsets are allocated once.
    std::size_t lineEnds = 0;
    const char* const end = bytes.data() + length;
    for (const char* at = bytes.data();
         (at = static_cast<const char*>(std::memchr(at, carriageReturn, static_cast<std::size_t>(end - at))));
         ++at)
        ++lineEnds;
    if (lineEnds >= static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw std::length_error("The address file has too many lines.");
    RowOffsets rows;
    rows.reserve(lineEnds + 1);
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
