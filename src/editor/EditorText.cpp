#include "EditorText.h"

#include "platform/files/FileErrors.h"
#include "platform/files/FileReplacing.h"
#include "platform/files/SaveJournal.h"
#include "platform/files/TextFile.h"

namespace kb::editor {

std::string memoTextFromFileBytes(std::string_view bytes)
{
    bytes = bytes.substr(0, bytes.find('\0'));

    std::string text;
    text.reserve(bytes.size() + bytes.size() / 32);
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            text += "\r\n";
            if (i + 1 < size && bytes[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            text += "\r\n";
        } else {
            text += c;
        }
    }
    return text;
}

std::string loadEditorText(const platform::FileName& file, std::string_view shownName, std::size_t capacity)
{
    std::string bytes;
    platform::rollBackInterruptedSaves(); // another copy may have been killed saving it
    try {
        bytes = platform::readFileBytes(file);
    } catch (const platform::EInOutError&) {
        throw platform::EFOpenError(std::string(shownName));
    }
    std::string text = memoTextFromFileBytes(bytes);
    if (text.size() > capacity)
        throw EMemoCapacityError();
    return text;
}

void saveEditorText(const platform::FileName& file, std::string_view shownName, std::string_view text)
{
    try {
        platform::writeFileReplacing(file, text);
    } catch (const platform::EInOutError&) {
        throw platform::EFCreateError(std::string(shownName));
    }
}

} // namespace kb::editor
