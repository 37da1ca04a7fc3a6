#include "PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace kb::platform {

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
{
}

void PictureBox::loadFromFile(const FileName& name)
{
    setPicture(loadPictureFile(name));
}

void PictureBox::setPicture(const QImage& picture)
{
    m_picture = picture;
    fitToPicture();
    update();
}

void PictureBox::clearPicture()
{
    m_picture = QImage();
    update();
}

void PictureBox::paintOnCanvas(const std::function<void(QPainter&)>& draw)
{
    if (m_picture.isNull()) {
        m_picture = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        m_picture.fill(Qt::white);
    }
    {
        QPainter painter(&m_picture);
        draw(painter);
    }
    update();
}

void PictureBox::setAutoSize(bool on)
{
    m_autoSize = on;
    fitToPicture();
}

void PictureBox::setStretch(bool on)
{
    m_stretch = on;
    update();
}

void PictureBox::fitToPicture()
{
    if (m_autoSize && !m_picture.isNull())
        resize(m_picture.size());
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    if (m_stretch)
        painter.drawImage(rect(), m_picture);
    else
        painter.drawImage(QPoint(0, 0), m_picture);
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace kb::platform
