#pragma once

#include "platform/files/FileName.h"
#include "platform/files/FileVersion.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kb::editor {

// The text area's limit, in characters. Far above any text a person edits,
// yet it keeps a stray multi-gigabyte file from exhausting memory.
inline constexpr std::size_t defaultMemoCapacity = std::size_t{64} * 1024 * 1024;

// Raised when a loaded text does not fit into the text area.
class EMemoCapacityError : public std::runtime_error {
public:
    EMemoCapacityError()
        : std::runtime_error("Text exceeds memo capacity")
    {
    }
};

// The text the editor shows for a file's bytes: every line break becomes
// CR LF (a CR LF pair stays one break, a lone CR or LF becomes one, so LF CR
// gives two), and the text ends at the first zero byte. Built piece by piece,
// so that a file is never held whole besides its text.
class MemoTextBuilder {
public:
    // Adds the next bytes; false once a zero byte has ended the text.
    bool add(std::string_view bytes);
    const std::string& text() const { return m_text; }
    std::string takeText() { return std::move(m_text); }
    bool cutAtNul() const { return m_cutAtNul; }
    void reserve(std::size_t size) { m_text.reserve(size); }

private:
    std::string m_text;
    bool m_afterCr = false;
    bool m_cutAtNul = false;
};

std::string memoTextFromFileBytes(std::string_view bytes);

// A file as the editor shows it.
struct LoadedText {
    std::string text;
    bool cutAtNul = false; // the file goes on after what the text shows
    platform::FileIdentity file;
};

// Reads the file and turns it into the editor's text, never more of it than
// the text area can hold, whatever the file's size. Raises EFOpenError
// naming shownName when the file cannot be read, and EMemoCapacityError when
// the text holds more than capacity characters.
LoadedText loadEditorText(const platform::FileName& file, std::string_view shownName, std::size_t capacity);

// Whether name now leads to the file that identity was taken from.
bool leadsTo(const platform::FileName& name, const platform::FileIdentity& identity);

// Replaces the file's content with text, byte for byte; a failure leaves the
// old content whole. Raises EFCreateError naming shownName.
void saveEditorText(const platform::FileName& file, std::string_view shownName, std::string_view text);

} // namespace kb::editor
