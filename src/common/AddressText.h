#pragma once

#include "AddressGrid.h"
#include "ByteScan.h"

namespace kb::platform {
class ByteSink;
}

namespace kb::common {

// The address file's text in memory, both ways. LoadGridFromFile and
// SaveGridToFile (uCommon.h) move it between the file and these routines;
// the rules of the format are described there.

// Room that readAddressText needs beyond the bytes; a buffer with this much
// spare capacity is used as it is, never copied.
constexpr std::size_t addressTextPadding = 1 + scanOverread;

// Reads the rows of an address file's bytes into a table. The bytes are
// taken over and become the table's storage: values are unescaped in place.
AddressGrid readAddressText(TextBuffer bytes);

// Writes rows 0..R of grid as address-file lines into sink, in pieces of a
// few hundred kilobytes.
void writeAddressText(const AddressGrid& grid, platform::ByteSink& sink);

} // namespace kb::common
