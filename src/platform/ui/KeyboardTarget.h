#pragma once

#include <QAbstractButton>

namespace kb::platform {

// The keyboard's and the screen reader's way to a picture or caption that
// acts on a click: an invisible push button laid over it.
// Tab reaches it, Return or Space presses it, and a dotted rectangle marks
// it while it has the focus. The mouse passes through it to the controls
// beneath, which keep their own clicks and context menu.
class KeyboardTarget : public QAbstractButton {
    Q_OBJECT
public:
    // caption names the button to accessibility tools; the dotted rectangle
    // is drawn focusInset pixels inside the target's edges.
    KeyboardTarget(const QString& caption, int focusInset, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_focusInset;
};

// A keyboard target laid over control, in its parent and at its place.
KeyboardTarget* keyboardTargetOver(QWidget& control, const QString& caption, int focusInset);

} // namespace kb::platform
