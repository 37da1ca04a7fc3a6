#pragma once

class QWidget;

namespace kb::platform {

// Moves a top-level window so that its frame is centred on the available area
// of its screen. Before its first showing the desktop has given it no frame
// yet, so its client area is centred.
void centreOnScreen(QWidget& window);

} // namespace kb::platform
