#include "PictureBox.h"

#include "FileErrors.h"
#include "TextFile.h"

#include <QByteArray>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace kb::platform {
namespace {

std::string lowerExtension(std::string_view name)
{
    const auto dot = name.find_last_of('.');
    const auto separator = name.find_last_of("\\/");
    if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator))
        return {};
    std::string extension(name.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
    return extension;
}

} // namespace

QImage loadPictureFile(const FileName& name)
{
    const std::string extension = lowerExtension(name.text());
    std::string bytes;
    try {
        bytes = readFileBytes(name);
    } catch (const EInOutError&) {
        throw EFOpenError(name.text());
    }

    const QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QImage image;
    if (extension == ".bmp") {
        if (!image.loadFromData(data, "BMP"))
            throw EInvalidGraphic("Bitmap image is not valid");
    } else if (extension == ".ico") {
        if (!image.loadFromData(data, "ICO"))
            throw EInvalidGraphic("Icon image is not valid");
    } else if (extension == ".wmf" || extension == ".emf") {
        throw EInvalidGraphic("Metafile is not valid");
    } else {
        throw EInvalidGraphic("Unknown picture file extension (" + extension + ")");
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

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
