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

// Reads every card of a vCard file, in the forms of vCard 4.0 (RFC 6350),
// 3.0 (RFC 2426) and the 2.1 that phones write: lines end in CR LF or LF, a
// line that starts with a space or a tab continues the one before, and so
// does the line after a quoted-printable soft line break; names are matched
// without regard to case and groups are dropped. Encoded values come back
// decoded to UTF-8 (TransferEncoding.h); one that cannot be, and a card
// nested in a card, are left out and named in the card's unread list.
// Raises VCardSyntaxError for text that is not UTF-8 where no CHARSET says
// otherwise, a line outside a card, a line without a colon, or a card that
// does not end.
std::vector<VCard> readVCards(std::string_view text);

} // namespace kb::exporter
