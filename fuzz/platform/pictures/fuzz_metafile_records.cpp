// Feeds arbitrary bytes to our own walk over a Windows metafile's records,
// which runs before any library plays a file: it either describes the file or
// says the metafile is not valid, quickly and within the file's bounds.
#include "platform/files/FileErrors.h"
#include "platform/pictures/WindowsMetafileRecords.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const kb::platform::WindowsMetafileOutline outline = kb::platform::outlineWindowsMetafile(bytes);
        for (const std::size_t at : outline.ellipses) {
            if (at >= size)
                std::abort();
        }
        for (const std::size_t at : outline.fontHeights) {
            if (at >= size)
                std::abort();
        }
    } catch (const kb::platform::EInvalidGraphic&) {
    }
    return 0;
}
