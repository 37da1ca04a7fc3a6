#pragma once

#include "platform/text/CodePageTables.h"

#include <QString>
#include <QStringView>

#include <array>
#include <string>
#include <string_view>

namespace kb::platform {

// A single-byte code page: every byte shows as a character of its own, so
// every byte survives a load and a save unchanged.
class CodePage {
public:
    explicit CodePage(const CodePageTable& table);

    std::string_view name() const { return m_table->name; }

    QString textFromBytes(std::string_view bytes) const;

    // A character the code page cannot hold is stored as '?', as the
    // desktop's code-page conversion does.
    std::string bytesFromText(QStringView text) const;

private:
    struct ByteOfCharacter {
        char16_t character;
        unsigned char byte;
    };

    char byteOf(char16_t character) const;

    const CodePageTable* m_table;
    // Every byte ordered by its character, for the way back.
    std::array<ByteOfCharacter, 256> m_bytesByCharacter;
};

// The code page of that name, as "cp1252" or "cp850"; an unknown name is an
// error whose text names it.
const CodePage& codePageNamed(std::string_view name);

} // namespace kb::platform
