#pragma once

class QShowEvent;
class QWidget;

namespace kb::platform {

// Moves a top-level window so that its frame is centred on the available area
// of its screen. Before its first showing the desktop has given it no frame
// yet, so its client area is centred.
void centreOnScreen(QWidget& window);

// The one placement rule of the program's windows: each is centred once, at
// its first showing, at the size it then has, and again once the desktop has
// framed it; afterwards it stays where the user puts it. Called from the window's showEvent, once its show handler has
// given it its size; later showings leave it alone.
void centreAtFirstShow(QWidget& window, const QShowEvent& event);

// Centres a message box over its owner while that is shown, else on the
// screen, as it is shown and sized, and once more when the desktop has
// framed it: before then no one knows how large its frame will be, and Qt's
// own placement guesses.
void centreBox(QWidget& box);

// Shows a tool window, or brings it back from its icon, in front and active.
void bringToFront(QWidget& window);

} // namespace kb::platform
