#pragma once

#include "common/AddressGrid.h"
#include "platform/files/FileName.h"
#include "platform/files/FileVersion.h"

#include <cstddef>
#include <string>
#include <string_view>

// How much of a one-line file is read: far more than any path its line can
// name, so that a huge or endless file costs neither time nor memory.
constexpr std::size_t maxDataFileNameBytes = 16 * 1024;

// The first line of the text file fileName less its first 13 characters (the
// length of "DataFileName="); the key itself is not compared. Only the first
// maxDataFileNameBytes of the file are read, so a longer line is cut there.
// Raises the file error when the file cannot be opened; a failure while
// reading gives the empty string.
std::string ReadDataFileName(std::string_view fileName);

// Fills grid from the address file name: one row per line, fields split
// at commas with the DOS product's quoting, the visible row count set to the
// last row index (at least 1) so that the last line is the trailer row.
// The grid then holds the file's rows only. Raises EInOutError when the file
// cannot be opened or read ("Invalid filename" for an empty name), and then
// leaves the grid as it was. The file is read whole into one buffer, which the
// grid keeps: its memory is about the file's size plus 8 bytes a line.
//
// Beyond the DOS product's reader, so that nothing read is lost:
// - fields after the 22nd are joined, comma-separated, onto column 21;
// - a quoted value still open at the end of the file keeps what was read,
//   and its row becomes the trailer row, which is written back.
// With version, also tells which file was read and a hash of its bytes, so
// that a later save can see whether another program wrote it meanwhile.
void LoadGridFromFile(const kb::platform::FileName& name, kb::common::AddressGrid& grid,
                      kb::platform::FileVersion* version = nullptr);

// Writes rows 0..R (R the visible row count) of grid to name, 22 fields
// each, quoting a value only where it holds a comma or a double quote,
// CR LF after every line. The file is replaced in one step, so a failed save
// leaves the old file whole. Raises EInOutError ("Invalid filename" for an
// empty name).
//
// A line break inside a value is written as a lone LF, which the reader
// keeps inside the value; a CR LF or a lone CR in a value becomes a lone LF.
// A Ctrl-Z in a value is left out, since the reader ends the file there.
void SaveGridToFile(const kb::platform::FileName& name, const kb::common::AddressGrid& grid);
