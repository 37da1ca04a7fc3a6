#pragma once

#include "export/VCard.h"

#include <stdexcept>
#include <string_view>
#include <vector>

namespace kb::exporter {

// A file that is not vCard text; the message names the line.
class VCardSyntaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads every card of a vCard file (RFC 6350, and the 3.0 cards that most
// programs still write): lines end in CR LF or LF, a line that starts with a
// space or a tab continues the one before, names are matched without regard
// to case and groups are dropped. Raises VCardSyntaxError for text that is
// not UTF-8, a line outside a card, a line without a colon, or a card that
// does not end.
std::vector<VCard> readVCards(std::string_view text);

} // namespace kb::exporter
