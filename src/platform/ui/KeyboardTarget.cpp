#include "KeyboardTarget.h"

#include "platform/ui/FocusMarks.h"

#include <QKeyEvent>
#include <QPainter>

namespace kb::platform {

KeyboardTarget::KeyboardTarget(const QString& caption, int focusInset, QWidget* parent)
    : QAbstractButton(parent)
    , m_focusInset(focusInset)
{
    setText(caption);
    // Clicks belong to the picture and caption beneath; only the keyboard
    // moves the focus here.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::TabFocus);
}

void KeyboardTarget::paintEvent(QPaintEvent*)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    drawFocusMark(painter, rect().adjusted(m_focusInset, m_focusInset, -m_focusInset, -m_focusInset));
}

void KeyboardTarget::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    default:
        // Space presses and releases the button as any push button does.
        QAbstractButton::keyPressEvent(event);
    }
}

} // namespace kb::platform
