#pragma once

#include "export/AddressCard.h"

#include <string>
#include <vector>

namespace kb::exporter {

// The addresses as UTF-8 CSV under the headings that Thunderbird's address
// book writes and reads ("First Name", "Primary Email", "Home ZipCode", ...),
// with the few that it lacks (a second fax, a birthday in one field,
// categories) named as Google Contacts and Outlook name them. Fields are
// quoted where they hold a comma, a double quote or a line break; lines end
// in CR LF. A birthday that is no date goes into the notes.
std::string addressCsv(const std::vector<AddressCells>& addresses, DateFormat format);

} // namespace kb::exporter
