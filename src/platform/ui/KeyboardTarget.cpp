#include "KeyboardTarget.h"

#include "platform/ui/ButtonKeys.h"
#include "platform/ui/FocusMarks.h"

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
    pressWithReturn(*this); // Space presses it as any push button
}

void KeyboardTarget::paintEvent(QPaintEvent*)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    drawFocusMark(painter, rect().adjusted(m_focusInset, m_focusInset, -m_focusInset, -m_focusInset));
}

KeyboardTarget* keyboardTargetOver(QWidget& control, const QString& caption, int focusInset)
{
    auto* key = new KeyboardTarget(caption, focusInset, control.parentWidget());
    key->setGeometry(control.geometry());
    return key;
}

} // namespace kb::platform
