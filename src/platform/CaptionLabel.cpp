#include "CaptionLabel.h"

#include <QMouseEvent>

namespace kb::platform {

CaptionLabel::CaptionLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void CaptionLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void CaptionLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

} // namespace kb::platform
