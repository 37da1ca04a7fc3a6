#pragma once

#include <QImage>

#include <string_view>

namespace kb::platform {

// Draws a Windows metafile (.wmf, with or without the placeable header) held
// in memory at its own size at 96 pixels an inch, on white, with ratio
// physical pixels to a pixel. Raises
// EInvalidGraphic "Metafile is not valid" when the bytes are no such
// metafile, or when drawing it would go beyond the limits.
QImage drawWindowsMetafile(std::string_view bytes, double ratio = 1);

} // namespace kb::platform
