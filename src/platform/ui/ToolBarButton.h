#pragma once

class QRect;
class QString;
class QToolButton;
class QWidget;

namespace kb::platform {

// A flat caption button on a tool bar, at the place its layout gives it. Like
// the desktop's tool bar buttons it never takes the keyboard focus.
QToolButton* addToolBarButton(QWidget& toolBar, const char* name, const QString& caption, const QRect& place);

} // namespace kb::platform
