#pragma once

#include "export/AddressCard.h"
#include "export/VCard.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kb::exporter {

// What the vdir export needs to know of the addresses.
struct VdirSource {
    std::vector<AddressCells> rows;
    // Whatever changes address i's card beyond its cells (its photo file's
    // identity, size and time); equal stamps promise an equal card.
    std::function<std::string(std::size_t)> photoStamp;
    // Address i's card, without its UID.
    std::function<VCard(std::size_t)> card;
    // Changes whenever the cards' form does (the writer, the date order).
    std::string form;
};

struct VdirChanges {
    std::size_t written = 0;
    std::size_t removed = 0;
    std::size_t unchanged = 0;
};

// The name of the export's own record inside the vdir.
extern const char vdirIndexName[];

// Writes the addresses into directory as a vdir: one card per file, named
// after its UID. An address keeps its UID from one export to the next while
// its name stays the same (of several addresses with one name, in the order
// they stand in the file), or when only its name changed. Only cards whose
// bytes change are written, each whole; cards of addresses that are gone
// are removed, and no other file. Raises std::runtime_error.
VdirChanges exportVdir(const std::string& directory, const VdirSource& source);

} // namespace kb::exporter
