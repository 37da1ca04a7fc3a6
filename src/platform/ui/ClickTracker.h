#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace kb::platform {

// Reports a click on control as buttons take it: a left press, then its
// release still over the control. It watches the control's events and leaves
// them to the control as they are.
class ClickTracker : public QObject {
public:
    ClickTracker(QWidget& control, std::function<void()> clicked);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_control;
    std::function<void()> m_clicked;
    bool m_pressed = false;
};

} // namespace kb::platform
