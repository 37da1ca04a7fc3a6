#pragma once

#include "resources/Artwork.h"

#include <QByteArray>
#include <QIcon>
#include <QImage>

#include <array>

// The pictures stored with the launcher and the first-run dialog. They are
// drawn pixel by pixel at the screen's device pixel ratio, so nothing is
// blown up; the sizes below are in device-independent pixels.
namespace kb::resources {

// 223 x 50, true colour: the dark grey bevelled bar behind every launcher
// button's caption.
Artwork launcherButtonBar();

// 223 x 50, drawn in the 16 VGA colours only: the dark grey speckled texture
// of the strips below the button columns.
Artwork speckledTexture();

// 114 x 35: the black Information plate with the letter i in a circle.
Artwork informationPlate();

// 15 x 13: the clock face of the launcher's header; transparent outside the rim.
Artwork clockFace();

// 16 x 16: the red arrow of the first-run dialog's button; when disabled, its
// grey outline.
Artwork continueArrow(bool enabled);

// The sizes at which the program's icon is drawn and installed, set once in
// the build (KB_ICON_SIZES).
inline constexpr std::array<int, KB_APPLICATION_ICON_SIZE_COUNT> applicationIconSizes{KB_APPLICATION_ICON_SIZES};

// The program's icon, square, at one of applicationIconSizes. The 16 x 16
// and 32 x 32 pictures are drawn pixel by pixel; the larger ones repeat each
// pixel of one of them (48 from 16, the others from 32), so the big icons
// keep the crisp pixels of the small ones.
QImage applicationIconImage(int size);

// The 32 x 32 picture as a scalable SVG document, one square per pixel.
QByteArray applicationIconSvg();

// The window icon: every size above (a larger one serves a scaled screen).
QIcon applicationIcon();

} // namespace kb::resources
