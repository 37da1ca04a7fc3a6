#include "VdirExport.h"

#include "export/VCardWriter.h"
#include "platform/files/DirectoryFiles.h"

#include <cstdint>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include <charconv>
#include <xxhash.h>

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

std::uint64_t hashOf(std::string_view bytes)
{
    return XXH3_64bits(bytes.data(), bytes.size());
}

// Every column but the name, each after its length so that no two
// different rows run together alike, and the photo's stamp.
std::uint64_t restHashOf(const AddressCells& cells, const std::string& photoStamp, std::string& buffer)
{
    buffer.clear();
    for (int c = 0; c < addressColumnCount; ++c) {
        if (c == common::NameColumn)
            continue;
        buffer += std::to_string(cells[c].size());
        buffer += ':';
        buffer += cells[c];
    }
    buffer += photoStamp;
    return hashOf(buffer);
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

bool parseHex(std::string_view& text, std::uint64_t& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end == text.data() || end == text.data() + text.size() || *end != ' ')
        return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()) + 1);
    return true;
}

Index parseIndex(std::string_view text, const std::string& path)
{
    const auto damaged = [&path](std::size_t number) {
        return std::runtime_error(path + ": damaged at line " + std::to_string(number)
                                  + "; remove the folder's cards and this file to export afresh");
    };
    const auto nextLine = [&text]() {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        return line;
    };
    std::string_view line = nextLine();
    if (line.substr(0, indexHeading.size() + 1) != std::string(indexHeading) + ' ')
        throw std::runtime_error(path + ": not a card index of kestrelbook-export");
    Index index;
    line.remove_prefix(indexHeading.size() + 1);
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), index.form, 16);
    if (error != std::errc() || end != line.data() + line.size())
        throw damaged(1);
    for (std::size_t number = 2; !text.empty(); ++number) {
        line = nextLine();
        IndexEntry entry;
        if (line.size() <= uidLength + 1 || !isUid(line.substr(0, uidLength)) || line[uidLength] != ' ')
            throw damaged(number);
        entry.uid = line.substr(0, uidLength);
        line.remove_prefix(uidLength + 1);
        if (!parseHex(line, entry.name) || !parseHex(line, entry.rest) || line.size() != 1
            || (line[0] != '=' && line[0] != '~' && line[0] != 'x'))
            throw damaged(number);
        entry.state = static_cast<CardState>(line[0]);
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

std::string newUid(const std::unordered_set<std::string>& present, const std::unordered_set<std::string>& taken)
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
        const std::string uid = text;
        if (!present.count(uid + std::string(cardExtension)) && !taken.count(uid))
            return uid;
    }
}

// Pairs each address with the card it had at the last export.
class CardMatcher {
public:
    CardMatcher(const Index& old, std::size_t rowCount)
        : m_old(old)
        , m_oldTaken(old.entries.size(), false)
        , m_match(rowCount, none)
        , m_next(old.entries.size(), none)
    {
    }

    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    // Each pass pairs the addresses still alone with the old cards still
    // alone whose key is the same, in file order.
    template <typename Key>
    void pass(const std::vector<IndexEntry>& rows, Key key)
    {
        std::unordered_map<std::uint64_t, std::size_t> first; // of a key, then m_next in file order
        first.reserve(m_old.entries.size());
        for (std::size_t i = m_old.entries.size(); i-- > 0;) {
            if (!m_oldTaken[i] && m_old.entries[i].state != CardState::Removing) {
                if (const auto k = key(m_old.entries[i], none)) {
                    const auto [at, isNew] = first.try_emplace(*k, i);
                    m_next[i] = isNew ? none : at->second;
                    at->second = i;
                }
            }
        }
        for (std::size_t row = 0; row < rows.size(); ++row) {
            if (m_match[row] != none)
                continue;
            const auto k = key(rows[row], row);
            if (!k)
                continue;
            const auto found = first.find(*k);
            if (found == first.end() || found->second == none)
                continue;
            m_match[row] = found->second;
            m_oldTaken[m_match[row]] = true;
            found->second = m_next[found->second];
        }
    }

    std::size_t match(std::size_t row) const { return m_match[row]; }
    bool taken(std::size_t old) const { return m_oldTaken[old]; }

private:
    const Index& m_old;
    std::vector<bool> m_oldTaken;
    std::vector<std::size_t> m_match;
    std::vector<std::size_t> m_next;
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
    next.form = hashOf(source.form);
    const bool sameForm = oldText && old.form == next.form;
    std::vector<IndexEntry> rows(source.rows.size());
    std::string buffer;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].name = hashOf(source.rows[i][common::NameColumn]);
        rows[i].rest = restHashOf(source.rows[i], source.photoStamp(i), buffer);
    }
    const auto both = [](const IndexEntry& e, std::size_t) {
        const std::uint64_t pair[] = {e.name, e.rest};
        return std::optional(XXH3_64bits(pair, sizeof pair));
    };
    const auto name = [](const IndexEntry& e, std::size_t) { return std::optional(e.name); };
    // A rename alone: only where more than a name stays the same, or any two
    // name-only addresses would pass for each other.
    const auto rest = [&](const IndexEntry& e, std::size_t row) -> std::optional<std::uint64_t> {
        if (row != CardMatcher::none && !hasMoreThanAName(source.rows[row]))
            return std::nullopt;
        return e.rest;
    };
    CardMatcher matcher(old, rows.size());
    matcher.pass(rows, both);
    matcher.pass(rows, name);
    matcher.pass(rows, rest);

    // Random UIDs meet none of the old ones; only a file of the name must not be overwritten.
    std::unordered_set<std::string> taken;
    VdirChanges changes;
    std::vector<std::pair<std::string, std::string>> toWrite; // file name, card
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::size_t match = matcher.match(i);
        IndexEntry& entry = rows[i];
        if (match == CardMatcher::none) {
            entry.uid = newUid(present, taken);
            taken.insert(entry.uid);
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
