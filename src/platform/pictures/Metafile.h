#pragma once

#include <QSize>
#include <QSizeF>

#include <chrono>

namespace kb::platform {

// What a metafile from outside may cost. The helper's sandbox stops what
// gets past them; these keep an ordinary hostile file from getting that far.
struct MetafileLimits {
    // A larger declared picture is scaled down to fit this square.
    static constexpr int maxSide = 4096;
    static constexpr int maxRecords = 1'000'000;
    static constexpr std::chrono::milliseconds maxDrawingTime{2000};
    // The size of a picture whose file records none.
    static constexpr int defaultSide = 256;
};

// Raises EInvalidGraphic "Metafile is not valid": for files that are really
// damaged, never for a failure of the system.
[[noreturn]] void throwInvalidMetafile();

// The other texts of EInvalidGraphic that a metafile player raises, for a
// failure of the system; the helper process passes them on by kind.
inline constexpr const char* metafileOutOfMemory = "Out of memory";
inline constexpr const char* metafilePlayerDidNotStart = "The metafile player could not start";

// The device pixel ratio a metafile is drawn at: the one asked for, within
// what screens use.
double metafileRatio(double asked);

// The pixel size a metafile shows at: its own size, rounded, at least one
// pixel, and scaled down to the limits when it is larger.
QSize metafileDisplaySize(QSizeF pixels);

} // namespace kb::platform
