#include "Brushwork.h"

#include "Random.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double degrees = 3.14159265358979323846 / 180;

std::vector<double> luminanceOf(const QImage& image)
{
    std::vector<double> luminance(std::size_t(image.width()) * std::size_t(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            luminance[std::size_t(y) * std::size_t(image.width()) + std::size_t(x)] =
                0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c);
        }
    }
    return luminance;
}

// The brightness gradient (Sobel) at a pixel.
QPointF gradientAt(const std::vector<double>& luminance, int width, int height, int x, int y)
{
    const auto at = [&](int px, int py) {
        px = std::clamp(px, 0, width - 1);
        py = std::clamp(py, 0, height - 1);
        return luminance[std::size_t(py) * std::size_t(width) + std::size_t(px)];
    };
    const double gx =
        at(x + 1, y - 1) + 2 * at(x + 1, y) + at(x + 1, y + 1) - at(x - 1, y - 1) - 2 * at(x - 1, y) - at(x - 1, y + 1);
    const double gy =
        at(x - 1, y + 1) + 2 * at(x, y + 1) + at(x + 1, y + 1) - at(x - 1, y - 1) - 2 * at(x, y - 1) - at(x + 1, y - 1);
    return {gx, gy};
}

QColor varied(QRgb colour, Random& random)
{
    const double factor = random.uniform(0.93, 1.07);
    const auto channel = [factor](int value) { return std::clamp(int(value * factor), 0, 255); };
    return QColor(channel(qRed(colour)), channel(qGreen(colour)), channel(qBlue(colour)), 225);
}

} // namespace

QImage paintOver(const QImage& scene, Random& random, const BrushStyle& style)
{
    const QImage source = scene.convertToFormat(QImage::Format_RGB32);
    const int width = source.width(), height = source.height();
    const std::vector<double> luminance = luminanceOf(source);

    QImage canvas = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    const int strokes = int(width * height * style.strokesPerPixel);
    for (int i = 0; i < strokes; ++i) {
        const double x = random.uniform(0, width);
        const double y = random.uniform(0, height);
        const int px = std::min(int(x), width - 1), py = std::min(int(y), height - 1);
        const QPointF gradient = gradientAt(luminance, width, height, px, py);
        const double strength = std::hypot(gradient.x(), gradient.y());
        const double jitter = random.uniform(-style.angleJitter, style.angleJitter) * degrees;
        const double angle = strength > 40 ? std::atan2(gradient.y(), gradient.x()) + 90 * degrees + jitter * 0.3
                                           : style.calmAngle * degrees + jitter;
        const double length = style.length / (1 + strength / 90) * random.uniform(0.7, 1.2);
        const QPointF half(std::cos(angle) * length / 2, std::sin(angle) * length / 2);
        const double strokeWidth = style.width / (1 + strength / 220) * random.uniform(0.8, 1.15);
        painter.setPen(QPen(varied(source.pixel(px, py), random), strokeWidth, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(x, y) - half, QPointF(x, y) + half);
    }
    painter.end();
    return canvas.convertToFormat(QImage::Format_RGB32);
}
