#include "PersonName.h"

#include "platform/text/AsciiCase.h"

#include <algorithm>
#include <array>
#include <vector>

namespace kb::exporter {

namespace {

using Words = std::vector<std::string>;

// The word in upper case without the full stops and the comma that may end it.
std::string bareWord(std::string_view word)
{
    while (!word.empty() && (word.back() == '.' || word.back() == ','))
        word.remove_suffix(1);
    return platform::asciiUppered(word);
}

template <std::size_t Count>
bool isOneOf(std::string_view word, const std::array<std::string_view, Count>& list)
{
    return std::find(list.begin(), list.end(), bareWord(word)) != list.end();
}

bool isTitle(std::string_view word)
{
    static constexpr std::array<std::string_view, 9> titles = {"MR",   "MRS", "MS",  "MISS", "DR",
                                                               "PROF", "REV", "SIR", "DAME"};
    return isOneOf(word, titles);
}

bool isSuffix(std::string_view word)
{
    static constexpr std::array<std::string_view, 13> suffixes = {"JR",  "SR", "JUNIOR", "SENIOR", "II",  "III", "IV",
                                                                  "PHD", "MD", "ESQ",    "MBE",    "OBE", "CBE"};
    return isOneOf(word, suffixes);
}

bool isConjunction(std::string_view word)
{
    return word == "&" || platform::equalsIgnoringAsciiCase(word, "and");
}

// Written in lower case before a family name: "van", "de la", "von der".
bool isParticle(std::string_view word)
{
    static constexpr std::array<std::string_view, 16> particles = {
        "van", "von", "de", "der", "den", "del", "della", "di", "da", "du", "la", "le", "ten", "ter", "dos", "das"};
    return std::find(particles.begin(), particles.end(), word) != particles.end();
}

Words wordsOf(std::string_view text)
{
    Words words;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = text.find_first_not_of(' ', i);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(text.find(' ', start), text.size());
        words.emplace_back(text.substr(start, end - start));
        i = end;
    }
    return words;
}

std::string joined(Words::const_iterator begin, Words::const_iterator end)
{
    std::string text;
    for (auto word = begin; word != end; ++word) {
        if (!text.empty())
            text += ' ';
        text += *word;
    }
    return text;
}

// Takes the titles off the front and the suffixes off the back of words.
void takeTitlesAndSuffixes(Words& words, PersonName& parts)
{
    auto first = words.begin();
    while (words.end() - first > 1 && isTitle(*first))
        ++first;
    parts.prefix = joined(words.begin(), first);
    words.erase(words.begin(), first);
    auto last = words.end();
    while (last - words.begin() > 1 && isSuffix(*(last - 1)))
        --last;
    parts.suffix = joined(last, words.end());
    words.erase(last, words.end());
    // "John Smith, Jr.": the comma belongs to the suffix.
    if (!parts.suffix.empty() && !words.empty() && words.back().back() == ',')
        words.back().pop_back();
}

} // namespace

PersonName splitPersonName(std::string_view name)
{
    PersonName parts;
    Words words = wordsOf(name);
    takeTitlesAndSuffixes(words, parts);
    if (words.empty())
        return parts;

    // "Whitfield, Anna Marie": the words before the comma are the family name.
    const auto comma =
        std::find_if(words.begin(), words.end() - 1, [](const std::string& word) { return word.back() == ','; });
    if (comma != words.end() - 1) {
        parts.family = joined(words.begin(), comma + 1);
        parts.family.pop_back();
        auto first = comma + 1;
        while (words.end() - first > 1 && isTitle(*first))
            ++first;
        if (parts.prefix.empty())
            parts.prefix = joined(comma + 1, first);
        if (std::any_of(first, words.end(), isConjunction)) {
            parts.given = joined(first, words.end());
        } else {
            parts.given = *first;
            parts.middle = joined(first + 1, words.end());
        }
        return parts;
    }

    if (words.size() == 1) {
        parts.given = words.front();
        return parts;
    }
    auto familyStart = words.end() - 1;
    while (familyStart - 1 > words.begin() && isParticle(*(familyStart - 1)))
        --familyStart;
    parts.family = joined(familyStart, words.end());
    const bool couple = std::any_of(words.begin() + 1, familyStart, isConjunction);
    if (couple) {
        parts.given = joined(words.begin(), familyStart);
    } else {
        parts.given = words.front();
        parts.middle = joined(words.begin() + 1, familyStart);
    }
    return parts;
}

} // namespace kb::exporter
