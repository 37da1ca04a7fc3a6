#pragma once

#include "platform/files/FileName.h"
#include "platform/pictures/PictureFile.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <functional>
#include <string>
#include <string_view>

class QPainter;

namespace kb::platform {

// A picture control: shows its picture at its own size from the top-left
// corner (or stretched), can size itself to the picture, and offers a
// drawing surface. Sizes are in device-independent pixels: a picture read
// from a file is scaled to the screen's device pixel ratio, by whole pixels
// at a whole ratio and smoothly otherwise; artwork the program draws is
// drawn at the ratio.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Loads a picture file; on failure the former picture stays and the error
    // is raised.
    void loadFromFile(const FileName& name);
    void setPicture(const QImage& picture);
    // Artwork drawn by the program, of size device-independent pixels: draw
    // gives the picture at a device pixel ratio, with that ratio set. It is
    // drawn when first shown or asked for.
    void setArtwork(QSize size, std::function<QImage(qreal ratio)> draw);
    template <typename Artwork>
    void setArtwork(const Artwork& artwork)
    {
        setArtwork(artwork.size(), artwork);
    }
    void clearPicture();
    // The picture; artwork at the screen's ratio.
    const QImage& picture() const;
    bool hasPicture() const { return m_artwork || !m_picture.isNull(); }

    // Draws on the picture; a control without a picture first gets a blank
    // bitmap of its current size at the screen's ratio.
    void paintOnCanvas(const std::function<void(QPainter&)>& draw);
    // Copies the top-left area of picture (device-independent pixels) onto
    // the canvas pixel for pixel. A box without a picture takes the pixels
    // themselves, shared until either is drawn on.
    void copyOntoCanvas(const QImage& picture, QSize area);

    void setAutoSize(bool on);
    void setStretch(bool on);

signals:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void fitToPicture();
    void drawArtworkAt(qreal ratio) const;
    // The size in device pixels of the blank bitmap a box without a picture draws on.
    QSize blankCanvasSize() const;

    // Artwork is drawn on demand, into m_picture.
    mutable QImage m_picture;
    std::function<QImage(qreal)> m_artwork;
    QSize m_artworkSize;
    bool m_autoSize = false;
    bool m_stretch = false;
};

// A picture read from a file, scaled for a screen of ratio (unless it was
// drawn at that ratio, as metafiles are): by whole pixels
// at a whole ratio, smoothly otherwise, with the ratio set, so that a control
// showing a pixmap shows it at its own size without scaling it again.
QPixmap pixmapAtRatio(const QImage& picture, qreal ratio);

} // namespace kb::platform
