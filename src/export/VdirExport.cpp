#include "VdirExport.h"

#include "export/VCardWriter.h"
#include "platform/files/DirectoryFiles.h"
#include "platform/files/FileVersion.h"

#include <cstdint>
#include <cstdio>
#include <deque>
#include <random>
#include <sstream>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

namespace kb::exporter {

// Hidden, and without the .vcf extension, so that vdirsyncer, khard and
// the others never take it for a card.
const char vdirIndexName[] = ".kestrelbook-cards";

namespace {

constexpr std::string_view indexHeading = "kestrelbook-vdir 1";
constexpr std::string_view cardExtension = ".vcf";
// Far above any card of the program's own, photo included.
constexpr std::size_t maxCardBytes = std::size_t{64} << 20;
constexpr std::size_t maxIndexBytes = std::size_t{1} << 30;
constexpr std::size_t uidLength = 36;

// What the index knows of a card it wrote.
enum class CardState : char {
    Written = '=', // the file holds the card of these hashes
    Writing = '~', // a kill may have left the old card, the new one or none
    Removing = 'x' // the file is the export's own and is to go
};

struct IndexEntry {
    std::string uid;
    std::uint64_t name = 0; // hash of the name
    std::uint64_t rest = 0; // hash of every other column and the photo's stamp
    CardState state = CardState::Written;
};

struct Index {
    std::uint64_t form = 0;
    std::vector<IndexEntry> entries;
};

std::uint64_t hashOf(std::initializer_list<std::string_view> pieces)
{
    platform::ContentHash hash;
    for (const std::string_view piece : pieces) {
        // Lengths first, so that no two different lists of pieces run together alike.
        const std::uint64_t length = piece.size();
        hash.add(reinterpret_cast<const char*>(&length), sizeof length);
        hash.add(piece.data(), piece.size());
    }
    return hash.value();
}

std::uint64_t restHashOf(const AddressCells& cells, const std::string& photoStamp)
{
    platform::ContentHash hash;
    for (int c = 0; c < addressColumnCount; ++c) {
        const std::string& cell = c == common::NameColumn ? std::string() : cells[c];
        const std::uint64_t length = cell.size();
        hash.add(reinterpret_cast<const char*>(&length), sizeof length);
        hash.add(cell.data(), cell.size());
    }
    hash.add(photoStamp.data(), photoStamp.size());
    return hash.value();
}

bool hasMoreThanAName(const AddressCells& cells)
{
    for (int c = 0; c < addressColumnCount; ++c)
        if (c != common::NameColumn && !cells[c].empty())
            return true;
    return false;
}

// The index names the files it removes, so only names the export itself
// could have made are believed.
bool isUid(std::string_view text)
{
    if (text.size() != uidLength)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? c != '-' : !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

std::string hex(std::uint64_t value)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

Index parseIndex(const std::string& text, const std::string& path)
{
    std::istringstream lines(text);
    std::string line;
    Index index;
    const auto damaged = [&path](std::size_t number) {
        return std::runtime_error(path + ": damaged at line " + std::to_string(number)
                                  + "; remove the folder's cards and this file to export afresh");
    };
    if (!std::getline(lines, line) || line.compare(0, indexHeading.size(), indexHeading) != 0)
        throw std::runtime_error(path + ": not a card index of kestrelbook-export");
    std::istringstream heading(line.substr(indexHeading.size()));
    if (!(heading >> std::hex >> index.form))
        throw damaged(1);
    for (std::size_t number = 2; std::getline(lines, line); ++number) {
        std::istringstream fields(line);
        IndexEntry entry;
        char state = 0;
        if (!(fields >> entry.uid >> std::hex >> entry.name >> entry.rest >> state) || !isUid(entry.uid)
            || (state != '=' && state != '~' && state != 'x'))
            throw damaged(number);
        entry.state = static_cast<CardState>(state);
        index.entries.push_back(std::move(entry));
    }
    return index;
}

std::string indexText(const Index& index)
{
    std::string text = std::string(indexHeading) + ' ' + hex(index.form) + '\n';
    text.reserve(index.entries.size() * 72);
    for (const IndexEntry& entry : index.entries) {
        text += entry.uid;
        text += ' ';
        text += hex(entry.name);
        text += ' ';
        text += hex(entry.rest);
        text += ' ';
        text += static_cast<char>(entry.state);
        text += '\n';
    }
    return text;
}

std::string newUid(const std::unordered_set<std::string>& taken)
{
    static std::mt19937_64 generator{std::random_device{}()};
    for (;;) {
        const std::uint64_t high = generator();
        const std::uint64_t low = generator();
        // A version 4 (random) UUID.
        char text[uidLength + 1];
        std::snprintf(
            text, sizeof text, "%08llx-%04llx-4%03llx-%04llx-%012llx", static_cast<unsigned long long>(high >> 32),
            static_cast<unsigned long long>((high >> 16) & 0xFFFF), static_cast<unsigned long long>(high & 0xFFF),
            static_cast<unsigned long long>(0x8000 | ((low >> 48) & 0x3FFF)),
            static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
        if (!taken.count(text))
            return text;
    }
}

// Pairs each address with the card it had at the last export.
class CardMatcher {
public:
    CardMatcher(const Index& old, std::size_t rowCount)
        : m_old(old)
        , m_oldTaken(old.entries.size(), false)
        , m_match(rowCount, none)
    {
    }

    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    // Each pass pairs the addresses still alone with the old cards still
    // alone whose key is the same, in file order.
    template <typename Key>
    void pass(const std::vector<IndexEntry>& rows, Key key)
    {
        std::unordered_map<std::string, std::deque<std::size_t>> waiting;
        for (std::size_t i = 0; i < m_old.entries.size(); ++i) {
            if (!m_oldTaken[i] && m_old.entries[i].state != CardState::Removing)
                if (const auto k = key(m_old.entries[i], none))
                    waiting[*k].push_back(i);
        }
        for (std::size_t row = 0; row < rows.size(); ++row) {
            if (m_match[row] != none)
                continue;
            const auto k = key(rows[row], row);
            if (!k)
                continue;
            const auto found = waiting.find(*k);
            if (found == waiting.end() || found->second.empty())
                continue;
            m_match[row] = found->second.front();
            m_oldTaken[m_match[row]] = true;
            found->second.pop_front();
        }
    }

    std::size_t match(std::size_t row) const { return m_match[row]; }
    bool taken(std::size_t old) const { return m_oldTaken[old]; }

private:
    const Index& m_old;
    std::vector<bool> m_oldTaken;
    std::vector<std::size_t> m_match;
};

std::string cardFileName(const std::string& uid)
{
    return uid + std::string(cardExtension);
}

} // namespace

VdirChanges exportVdir(const std::string& directory, const VdirSource& source)
{
    platform::DirectoryFiles files(directory);
    const std::string indexPath = directory + "/" + vdirIndexName;
    const std::vector<std::string> listed = files.names();
    const std::unordered_set<std::string> present(listed.begin(), listed.end());
    const std::optional<std::string> oldText = files.read(vdirIndexName, maxIndexBytes);
    const Index old = oldText ? parseIndex(*oldText, indexPath) : Index{};

    Index next;
    next.form = hashOf({source.form});
    const bool sameForm = oldText && old.form == next.form;
    std::vector<IndexEntry> rows(source.rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].name = hashOf({source.rows[i][common::NameColumn]});
        rows[i].rest = restHashOf(source.rows[i], source.photoStamp(i));
    }
    const auto both = [](const IndexEntry& e, std::size_t) { return std::optional(hex(e.name) + hex(e.rest)); };
    const auto name = [](const IndexEntry& e, std::size_t) { return std::optional(hex(e.name)); };
    // A rename alone: only where more than a name stays the same, or any two
    // name-only addresses would pass for each other.
    const auto rest = [&](const IndexEntry& e, std::size_t row) -> std::optional<std::string> {
        if (row != CardMatcher::none && !hasMoreThanAName(source.rows[row]))
            return std::nullopt;
        return hex(e.rest);
    };
    CardMatcher matcher(old, rows.size());
    matcher.pass(rows, both);
    matcher.pass(rows, name);
    matcher.pass(rows, rest);

    std::unordered_set<std::string> taken(present);
    for (const IndexEntry& entry : old.entries)
        taken.insert(cardFileName(entry.uid));
    VdirChanges changes;
    std::vector<std::pair<std::string, std::string>> toWrite; // file name, card
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::size_t match = matcher.match(i);
        IndexEntry& entry = rows[i];
        if (match == CardMatcher::none) {
            entry.uid = newUid(taken);
            taken.insert(cardFileName(entry.uid));
        } else {
            const IndexEntry& was = old.entries[match];
            entry.uid = was.uid;
            if (sameForm && was.state == CardState::Written && was.name == entry.name && was.rest == entry.rest
                && present.count(cardFileName(entry.uid))) {
                ++changes.unchanged;
                continue;
            }
        }
        VCard card = source.card(i);
        card.properties.push_back({"UID", {}, entry.uid});
        std::string text = vCardText(card);
        const std::string fileName = cardFileName(entry.uid);
        if (present.count(fileName) && files.read(fileName, maxCardBytes) == text) {
            ++changes.unchanged;
            continue;
        }
        entry.state = CardState::Writing;
        toWrite.emplace_back(fileName, std::move(text));
    }
    next.entries = rows;
    std::vector<std::string> toRemove;
    for (std::size_t i = 0; i < old.entries.size(); ++i) {
        if (matcher.taken(i))
            continue;
        IndexEntry gone = old.entries[i];
        gone.state = CardState::Removing;
        next.entries.push_back(gone);
        if (present.count(cardFileName(gone.uid)))
            toRemove.push_back(cardFileName(gone.uid));
    }
    changes.removed = toRemove.size();
    for (const std::string& name : listed)
        if (platform::DirectoryFiles::isStagedName(name))
            toRemove.push_back(name); // left by a kill

    // First the index says which cards are about to change, so that a kill
    // at any point leaves the next export knowing what to look at again.
    if (!toWrite.empty() || !toRemove.empty()) {
        files.replace(vdirIndexName, indexText(next));
        for (const auto& [fileName, text] : toWrite)
            files.stage(fileName, text);
        for (const std::string& fileName : toRemove)
            files.remove(fileName);
        files.commit();
    }
    changes.written = toWrite.size();

    next.entries = rows;
    for (IndexEntry& entry : next.entries)
        entry.state = CardState::Written;
    const std::string text = indexText(next);
    if (!oldText || *oldText != text)
        files.replace(vdirIndexName, text);
    return changes;
}

} // namespace kb::exporter
