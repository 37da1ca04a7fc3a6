#pragma once

#include <QRectF>
#include <QSize>
#include <QSizeF>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kb::platform {

// Where a pen's width lies in the file, and how many device units one of its
// logical units made when it was created.
struct WindowsMetafilePen {
    std::size_t widthAt;
    double devicePerUnit;
};

// What one walk over a Windows metafile's records tells before any library
// plays them.
struct WindowsMetafileOutline {
    // Where the metafile header starts: after the placeable header, if any.
    std::size_t headerAt = 0;
    // The size the picture shows at, in pixels at 96 an inch: the placeable
    // header's box, or else the window extent read in twips.
    std::optional<QSizeF> pixels;
    // That same frame in the player's device units (points, origin at the
    // viewport), so that the frame rather than the drawing fills the picture.
    std::optional<QRectF> deviceFrame;
    std::vector<WindowsMetafilePen> pens;
    // Where each font's height lies in the file; its width follows.
    std::vector<std::size_t> fontHeights;
    // Where each text record (TextOut, ExtTextOut) starts.
    std::vector<std::size_t> texts;
    // Where each ellipse record of the usual seven words starts.
    std::vector<std::size_t> ellipses;
};

// The largest bitmap a record may embed, and all pattern brushes together:
// the player keeps each whole in memory and reads it pixel by pixel.
constexpr std::uint64_t maxMetafileBitmapPixels = 4096 * 4096;

// The viewport extent that the player starts with unless it is given another.
constexpr QSize defaultMetafileViewport{1024, 1024};

// Walks the records of a Windows metafile, played with the viewport extent
// given until a record sets another. Raises EInvalidGraphic "Metafile
// is not valid" when the header promises more than the file holds, or when a
// bitmap record declares more pixels than it carries or than the limit.
WindowsMetafileOutline outlineWindowsMetafile(std::string_view bytes, QSize viewportExtent = defaultMetafileViewport);

} // namespace kb::platform
