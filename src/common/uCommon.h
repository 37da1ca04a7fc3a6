#pragma once

#include <string>
#include <string_view>

// The first line of the text file fileName less its first 13 characters (the
// length of "DataFileName="); the key itself is not compared. Raises the
// file error when the file cannot be opened; a failure while reading gives
// the empty string.
std::string ReadDataFileName(std::string_view fileName);
