#include "FocusMarks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

namespace kb::platform {

namespace {

// Whether a click at widget gives the focus to it or to one of its parents,
// as the toolkit decides it.
bool clickMovesFocus(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (widget->isEnabled() && (widget->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus)
            return true;
        if (widget->isWindow())
            return false;
    }
    return false;
}

class ButtonFocusDropper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
            auto* clicked = static_cast<QWidget*>(watched);
            auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
            if (button && button != clicked && button->window() == clicked->window() && !clickMovesFocus(clicked))
                button->clearFocus();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void drawFocusMark(QPainter& painter, const QRect& rect)
{
    // Every other pixel of the edge moved half the scale away from what lies
    // beneath: dark on light, light on dark, and plain on any speckle.
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QPen dots(QColor(128, 128, 128), 1);
    dots.setDashPattern({1, 1});
    painter.setPen(dots);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void dropButtonFocusOnMouseClicks()
{
    static auto* dropper = new ButtonFocusDropper(qApp);
    qApp->installEventFilter(dropper);
}

} // namespace kb::platform
