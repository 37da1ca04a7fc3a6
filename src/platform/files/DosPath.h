#pragma once

#include <string>
#include <string_view>

namespace kb::platform {

// Where Wine keeps the links of the DOS drive letters:
// $WINEPREFIX/dosdevices (default ~/.wine).
std::string dosDevicesDirectory();

// Turns a name written the DOS way into a Linux path:
// - a backslash separates directories, like a slash;
// - "X:" at the start is the directory $WINEPREFIX/dosdevices/x: (default ~/.wine);
// - a leading "~" followed by a separator is the home directory;
// - every component that exists is matched exactly first, then without regard
//   to ASCII case, so "DATA\ADDRESS.CSV" finds "Data/Address.csv".
// Components that match nothing are kept as written, so that opening the
// result fails with the errno that tells which part is missing.
std::string resolveDosPath(std::string_view dosName);

// The existence test of the DOS product: true for an existing regular file.
bool dosFileExists(std::string_view dosName);

} // namespace kb::platform
