#pragma once

#include <string_view>

namespace kb::platform {

// Takes the first line off text and returns it without its line end: an LF,
// or a CR LF as the files of DOS and Windows end their lines. The last line
// needs no line end.
inline std::string_view takeLine(std::string_view& text)
{
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

} // namespace kb::platform
