#pragma once

#include <QImage>
#include <QSizeF>

#include <chrono>
#include <string_view>

namespace kb::platform {

// What a metafile from outside may cost. Both readers run in-process, so a
// hostile file is stopped by these rather than by the reader's good will.
struct MetafileLimits {
    // A larger declared picture is scaled down to fit this square.
    static constexpr int maxSide = 4096;
    static constexpr int maxRecords = 1'000'000;
    static constexpr std::chrono::milliseconds maxDrawingTime{2000};
    // The size of a picture whose file records none.
    static constexpr int defaultSide = 256;
};

// The pixel size a metafile shows at: its own size, rounded, at least one
// pixel, and scaled down to the limits when it is larger.
QSize metafileDisplaySize(QSizeF pixels);

// Draw a metafile held in memory at its own size at 96 pixels an inch, on
// white. Raise EInvalidGraphic "Metafile is not valid" when the bytes are no
// metafile of the kind, or when drawing it would go beyond the limits.
QImage drawWindowsMetafile(std::string_view bytes);
QImage drawEnhancedMetafile(std::string_view bytes);

} // namespace kb::platform
