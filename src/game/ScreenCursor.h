#pragma once

#include <QApplication>

namespace kb::game {

// The application's one pointer shape, as the desktop keeps it: setting a
// shape replaces the former one instead of stacking on it.
inline void SetScreenCursor(Qt::CursorShape shape)
{
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(shape);
    else
        QApplication::setOverrideCursor(shape);
}

inline void SetDefaultScreenCursor()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

} // namespace kb::game
