#include "AltKeyGuard.h"

#include <QKeyEvent>

namespace kb::platform {

bool AltKeyGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        // Ctrl+Alt is AltGr on some keyboards, which types real characters.
        const Qt::KeyboardModifiers modifiers = static_cast<QKeyEvent*>(event)->modifiers();
        if ((modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kb::platform
