#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kb::launch {

// The largest desktop entry, mimeapps.list or globs file that is read: far
// above any real one, and a bound for a stray huge or endless file.
constexpr std::size_t maxAssociationFileBytes = 16 * 1024 * 1024;

// The bytes of such a file; nothing when it cannot be read or is too large.
std::optional<std::string> readAssociationFile(const std::filesystem::path& file);

// The keys of one group of a file in the desktop-entry format (desktop files,
// mimeapps.list, mimeinfo.cache), with the string escapes of the values
// (\s \n \t \r \\) decoded. Localised keys such as "Name[de]" are left out.
using DesktopGroup = std::map<std::string, std::string>;
// Groups by name; a group that appears twice is merged, first value winning.
using DesktopFile = std::map<std::string, DesktopGroup>;

DesktopFile parseDesktopFile(std::string_view text);
// Nothing when the file cannot be read.
std::optional<DesktopFile> readDesktopFile(const std::filesystem::path& file);

// The items of a list value ("a.desktop;b.desktop;"), empty items dropped.
std::vector<std::string> splitDesktopList(std::string_view value);

// The arguments of an Exec command by the desktop-entry quoting rules:
// arguments are separated by spaces; inside double quotes a backslash makes
// the next '"', '`', '$' or '\' literal.
std::vector<std::string> splitDesktopArguments(std::string_view command);

// The command's first argument, unquoted, and the text that follows it as it
// stands. The first argument is empty when the command holds none.
std::pair<std::string, std::string> splitFirstDesktopArgument(std::string_view command);

} // namespace kb::launch
