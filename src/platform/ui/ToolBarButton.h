#pragma once

class QRect;
class QString;
class QToolButton;
class QWidget;

namespace kb::platform {

// A flat caption button on a tool bar, at the place its layout gives it. Tab
// reaches it and Return or Space presses it; like the desktop's tool bar
// buttons it takes no focus from a click.
QToolButton* addToolBarButton(QWidget& toolBar, const char* name, const QString& caption, const QRect& place);

} // namespace kb::platform
