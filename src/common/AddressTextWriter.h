#pragma once

#include "common/AddressGrid.h"

namespace kb::platform {
class ByteSink;
}

namespace kb::common {

// Writes rows 0..R of grid as address-file lines into sink, in pieces of a
// few hundred kilobytes. SaveGridToFile (uCommon.h) gives it the file's
// sink; the rules of the format are described there.
void writeAddressText(const AddressGrid& grid, platform::ByteSink& sink);

} // namespace kb::common
