#pragma once

class QPainter;
class QRect;

namespace kb::platform {

// Draws the dotted focus rectangle of the time just inside rect, dots that
// stand out from whatever lies beneath: plain, grey or speckled pictures.
void drawFocusMark(QPainter& painter, const QRect& rect);

// From now on a mouse click that gives no control the focus takes it from
// the button that had it, so the button's focus mark goes with the user's
// move to the mouse instead of marking a button the user has left.
void dropButtonFocusOnMouseClicks();

} // namespace kb::platform
