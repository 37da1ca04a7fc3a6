#pragma once

#include "export/VCard.h"

#include <string>

namespace kb::exporter {

// The card as text: BEGIN, its VERSION, its properties in order,
// END, each content line ended by CR LF and folded after 75 octets, never
// inside a UTF-8 sequence. Values must already be escaped.
std::string vCardText(const VCard& card);

} // namespace kb::exporter
