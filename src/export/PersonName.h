#pragma once

#include <string>
#include <string_view>

namespace kb::exporter {

// A name as address books that want its parts take it. The address file
// keeps a name as one text, so its parts are a guess: the last word is the
// family name, the first the given name, the words between the middle names,
// and a title such as "Dr." before them the prefix.
struct PersonName {
    std::string prefix;
    std::string given;
    std::string middle;
    std::string family;
};

PersonName splitPersonName(std::string_view name);

} // namespace kb::exporter
