#include "ArtworkIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace kb::resources {
namespace {

class ArtworkIconEngine : public QIconEngine {
public:
    ArtworkIconEngine(Artwork normal, Artwork disabled)
        : m_normal(std::move(normal))
        , m_disabled(std::move(disabled))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->drawImage(rect, picture(mode, painter->device()->devicePixelRatioF()));
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return logicalSize().boundedTo(size); }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        // Asked for in device pixels: the ratio is how much larger than the picture.
        const QSize logical = logicalSize();
        const qreal ratio = std::max(qreal(size.width()) / logical.width(), qreal(size.height()) / logical.height());
        return QPixmap::fromImage(picture(mode, ratio));
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        return scale > 0 ? QPixmap::fromImage(picture(mode, scale)) : pixmap(size, mode, QIcon::Off);
    }

    // Any size can be drawn; these are offered to whoever picks one, as the
    // desktop does for a window's icon.
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        const QSize size = logicalSize();
        return {size, size * 2, size * 3, size * 4};
    }

    QIconEngine* clone() const override { return new ArtworkIconEngine(m_normal, m_disabled); }

private:
    QSize logicalSize() const { return m_normal.size(); }
    QImage picture(QIcon::Mode mode, qreal ratio) const
    {
        return (mode == QIcon::Disabled ? m_disabled : m_normal)(ratio);
    }

    Artwork m_normal;
    Artwork m_disabled;
};

} // namespace

QIcon artworkIcon(const Artwork& normal, const Artwork& disabled)
{
    return QIcon(new ArtworkIconEngine(normal, disabled));
}

QIcon artworkIcon(const Artwork& normal)
{
    // The disabled look of an icon without its own: grey, as the style would make it.
    return artworkIcon(normal, Artwork(normal.size(), [normal](qreal ratio) {
                           QImage grey = normal(ratio).convertToFormat(QImage::Format_ARGB32);
                           for (int y = 0; y < grey.height(); ++y) {
                               auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
                               for (int x = 0; x < grey.width(); ++x) {
                                   const int level = qGray(line[x]) / 2 + 96;
                                   line[x] = qRgba(level, level, level, qAlpha(line[x]));
                               }
                           }
                           return grey;
                       }));
}

} // namespace kb::resources
