#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kb::exporter {

// A card as content lines, kept close to the text so that the reader and the
// writer stay small and the meaning of each property lives in one place
// (AddressCard.h). BEGIN, VERSION and END are not properties here.
struct VCardParameter {
    std::string name; // upper case
    std::vector<std::string> values;
};

struct VCardProperty {
    std::string name; // upper case, without its group
    std::vector<VCardParameter> parameters;
    std::string value; // as written in the card: escaped, components not split

    // Whether a TYPE parameter lists type, without regard to case.
    bool hasType(std::string_view type) const;
    // The values of the named parameter, or nothing.
    const std::vector<std::string>* parameter(std::string_view name) const;
};

struct VCard {
    std::string version; // as the card writes it; empty where it names none
    std::vector<VCardProperty> properties;
    std::size_t line = 0; // where its BEGIN stands, from 1
    // What the reader could not take from the card, one line each: a value
    // it could not decode, a card inside it.
    std::vector<std::string> unread;

    const VCardProperty* first(std::string_view name) const;
};

// Text values and their structure, as RFC 6350 writes them: a backslash
// escapes itself, the comma, the semicolon and a line break (\n).
std::string escapedText(std::string_view text);
std::string unescapedText(std::string_view value);

// Splits a value at every separator that no backslash escapes; the pieces
// stay escaped. Used for the components of N, ADR and ORG (';') and for the
// lists inside them and in CATEGORIES (',').
std::vector<std::string> splitValue(std::string_view value, char separator);

// Joins escaped pieces with separator.
std::string joinedValue(const std::vector<std::string>& pieces, char separator);

} // namespace kb::exporter
