#pragma once

#include <QtGlobal>

class QPainter;
class QWidget;

namespace kb::platform {

// Rounds value * m / d to the nearest whole number, halves away from zero.
int scaledEdge(int value, int m, int d);

// The toolkit's whole-window scaling by m/d: every control's edges are
// scaled and rounded, fonts set on a control are scaled, and the window's
// client size follows while its top-left corner stays. The window is hidden
// during the change.
void scaleWindow(QWidget& window, int m, int d);

// Pictures are enlarged by whole pixels, which keeps them crisp, at a whole
// scale, and smoothly otherwise, as uneven pixels would show.
bool smoothAt(qreal scale);
void smoothUnlessWhole(QPainter& painter, qreal scale);

} // namespace kb::platform
