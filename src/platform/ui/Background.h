#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace kb::platform {

// The widget fills its whole area with colour behind its children.
inline void fillBackground(QWidget& widget, const QColor& colour)
{
    widget.setAutoFillBackground(true);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
}

} // namespace kb::platform
