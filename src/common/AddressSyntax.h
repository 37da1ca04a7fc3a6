#pragma once

#include "common/AddressGrid.h"

namespace kb::common {

// The bytes that give an address file's text its shape.
constexpr char quote = '"';
constexpr char comma = ',';
constexpr char carriageReturn = '\r';
constexpr char lineFeed = '\n';
constexpr char ctrlZ = 26; // ends the text, as DOS editors wrote it

constexpr int lastColumn = AddressGrid::columnCount - 1;

} // namespace kb::common
