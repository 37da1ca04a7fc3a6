#pragma once

#include <QImage>

namespace kb::resources {

// The editor's pictures, drawn in the VGA colours of the rest of the artwork.

// The two 223 x 50 bitmaps of the editor's title strip: the left one carries
// the window's name, the right one continues the strip behind the file name.
QImage editorTitleLeft();
QImage editorTitleRight();

// The tool bar's 16 x 16 pictures, in button order: open, cancel, save,
// search, page up, page down, exit.
inline constexpr int editorToolPictureCount = 7;
QImage editorToolPicture(int index);

// The window's own 16 x 16 icon: a sheet of text with a pencil.
QImage editorIcon();

} // namespace kb::resources
