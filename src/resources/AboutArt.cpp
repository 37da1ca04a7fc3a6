#include "AboutArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace kb::resources {
namespace {

constexpr QSize pictureSize(250, 200);
const QColor tanColour{214, 188, 146};
const QColor lightTan{232, 212, 176};
const QColor darkTan{160, 132, 92};

void drawPlate(QPainter& painter, const QRect& area)
{
    painter.fillRect(area, tanColour);
    drawEdge(painter, area, lightTan, darkTan);
}

void drawTab(QPainter& painter)
{
    const QRectF tab(55, 0, 140, 28);
    QPainterPath shape;
    shape.moveTo(tab.topLeft());
    shape.lineTo(tab.topRight());
    shape.lineTo(tab.right(), tab.bottom() - 8);
    shape.quadTo(tab.right(), tab.bottom(), tab.right() - 8, tab.bottom());
    shape.lineTo(tab.left() + 8, tab.bottom());
    shape.quadTo(tab.left(), tab.bottom(), tab.left(), tab.bottom() - 8);
    shape.closeSubpath();
    painter.fillPath(shape, Qt::black);

    // The letter i in a ring.
    painter.setPen(QPen(Qt::white, 1.6));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(72, 13.5), 8.5, 8.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(72, 8.5), 1.6, 1.6);
    painter.drawRect(QRectF(70.8, 11.5, 2.4, 7.5));

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(84, 0, 108, 26), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("information"));
}

// A small landscape in grey tones: sky, sun, two ridges of hills, a lake and
// a tree on the near shore.
void drawPhotograph(QPainter& painter, const QRect& photo)
{
    painter.save();
    painter.setClipRect(photo);

    QLinearGradient sky(photo.topLeft(), QPoint(photo.left(), photo.top() + photo.height() * 6 / 10));
    sky.setColorAt(0, QColor(70, 70, 70));
    sky.setColorAt(1, QColor(205, 205, 205));
    painter.fillRect(photo, sky);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(245, 245, 245));
    painter.drawEllipse(QPointF(photo.left() + photo.width() * 0.72, photo.top() + 20), 8, 8);

    const auto ridge = [&](qreal base, const QList<QPointF>& peaks, const QColor& tone) {
        QPainterPath path;
        path.moveTo(photo.left(), photo.top() + base);
        for (const auto& peak : peaks)
            path.lineTo(photo.left() + peak.x(), photo.top() + peak.y());
        path.lineTo(photo.right() + 1, photo.top() + base);
        path.lineTo(photo.right() + 1, photo.bottom() + 1);
        path.lineTo(photo.left(), photo.bottom() + 1);
        path.closeSubpath();
        painter.fillPath(path, tone);
    };
    ridge(46, {{14, 36}, {32, 42}, {52, 26}, {70, 38}, {88, 30}, {110, 44}}, QColor(128, 128, 128));
    ridge(54, {{20, 50}, {40, 44}, {64, 52}, {84, 46}, {110, 54}}, QColor(84, 84, 84));

    QLinearGradient lake(QPoint(photo.left(), photo.top() + 56), photo.bottomLeft());
    lake.setColorAt(0, QColor(180, 180, 180));
    lake.setColorAt(1, QColor(110, 110, 110));
    painter.fillRect(QRect(photo.left(), photo.top() + 56, photo.width(), 14), lake);
    painter.fillRect(QRect(photo.left(), photo.top() + 70, photo.width(), photo.height() - 70), QColor(52, 52, 52));

    // The tree on the near shore.
    painter.fillRect(QRectF(photo.left() + 22, photo.top() + 52, 3, 20), QColor(24, 24, 24));
    painter.setBrush(QColor(36, 36, 36));
    painter.drawEllipse(QPointF(photo.left() + 23.5, photo.top() + 46), 9, 12);
    painter.restore();
}

void drawFrame(QPainter& painter, const QRect& photo)
{
    const QRect mat = photo.adjusted(-5, -5, 5, 5);
    painter.fillRect(mat.translated(3, 3), darkTan);
    painter.fillRect(mat, QColor(248, 246, 240));
    const QColor outline(40, 40, 40);
    drawEdge(painter, mat, outline, outline);
    drawEdge(painter, photo.adjusted(-1, -1, 1, 1), outline, outline);
}

} // namespace

Artwork aboutPicture()
{
    // True colour: the gradients and the smoothed edges need more than 256
    // colours at some ratios, and a reduction to 256 then falls back on a
    // fixed colour cube, which turns the tan olive and flattens the photograph.
    static const Artwork picture(pictureSize, [](qreal ratio) {
        QImage canvas = canvasAt(pictureSize, ratio, QImage::Format_RGB32);
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        drawPlate(painter, QRect(QPoint(0, 0), pictureSize));
        drawTab(painter);
        const QRect photo(73, 44, 110, 86);
        drawFrame(painter, photo);
        drawPhotograph(painter, photo);
        return canvas;
    });
    return picture;
}

} // namespace kb::resources
