#pragma once

#include "resources/Artwork.h"

#include <QIcon>

namespace kb::resources {

// The editor's pictures, drawn in the VGA colours of the rest of the artwork.

// The two 223 x 50 bitmaps of the editor's title strip: the left one carries
// the window's name, the right one continues the strip behind the file name.
Artwork editorTitleLeft();
Artwork editorTitleRight();

// The tool bar's 16 x 16 pictures, in button order: open, cancel, save,
// search, page up, page down, exit.
inline constexpr int editorToolPictureCount = 7;
QIcon editorToolIcon(int index);

// The window's own 16 x 16 icon: a sheet of text with a pencil.
QIcon editorIcon();

} // namespace kb::resources
