#pragma once

#include <QMouseEvent>
#include <QWidget>

namespace kb::platform {

// A click as buttons take it: a left press, then its release still over the
// control.
class ClickTracker {
public:
    void press(const QMouseEvent& event) { m_pressed = event.button() == Qt::LeftButton; }

    // Whether this release ends a click on control.
    bool release(const QMouseEvent& event, const QWidget& control)
    {
        const bool click =
            m_pressed && event.button() == Qt::LeftButton && control.rect().contains(event.position().toPoint());
        m_pressed = false;
        return click;
    }

private:
    bool m_pressed = false;
};

} // namespace kb::platform
