#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

// The pictures stored with the launcher and the first-run dialog. They are
// drawn pixel by pixel at their final sizes, so nothing is scaled or smoothed.
namespace kb::resources {

// 223 x 50, true colour: the dark grey bevelled bar behind every launcher
// button's caption.
QImage launcherButtonBar();

// 223 x 50, drawn in the 16 VGA colours only: the dark grey speckled texture
// of the strips below the button columns.
QImage speckledTexture();

// 114 x 35: the black Information plate with the letter i in a circle.
QImage informationPlate();

// 15 x 13: the clock face of the launcher's header; transparent outside the rim.
QImage clockFace();

// 16 x 16: the red arrow of the first-run dialog's button; when disabled, its
// grey outline.
QPixmap continueArrow(bool enabled);

// The program's icon at 16 x 16 and 32 x 32.
QIcon applicationIcon();

} // namespace kb::resources
