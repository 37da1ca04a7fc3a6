// Feeds arbitrary bytes to our own walk over a Windows metafile's records,
// which runs before the player draws a file: it either describes the file or
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
        if (outline.headerAt >= size
            || (outline.pixels && !(outline.pixels->width() >= 0 && outline.pixels->height() >= 0)))
            std::abort();
    } catch (const kb::platform::EInvalidGraphic&) {
    }
    return 0;
}
