#pragma once

class QAbstractButton;

namespace kb::platform {

// Lets Return and Enter press button while it has the focus, as Space does;
// the toolkit does so only for the buttons of dialogs.
void pressWithReturn(QAbstractButton& button);

} // namespace kb::platform
