#include "ToolBarButton.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/ButtonKeys.h"

#include <QToolButton>

namespace kb::platform {

QToolButton* addToolBarButton(QWidget& toolBar, const char* name, const QString& caption, const QRect& place)
{
    setAccessibleRole(toolBar, QAccessible::ToolBar);
    auto* button = new QToolButton(&toolBar);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    // Tab reaches it, but a click leaves the focus where the user works.
    button->setFocusPolicy(Qt::TabFocus);
    pressWithReturn(*button);
    button->setGeometry(place);
    return button;
}

} // namespace kb::platform
