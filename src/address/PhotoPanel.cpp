#include "PhotoPanel.h"

#include <QMouseEvent>

namespace kb::address {

PhotoPanel::PhotoPanel(const QString& caption, QWidget* parent)
    : QLabel(caption, parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAlignment(Qt::AlignCenter);
}

void PhotoPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

} // namespace kb::address
