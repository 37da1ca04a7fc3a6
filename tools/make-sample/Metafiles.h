#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Drawing commands that both metafile writers record, in logical units of
// the picture (one unit is 1/unitsPerInch of an inch).
class MetafileCanvas {
public:
    virtual ~MetafileCanvas() = default;

    // An invalid colour draws no outline, or no fill.
    virtual void setPen(QColor colour, int width = 1) = 0;
    virtual void setBrush(QColor colour) = 0;
    virtual void setFont(int height, const std::string& face, bool bold = false) = 0;
    virtual void setTextColour(QColor colour) = 0;

    virtual void rectangle(const QRect& box) = 0;
    virtual void ellipse(const QRect& box) = 0;
    virtual void polygon(const std::vector<QPoint>& points) = 0;
    virtual void line(QPoint from, QPoint to) = 0;
    virtual void text(QPoint topLeft, const std::string& latin1) = 0;
    // Stretches a bitmap into box; an 8-bit palettised picture is stored so,
    // anything else as 24-bit.
    virtual void bitmap(const QRect& box, const QImage& picture) = 0;

    // The file's bytes.
    virtual std::string bytes() const = 0;
};

enum class MetafileKind { Windows, PlaceableWindows, Enhanced };

// A writer for a picture of size logical units. An enhanced metafile spaces
// its text by the fonts' own advances, so it needs a QGuiApplication. A placeable Windows metafile
// and an enhanced one record that size (at unitsPerInch) in their headers; a
// bare Windows metafile records none.
std::unique_ptr<MetafileCanvas> makeMetafileCanvas(MetafileKind kind, QSize size, int unitsPerInch);

// The DIB that both formats embed: a BITMAPINFOHEADER, its palette and the
// rows bottom-up, each padded to four bytes.
std::string deviceIndependentBitmap(const QImage& picture);
