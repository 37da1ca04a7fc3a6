#include "KeyboardTarget.h"

#include <QKeyEvent>
#include <QPainter>

namespace kb::shell {

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
    // The desktop's dotted focus rectangle of the time: every other pixel,
    // light on the dark pictures.
    QPainter painter(this);
    QPen dots(QColor(255, 255, 255));
    dots.setCosmetic(true);
    dots.setDashPattern({1, 1});
    painter.setPen(dots);
    painter.drawRect(rect().adjusted(m_focusInset, m_focusInset, -m_focusInset - 1, -m_focusInset - 1));
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

} // namespace kb::shell
