#include "PersonName.h"

#include "platform/text/AsciiCase.h"

#include <algorithm>
#include <array>
#include <vector>

namespace kb::exporter {

namespace {

bool isTitle(std::string_view word)
{
    static constexpr std::array<std::string_view, 9> titles = {"MR",   "MRS", "MS",  "MISS", "DR",
                                                               "PROF", "REV", "SIR", "DAME"};
    if (!word.empty() && word.back() == '.')
        word.remove_suffix(1);
    return std::find(titles.begin(), titles.end(), platform::asciiUppered(word)) != titles.end();
}

std::string joined(std::vector<std::string>::const_iterator begin, std::vector<std::string>::const_iterator end)
{
    std::string text;
    for (auto word = begin; word != end; ++word) {
        if (!text.empty())
            text += ' ';
        text += *word;
    }
    return text;
}

} // namespace

PersonName splitPersonName(std::string_view name)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < name.size()) {
        const std::size_t start = name.find_first_not_of(' ', i);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(name.find(' ', start), name.size());
        words.emplace_back(name.substr(start, end - start));
        i = end;
    }
    PersonName parts;
    auto first = words.cbegin();
    if (words.size() > 1 && isTitle(*first))
        parts.prefix = *first++;
    if (first == words.cend())
        return parts;
    const auto last = words.cend() - 1;
    if (first == last) {
        parts.given = *first;
        return parts;
    }
    parts.given = *first;
    parts.middle = joined(first + 1, last);
    parts.family = *last;
    return parts;
}

} // namespace kb::exporter
