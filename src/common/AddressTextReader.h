#pragma once

#include "common/AddressGrid.h"
#include "common/ByteScan.h"

namespace kb::common {

// Reads an address file's text in memory. LoadGridFromFile (uCommon.h)
// gives it the file's bytes; the rules of the format are described there.

// Room that readAddressText needs beyond the bytes; a buffer with this much
// spare capacity is used as it is, never copied.
constexpr std::size_t addressTextPadding = 1 + scanOverread;

// How far an address file's text goes (up to its first Ctrl-Z) and how many
// line ends it holds, gathered piece by piece as the file is read, while
// each piece is still in the cache.
class AddressTextExtent {
public:
    // Takes the file's next count bytes; false once the text has ended,
    // after which further bytes do not count.
    bool add(const char* bytes, std::size_t count);

    std::size_t length() const { return m_length; }
    std::size_t lineEnds() const { return m_lineEnds; }

private:
    std::size_t m_length = 0;
    std::size_t m_lineEnds = 0;
    bool m_ended = false;
};

// Reads the rows of an address file's bytes into a table. The bytes are
// taken over and become the table's storage: values are unescaped in place.
AddressGrid readAddressText(TextBuffer bytes);
// The same, for bytes whose extent was gathered while they were read.
AddressGrid readAddressText(TextBuffer bytes, const AddressTextExtent& extent);

} // namespace kb::common
