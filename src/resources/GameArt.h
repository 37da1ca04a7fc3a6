#pragma once

#include <QIcon>

namespace kb::resources {

// The 16 x 16 glyphs of the game's settings dialog, in the colours of the
// time: a green tick on "OK" and a red cross on "Cancel".
QIcon okGlyph();
QIcon cancelGlyph();

} // namespace kb::resources
