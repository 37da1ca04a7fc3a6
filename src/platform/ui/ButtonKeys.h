#pragma once

class QAbstractButton;
class QShortcut;
class QWidget;

namespace kb::platform {

// Lets Return and Enter press button while it has the focus, as Space does;
// the toolkit does so only for the buttons of dialogs.
void pressWithReturn(QAbstractButton& button);

// Escape anywhere on page, as its Cancel; the caller connects what it does.
QShortcut* escapeShortcut(QWidget& page);

// Return and Enter while control has the focus; the caller connects what
// they do.
QShortcut* returnShortcut(QWidget& control);

} // namespace kb::platform
