#pragma once

#include <string>
#include <vector>

namespace kb::test {

// Lines of an address file, as the tests write them.
inline const std::string commas21(21, ',');
inline const std::string heading = "Alias,Name,Cat." + std::string(19, ',') + "\r\n";

// A line of the file with the given leading cells.
inline std::string line(const std::vector<std::string>& cells)
{
    std::string text;
    for (std::size_t c = 0; c < 22; ++c) {
        if (c > 0)
            text += ',';
        if (c < cells.size())
            text += cells[c];
    }
    return text + "\r\n";
}

} // namespace kb::test
