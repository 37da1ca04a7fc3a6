// Feeds arbitrary bytes to the vCard reader and checks that every row it
// gives comes back unchanged from its own exported card, the promise that
// export, import and export again keep.
#include "export/AddressCard.h"
#include "export/VCardReader.h"
#include "export/VCardWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace kb::exporter;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// The command's edge leaves these out of cards; no row it exports holds one.
bool holdsControlCharacter(const AddressCells& cells)
{
    return std::any_of(cells.begin(), cells.end(), [](const std::string& cell) {
        return std::any_of(cell.begin(), cell.end(), [](char c) {
            return (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') || c == 0x7F;
        });
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<VCard> cards;
    try {
        cards = readVCards(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const VCardSyntaxError&) {
        return 0;
    }
    for (const DateFormat format : {DateFormat{}, DateFormat{DateFormat::Order::DayMonthYear, '.'}}) {
        for (const VCard& card : cards) {
            const AddressCells cells = addressOfCard(card, format).cells;
            if (holdsControlCharacter(cells))
                continue;
            const std::vector<VCard> again = readVCards(vCardText(cardOfAddress(cells, format, std::nullopt)));
            check(again.size() == 1);
            const ImportedAddress address = addressOfCard(again[0], format);
            check(address.cells == cells);
            check(address.leftOut.empty());
        }
    }
    return 0;
}
