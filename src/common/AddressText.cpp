#include "AddressText.h"

#include "ByteScan.h"
#include "TextFile.h"

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
// padding.
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
        const char* afterComma = nullptr;
        bool insideQuotes = false;
        for (;;) {
            const char* special = m_specials.next(m_in);
            copyUpTo(special);
            if (special == m_end) {
                // The last line has no line end, or a quoted value is still
                // open at the end of the text: keep what was read.
                endRow();
                return;
            }
            const char c = *special;
            m_in = special + 1;
            if (c == comma) {
                if (insideQuotes) {
                    put(comma);
                } else {
                    // Fields past the last column are kept in it, comma-separated.
                    put(column >= lastColumn ? comma : packedCellEnd);
                    ++column;
                    afterComma = m_in;
                }
            } else if (c == quote) {
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
                if (afterComma == special)
                    --m_out;
                endRow();
                return;
            }
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
    ByteFinder<comma, quote, carriageReturn> m_specials;
};

// Collects the written bytes and hands them on in pieces.
class PieceWriter {
public:
    explicit PieceWriter(platform::ByteSink& sink) : m_sink(sink) {}

    void append(const char* bytes, std::size_t count)
    {
        if (count > room()) {
            flush();
            if (count > pieceSize) {
                m_sink.write(std::string_view(bytes, count));
                return;
            }
        }
        std::memcpy(m_end, bytes, count);
        m_end += count;
    }
    void append(std::string_view bytes) { append(bytes.data(), bytes.size()); }
    void put(char c)
    {
        if (room() == 0)
            flush();
        *m_end++ = c;
    }

    void flush()
    {
        if (m_end != m_piece.get())
            m_sink.write(std::string_view(m_piece.get(), static_cast<std::size_t>(m_end - m_piece.get())));
        m_end = m_piece.get();
    }

private:
    static constexpr std::size_t pieceSize = 256 * 1024;

    std::size_t room() const { return pieceSize - static_cast<std::size_t>(m_end - m_piece.get()); }

    platform::ByteSink& m_sink;
    std::unique_ptr<char[]> m_piece{new char[pieceSize]};
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
// and no Ctrl-Z, so only commas and quotes need care.
class PackedRowWriter {
public:
    PackedRowWriter(const TextBuffer& text, PieceWriter& out)
        : m_out(out)
        , m_specials(text.data(), text.data() + text.size() - scanOverread)
    {
    }

    // The cells of the row; returns how many it holds.
    int write(const char* row)
    {
        int cells = 0;
        const char* cell = row;
        const char* at = row;
        bool needsQuotes = false;
        for (;;) {
            const char* special = m_specials.next(at);
            const char c = *special;
            at = special + 1;
            if (c == comma || c == quote) {
                needsQuotes = true;
                continue;
            }
            if (cells > 0)
                m_out.put(comma);
            const std::string_view value(cell, static_cast<std::size_t>(special - cell));
            if (needsQuotes)
                putQuoted(m_out, value);
            else
                m_out.append(value);
            ++cells;
            if (c == packedRowEnd)
                return cells;
            cell = at;
            needsQuotes = false;
        }
    }

private:
    PieceWriter& m_out;
    ByteFinder<comma, quote, packedCellEnd, packedRowEnd> m_specials;
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
        int written = 0;
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
        const int missingCommas = written == 0 ? lastColumn : AddressGrid::ColumnCount - written;
        out.append(commas, static_cast<std::size_t>(missingCommas));
        out.append("\r\n", 2);
    }
    out.flush();
}

} // namespace kb::common
