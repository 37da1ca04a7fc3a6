#include "uCommon.h"

#include "TextFile.h"

#include <limits>
#include <stdexcept>

namespace {
constexpr std::size_t keyLength = 13; // "DataFileName="
constexpr int rowGrowthStep = 1000;
constexpr int lastColumn = AddressGrid::ColumnCount - 1;
constexpr char quote = '"';
constexpr char comma = ',';
constexpr char carriageReturn = '\r';
constexpr char lineFeed = '\n';
constexpr char ctrlZ = 26;

// Splits the lines of an address file into the cells of a grid, keeping the
// state that a quoted value carries from one line into the next.
class AddressFileParser {
public:
    explicit AddressFileParser(AddressGrid& grid) : m_grid(grid) {}

    void parseLine(std::string_view line)
    {
        if (!m_insideQuotes)
            beginRow();
        bool endedByComma = false;
        std::size_t i = 0;
        const std::size_t n = line.size();
        while (i < n) {
            if (m_insideQuotes) {
                const std::size_t q = line.find(quote, i);
                if (q == std::string_view::npos) {
                    m_value.append(line, i, n - i);
                    break;
                }
                m_value.append(line, i, q - i);
                if (q + 1 < n && line[q + 1] == quote) {
                    m_value += quote;
                    i = q + 2;
                } else {
                    m_insideQuotes = false;
                    i = q + 1;
                }
                continue;
            }
            std::size_t j = i;
            while (j < n && line[j] != comma && line[j] != quote)
                ++j;
            if (j == n) {
                m_value.append(line, i, j - i);
                break;
            }
            if (line[j] == comma) {
                if (m_value.empty()) {
                    storeValue(line.substr(i, j - i)); // a bare field, the usual case
                } else {
                    m_value.append(line, i, j - i);
                    storeValue(m_value);
                    m_value.clear();
                }
                ++m_column;
                endedByComma = j + 1 == n;
            } else {
                m_value.append(line, i, j - i);
                if (j + 1 == n)
                    m_value += quote; // a quote that ends the line is an ordinary character
                else
                    m_insideQuotes = true;
            }
            i = j + 1;
        }
        if (m_insideQuotes)
            return; // the value goes on in the next line, in the same row
        if (!line.empty() && !endedByComma)
            storeValue(m_value);
        finishRow();
    }

    // Settles the row count after the last line.
    void finish()
    {
        if (m_insideQuotes) {
            // The file ended inside a quoted value: keep what was read and
            // count its row as read, so that it is written back.
            storeValue(m_value);
            finishRow();
            m_insideQuotes = false;
        }
        m_grid.setRowCount(m_rowIndex < 1 ? 1 : m_rowIndex);
        m_grid.releaseSpareCapacity();
    }

private:
    void beginRow()
    {
        if (m_rowIndex >= std::numeric_limits<int>::max() - rowGrowthStep)
            throw std::length_error("The address file has too many lines.");
        ++m_rowIndex;
        // The count runs ahead of the rows read; it takes no storage.
        if (m_rowIndex >= m_grid.rowCount())
            m_grid.setRowCount(m_rowIndex + rowGrowthStep);
        m_row.clear();
        m_column = 0;
        m_value.clear();
    }

    void storeValue(std::string_view value)
    {
        if (m_column <= lastColumn) {
            m_row.setCell(m_column, value);
            return;
        }
        // The grid has no column for it: keep it with the last column.
        m_joined.assign(m_row.cell(lastColumn));
        m_joined += comma;
        m_joined += value;
        m_row.setCell(lastColumn, m_joined);
    }

    void finishRow()
    {
        // The copy's buffer is exactly as long as the row; the scratch row
        // keeps its capacity for the next line.
        if (!m_row.empty())
            m_grid.setRow(m_rowIndex, m_row);
    }

    AddressGrid& m_grid;
    AddressRow m_row;
    std::string m_value;
    std::string m_joined;
    int m_rowIndex = -1;
    int m_column = 0;
    bool m_insideQuotes = false;
};

bool needsCare(std::string_view value)
{
    for (const char c : value) {
        if (c == comma || c == quote || c == carriageReturn || c == ctrlZ)
            return true;
    }
    return false;
}

// The value as the file can hold it: line breaks as lone LFs, no Ctrl-Z.
std::string storable(std::string_view value)
{
    std::string result;
    result.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == ctrlZ)
            continue;
        if (c == carriageReturn) {
            result += lineFeed;
            if (i + 1 < value.size() && value[i + 1] == lineFeed)
                ++i;
            continue;
        }
        result += c;
    }
    return result;
}

void appendField(std::string& out, std::string_view value)
{
    if (!needsCare(value)) {
        out += value;
        return;
    }
    const std::string text = storable(value);
    if (text.find_first_of(",\"") == std::string::npos) {
        out += text;
        return;
    }
    out += quote;
    for (const char c : text) {
        if (c == quote)
            out += quote;
        out += c;
    }
    out += quote;
}

} // namespace

std::string ReadDataFileName(std::string_view fileName)
{
    kb::platform::TextFileReader reader(fileName);
    std::string result;
    try {
        std::string line;
        reader.readLine(line);
        if (line.size() > keyLength)
            result = line.substr(keyLength);
    } catch (const std::exception&) {
        result.clear();
    }
    return result;
}

void LoadGridFromFile(std::string_view fileName, AddressGrid& grid)
{
    kb::platform::TextFileReader reader(fileName);
    AddressGrid loaded;
    AddressFileParser parser(loaded);
    std::string line;
    while (reader.readLine(line))
        parser.parseLine(line);
    parser.finish();
    grid = std::move(loaded);
}

void SaveGridToFile(std::string_view fileName, const AddressGrid& grid)
{
    const int lastRow = grid.rowCount();
    std::size_t estimate = 0;
    for (int r = 0; r <= lastRow; ++r)
        estimate += grid.row(r).byteCount() + AddressGrid::ColumnCount + 1;

    std::string bytes;
    bytes.reserve(estimate + estimate / 64);
    for (int r = 0; r <= lastRow; ++r) {
        const AddressRow& row = grid.row(r);
        for (int c = 0; c < AddressGrid::ColumnCount; ++c) {
            if (c > 0)
                bytes += comma;
            appendField(bytes, row.cell(c));
        }
        bytes += "\r\n";
    }
    kb::platform::writeFileReplacing(fileName, bytes);
}
