#include "PictureBox.h"

#include "platform/ui/ClickTracker.h"
#include "platform/ui/WindowScaling.h"

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QtMath>

namespace kb::platform {

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
{
    new ClickTracker(*this, [this] { emit clicked(); });
}

void PictureBox::loadFromFile(const FileName& name)
{
    setPicture(loadPictureFile(name));
}

void PictureBox::setPicture(const QImage& picture)
{
    m_artwork = nullptr;
    m_picture = picture;
    fitToPicture();
    update();
}

void PictureBox::setArtwork(QSize size, std::function<QImage(qreal)> draw)
{
    m_artwork = std::move(draw);
    m_artworkSize = size;
    m_picture = QImage();
    fitToPicture();
    update();
}

const QImage& PictureBox::picture() const
{
    drawArtworkAt(devicePixelRatioF());
    return m_picture;
}

void PictureBox::drawArtworkAt(qreal ratio) const
{
    if (m_artwork && (m_picture.isNull() || m_picture.devicePixelRatio() != ratio))
        m_picture = m_artwork(ratio);
}

void PictureBox::clearPicture()
{
    m_artwork = nullptr;
    m_picture = QImage();
    update();
}

void PictureBox::paintOnCanvas(const std::function<void(QPainter&)>& draw)
{
    // What is drawn on stays as drawn, at the ratio it was drawn at.
    drawArtworkAt(devicePixelRatioF());
    m_artwork = nullptr;
    if (m_picture.isNull()) {
        m_picture = QImage(blankCanvasSize(), QImage::Format_ARGB32_Premultiplied);
        m_picture.setDevicePixelRatio(devicePixelRatioF());
        m_picture.fill(Qt::white);
    }
    {
        QPainter painter(&m_picture);
        const qreal ratio = m_picture.devicePixelRatio();
        smoothUnlessWhole(painter, ratio);
        draw(painter);
    }
    update();
}

void PictureBox::copyOntoCanvas(const QImage& picture, QSize area)
{
    const qreal ratio = devicePixelRatioF();
    const QRect copiedPixels(QPoint(0, 0), (QSizeF(area) * picture.devicePixelRatio()).toSize());
    const QRect canvas(QPoint(0, 0), blankCanvasSize());
    // Where the copy would cover a blank canvas pixel for pixel, the canvas
    // is that part of the picture, if it is one a painter can draw on.
    const bool paintable =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32_Premultiplied;
    if (!hasPicture() && paintable && picture.devicePixelRatio() == ratio
        && copiedPixels.intersected(picture.rect()).contains(canvas)) {
        m_picture = canvas == picture.rect() ? picture : picture.copy(canvas);
        m_picture.setDevicePixelRatio(ratio);
        update();
        return;
    }
    paintOnCanvas([&](QPainter& painter) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QRect(QPoint(0, 0), area), picture, QRectF(copiedPixels));
    });
}

QSize PictureBox::blankCanvasSize() const
{
    const qreal ratio = devicePixelRatioF();
    const QSize area = size().expandedTo(QSize(1, 1));
    return {qCeil(area.width() * ratio), qCeil(area.height() * ratio)};
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
    if (m_autoSize && m_artwork)
        resize(m_artworkSize);
    else if (m_autoSize && !m_picture.isNull())
        resize(m_picture.deviceIndependentSize().toSize());
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The ratio of what is painted on: the screen's, or a grab's.
    const qreal ratio = painter.paintEngine()->paintDevice()->devicePixelRatioF();
    drawArtworkAt(ratio);
    if (m_picture.isNull())
        return;
    // A picture of another ratio is scaled.
    smoothUnlessWhole(painter, ratio / m_picture.devicePixelRatio());
    if (m_stretch)
        painter.drawImage(rect(), m_picture);
    else
        painter.drawImage(QPoint(0, 0), m_picture);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

QPixmap pixmapAtRatio(const QImage& picture, qreal ratio)
{
    // A picture drawn at the ratio already is shown as drawn.
    if (picture.devicePixelRatio() == ratio)
        return QPixmap::fromImage(picture);
    QImage scaled =
        picture.scaled(qCeil(picture.width() * ratio), qCeil(picture.height() * ratio), Qt::IgnoreAspectRatio,
                       smoothAt(ratio) ? Qt::SmoothTransformation : Qt::FastTransformation);
    scaled.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(scaled);
}

} // namespace kb::platform
