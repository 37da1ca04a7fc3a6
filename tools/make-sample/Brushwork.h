#pragma once

#include <QImage>

class Random;

// How a picture is painted over with short brush strokes.
struct BrushStyle {
    double length = 7; // of a stroke in flat areas, in pixels
    double width = 2.6;
    double calmAngle = 0;    // direction of strokes where the picture is flat, in degrees
    double angleJitter = 25; // in degrees
    double strokesPerPixel = 0.18;
};

// Repaints a drawn scene in short strokes that take their colour from the
// scene and run along its edges, so the result looks painted rather than
// drawn. Where the scene changes quickly the strokes get shorter, which
// keeps its shapes readable.
QImage paintOver(const QImage& scene, Random& random, const BrushStyle& style);
