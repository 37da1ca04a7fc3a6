#include "CodePage.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace kb::platform {

CodePage::CodePage(const CodePageTable& table)
    : m_table(&table)
{
    for (std::size_t byte = 0; byte < m_bytesByCharacter.size(); ++byte)
        m_bytesByCharacter[byte] = {table.characters[byte], static_cast<unsigned char>(byte)};
    std::sort(m_bytesByCharacter.begin(), m_bytesByCharacter.end(),
              [](const ByteOfCharacter& a, const ByteOfCharacter& b) { return a.character < b.character; });
}

QString CodePage::textFromBytes(std::string_view bytes) const
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(m_table->characters[static_cast<unsigned char>(byte)]);
    return text;
}

std::string CodePage::bytesFromText(QStringView text) const
{
    std::string bytes(static_cast<std::size_t>(text.size()), '\0');
    std::transform(text.begin(), text.end(), bytes.begin(), [this](QChar c) { return byteOf(c.unicode()); });
    return bytes;
}

char CodePage::byteOf(char16_t character) const
{
    // Most text is ASCII, which most code pages keep at its own bytes.
    if (character < 0x80 && m_table->characters[character] == character)
        return static_cast<char>(character);
    const auto found =
        std::lower_bound(m_bytesByCharacter.begin(), m_bytesByCharacter.end(), character,
                         [](const ByteOfCharacter& entry, char16_t wanted) { return entry.character < wanted; });
    if (found == m_bytesByCharacter.end() || found->character != character)
        return '?';
    return static_cast<char>(found->byte);
}

const CodePage& codePageNamed(std::string_view name)
{
    static const std::vector<CodePage> codePages(codePageTables, codePageTables + codePageTableCount);
    const auto found = std::find_if(codePages.begin(), codePages.end(),
                                    [name](const CodePage& codePage) { return codePage.name() == name; });
    if (found == codePages.end())
        throw std::invalid_argument("Unknown code page " + std::string(name));
    return *found;
}

} // namespace kb::platform
