#pragma once

#include <cstddef>
#include <string>

// Address files of a given number of addresses, written the way the address
// book writes them: the heading line, the addresses, a blank trailer line.
// About 180 bytes per address, with quoted values and notes of two lines.
std::string generateAddressFile(std::size_t addressCount);
