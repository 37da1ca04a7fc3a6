#pragma once

#include "platform/ui/HandlerGuard.h"

#include <QShowEvent>
#include <QWidget>

#include <utility>

namespace kb::platform {

// Runs a window's show handler from its showEvent. Only the program's own
// showing counts, not the desktop mapping the window again after it was
// minimised. Qt sends the show event before the window reaches the screen,
// so whatever the handler opens (a dialog, an error box) comes up alone; a
// failure is reported like any handler's and the window is shown all the same.
template <typename Handler>
void runShowHandler(QWidget& window, const QShowEvent& event, Handler&& handler)
{
    if (!event.spontaneous())
        guarded(&window, std::forward<Handler>(handler));
}

} // namespace kb::platform
