#pragma once

#include "platform/files/FileName.h"

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
// gives two), and the text ends at the first zero byte.
std::string memoTextFromFileBytes(std::string_view bytes);

// Reads the file whole and turns it into the editor's text. Raises
// EFOpenError naming shownName when the file cannot be read, and
// EMemoCapacityError when the text holds more than capacity characters.
std::string loadEditorText(const platform::FileName& file, std::string_view shownName, std::size_t capacity);

// Replaces the file's content with text, byte for byte; a failure leaves the
// old content whole. Raises EFCreateError naming shownName.
void saveEditorText(const platform::FileName& file, std::string_view shownName, std::string_view text);

} // namespace kb::editor
