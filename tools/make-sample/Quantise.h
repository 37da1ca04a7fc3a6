#pragma once

#include <QImage>

// Reduces a true-colour picture to an 8-bit palettised one, the form the DOS
// product's bitmaps take. A picture with few enough colours keeps them
// exactly; otherwise the palette is found by median cut and, when dither is
// set, the rounding error is spread to the neighbours (Floyd-Steinberg).
QImage toIndexed(const QImage& picture, int maxColours, bool dither);
