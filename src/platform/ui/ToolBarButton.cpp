#include "ToolBarButton.h"

#include <QToolButton>

namespace kb::platform {

QToolButton* addToolBarButton(QWidget& toolBar, const char* name, const QString& caption, const QRect& place)
{
    auto* button = new QToolButton(&toolBar);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(place);
    return button;
}

} // namespace kb::platform
