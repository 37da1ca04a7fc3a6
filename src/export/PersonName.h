#pragma once

#include <string>
#include <string_view>

namespace kb::exporter {

// A name as address books that want its parts take it. The address file
// keeps a name as one text, so its parts are a guess, made the way people
// write names: "Family, Given Middle" where a comma follows the first words;
// otherwise the last word is the family name (with a particle such as "van"
// or "de" before it), the first the given name and the words between the
// middle names. Titles such as "Dr." before the name are the prefix, and
// "Jr.", "III" or "PhD" after it the suffix. A couple ("Tom and Jessica
// Reid") shares the family name, and both given names stay together.
struct PersonName {
    std::string prefix;
    std::string given;
    std::string middle;
    std::string family;
    std::string suffix;
};

PersonName splitPersonName(std::string_view name);

} // namespace kb::exporter
