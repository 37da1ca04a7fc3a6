#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// The pieces of text between separators, empty ones included: "a::b" is
// "a", "" and "b".
inline std::vector<std::string_view> splitAt(std::string_view text, char separator)
{
    std::vector<std::string_view> pieces;
    while (true) {
        const auto end = text.find(separator);
        pieces.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            return pieces;
        text.remove_prefix(end + 1);
    }
}

// The text with each backslash and the character after it replaced by what
// decode makes of that character; a backslash at the very end stands for
// itself.
template <typename Decode>
std::string withEscapesDecoded(std::string_view value, Decode decode)
{
    std::string decoded;
    decoded.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size())
            decoded += value[i];
        else
            decoded += decode(value[++i]);
    }
    return decoded;
}

} // namespace kb::platform
