#include "ClickTracker.h"

#include <QMouseEvent>
#include <QWidget>

namespace kb::platform {

ClickTracker::ClickTracker(QWidget& control, std::function<void()> clicked)
    : QObject(&control)
    , m_control(control)
    , m_clicked(std::move(clicked))
{
    control.installEventFilter(this);
}

bool ClickTracker::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        m_pressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto* release = static_cast<QMouseEvent*>(event);
        const bool click = m_pressed && release->button() == Qt::LeftButton
            && m_control.rect().contains(release->position().toPoint());
        m_pressed = false;
        if (click)
            m_clicked();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kb::platform
