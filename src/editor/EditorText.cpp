#include "EditorText.h"

#include "platform/files/FileErrors.h"
#include "platform/files/FileReplacing.h"
#include "platform/files/TextFile.h"

#include <algorithm>
#include <limits>

#include <sys/stat.h>

namespace kb::editor {

namespace {
constexpr std::size_t readPieceSize = std::size_t{1} << 16;
}

bool MemoTextBuilder::add(std::string_view bytes)
{
    if (m_cutAtNul)
        return false;
    for (const char c : bytes) {
        const bool afterCr = m_afterCr;
        m_afterCr = false;
        if (c == '\n' && afterCr)
            continue; // the CR already made the break
        if (c == '\0') {
            m_cutAtNul = true;
            return false;
        }
        if (c == '\r' || c == '\n') {
            m_text += "\r\n";
            m_afterCr = c == '\r';
        } else {
            m_text += c;
        }
    }
    return true;
}

std::string memoTextFromFileBytes(std::string_view bytes)
{
    MemoTextBuilder builder;
    builder.reserve(bytes.size() + bytes.size() / 32);
    builder.add(bytes);
    return builder.takeText();
}

LoadedText loadEditorText(const platform::FileName& file, std::string_view shownName, std::size_t capacity)
{
    try {
        platform::FileByteSource source = platform::openSavedFile(file);
        MemoTextBuilder builder;
        // Every byte but the LF of a CR LF pair gives at least one character,
        // so a text that fits comes from at most capacity + 1 bytes.
        const std::size_t limit = capacity == std::numeric_limits<std::size_t>::max() ? capacity : capacity + 1;
        builder.reserve(std::min(source.sizeHint(), limit));
        platform::readPieces(source, limit, readPieceSize, [&](const char* piece, std::size_t count) {
            if (!builder.add(std::string_view(piece, count)))
                return false;
            if (builder.text().size() > capacity)
                throw EMemoCapacityError();
            return true;
        });
        if (builder.text().size() > capacity)
            throw EMemoCapacityError();
        return {builder.takeText(), builder.cutAtNul(), source.identity()};
    } catch (const platform::EInOutError&) {
        throw platform::EFOpenError(std::string(shownName));
    }
}

bool leadsTo(const platform::FileName& name, const platform::FileIdentity& identity)
{
    struct stat info {};
    return ::stat(name.nativePath().c_str(), &info) == 0 && static_cast<std::uint64_t>(info.st_dev) == identity.device
        && static_cast<std::uint64_t>(info.st_ino) == identity.inode;
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
