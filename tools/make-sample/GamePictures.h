#pragma once

#include <QImage>

// The puzzle's tile strip: the empty cell and seven coloured tiles side by
// side, 32 pixels apart, 256 x 32. The game copies pixel rows 1 to 31 of each
// cell, so nothing is drawn in row 0.
QImage tileStrip();

// 32 x 32: the magic star shown beside the tile counters.
QImage magicEmblem();
