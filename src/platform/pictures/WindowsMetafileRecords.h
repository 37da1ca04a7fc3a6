#pragma once

#include <QSizeF>

#include <cstdint>
#include <optional>
#include <string_view>

namespace kb::platform {

// What one walk over a Windows metafile's records tells before they are
// played.
struct WindowsMetafileOutline {
    // Where the metafile header starts: after the placeable header, if any.
    std::size_t headerAt = 0;
    // The size the picture shows at, in pixels at 96 an inch: the placeable
    // header's box, or else the window extent read in twips.
    std::optional<QSizeF> pixels;
};

// The largest bitmap a record may embed, and all pattern brushes together:
// the player keeps each whole in memory and reads it pixel by pixel.
constexpr std::uint64_t maxMetafileBitmapPixels = 4096 * 4096;

// Walks the records of a Windows metafile. Raises EInvalidGraphic "Metafile
// is not valid" when the header promises more than the file holds, or when a
// bitmap record declares more pixels than it carries or than the limit.
WindowsMetafileOutline outlineWindowsMetafile(std::string_view bytes);

} // namespace kb::platform
