#include "AddressTextReader.h"

#include "common/AddressSyntax.h"
#include "common/ByteScan.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace kb::common {
namespace {

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

} // namespace kb::common
