#pragma once

#include <QApplication>

#include <optional>

namespace kb::platform {

// The application's one pointer shape, as the desktop keeps it: setting a
// shape replaces the former one instead of stacking on it.
inline void setPointerShape(Qt::CursorShape shape)
{
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(shape);
    else
        QApplication::setOverrideCursor(shape);
}

// Back to the desktop's own pointer.
inline void setDefaultPointer()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

// Shows the busy pointer for as long as it lives, so an operation that may
// take a while puts the former shape back however it ends.
class BusyCursor {
public:
    BusyCursor()
        : m_former(QApplication::overrideCursor() ? std::optional(QApplication::overrideCursor()->shape())
                                                  : std::nullopt)
    {
        setPointerShape(Qt::WaitCursor);
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    ~BusyCursor()
    {
        if (m_former)
            setPointerShape(*m_former);
        else
            setDefaultPointer();
    }

private:
    std::optional<Qt::CursorShape> m_former;
};

} // namespace kb::platform
