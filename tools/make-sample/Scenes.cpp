#include "Scenes.h"

#include "Brushwork.h"
#include "Random.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;

QImage blankScene()
{
    QImage scene(sceneWidth, sceneHeight, QImage::Format_ARGB32_Premultiplied);
    scene.fill(Qt::black);
    return scene;
}

void fillVertical(QPainter& painter, const QRectF& area, std::initializer_list<std::pair<double, QColor>> stops)
{
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    for (const auto& stop : stops)
        gradient.setColorAt(stop.first, stop.second);
    painter.fillRect(area, gradient);
}

// A skyline through the given points, made rugged by midpoint displacement,
// closed along the bottom of the picture.
QPainterPath ridge(Random& random, const std::vector<QPointF>& keyPoints, double roughness)
{
    std::vector<QPointF> points = keyPoints;
    for (int pass = 0; pass < 6; ++pass) {
        std::vector<QPointF> finer;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            const QPointF a = points[i], b = points[i + 1];
            const double span = std::hypot(b.x() - a.x(), b.y() - a.y());
            finer.push_back(a);
            finer.push_back((a + b) / 2 + QPointF(0, random.uniform(-1, 1) * span * roughness));
        }
        finer.push_back(points.back());
        points = std::move(finer);
    }
    QPainterPath path(QPointF(points.front().x(), sceneHeight + 1));
    for (const QPointF& point : points)
        path.lineTo(point);
    path.lineTo(points.back().x(), sceneHeight + 1);
    path.closeSubpath();
    return path;
}

void softCloud(QPainter& painter, Random& random, QPointF centre, double size)
{
    for (int i = 0; i < 9; ++i) {
        const double dy = random.uniform(-0.3, 0.25) * size;
        const double dx = random.uniform(-1.2, 1.2) * size;
        const QPointF puff = centre + QPointF(dx, dy);
        const double radius = size * random.uniform(0.35, 0.6);
        QRadialGradient gradient(puff, radius);
        gradient.setColorAt(0, QColor(255, 255, 255, 170));
        gradient.setColorAt(0.6, QColor(250, 250, 255, 90));
        gradient.setColorAt(1, QColor(240, 245, 255, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(gradient);
        painter.drawEllipse(puff, radius * 1.5, radius);
    }
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// --- Tulips -------------------------------------------------------------

void drawTulip(QPainter& painter, QPointF base, double size, const QColor& petal)
{
    const QColor stem(46, 112, 40);
    const QPointF cup = base - QPointF(0, size * 1.5);
    painter.setPen(QPen(stem, std::max(1.0, size * 0.12), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(base, cup);

    QPainterPath leaf(base);
    leaf.quadTo(base + QPointF(-size * 0.55, -size * 0.5), base + QPointF(-size * 0.35, -size * 1.1));
    leaf.quadTo(base + QPointF(-size * 0.1, -size * 0.5), base);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 130, 50));
    painter.drawPath(leaf);

    QPainterPath head(cup + QPointF(-size * 0.36, -size * 0.15));
    head.cubicTo(cup + QPointF(-size * 0.4, size * 0.45), cup + QPointF(size * 0.4, size * 0.45),
                 cup + QPointF(size * 0.36, -size * 0.15));
    head.lineTo(cup + QPointF(size * 0.3, -size * 0.5));
    head.lineTo(cup + QPointF(size * 0.12, -size * 0.3));
    head.lineTo(cup + QPointF(0, -size * 0.58));
    head.lineTo(cup + QPointF(-size * 0.12, -size * 0.3));
    head.lineTo(cup + QPointF(-size * 0.3, -size * 0.5));
    head.closeSubpath();
    QLinearGradient shade(cup - QPointF(size * 0.4, 0), cup + QPointF(size * 0.4, 0));
    shade.setColorAt(0, petal.lighter(125));
    shade.setColorAt(1, petal.darker(135));
    painter.setBrush(shade);
    painter.drawPath(head);
}

} // namespace

QImage tulipField()
{
    Random random(0x7a11f);
    QImage scene = blankScene();
    QPainter painter(&scene);
    painter.setRenderHint(QPainter::Antialiasing);
    fillVertical(painter, QRectF(0, 0, sceneWidth, 110), {{0, QColor(92, 142, 214)}, {1, QColor(206, 224, 240)}});
    softCloud(painter, random, QPointF(45, 30), 22);
    softCloud(painter, random, QPointF(150, 55), 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(128, 150, 150));
    painter.drawPath(ridge(random, {{0, 98}, {60, 92}, {120, 96}, {189, 90}}, 0.08));
    painter.setBrush(QColor(96, 140, 72));
    painter.drawPath(ridge(random, {{0, 108}, {90, 104}, {189, 107}}, 0.05));
    // A windmill on the far dyke.
    painter.setBrush(QColor(84, 74, 80));
    painter.drawPolygon(QPolygonF({{141, 106}, {149, 106}, {147, 88}, {143, 88}}));
    painter.setPen(QPen(QColor(70, 62, 66), 1.4));
    for (int blade = 0; blade < 4; ++blade) {
        const double angle = pi / 4 * (2 * blade + 1) + 0.2;
        painter.drawLine(QPointF(145, 88), QPointF(145 + 12 * std::cos(angle), 88 + 12 * std::sin(angle)));
    }
    painter.setPen(Qt::NoPen);
    fillVertical(painter, QRectF(0, 110, sceneWidth, sceneHeight - 110),
                 {{0, QColor(88, 140, 60)}, {1, QColor(42, 96, 34)}});

    const QColor bands[] = {QColor(214, 34, 44),  QColor(248, 206, 48),  QColor(236, 110, 168),
                            QColor(244, 128, 36), QColor(244, 240, 228), QColor(150, 70, 170)};
    constexpr int rows = 24;
    for (int row = 0; row < rows; ++row) {
        const double t = double(row) / (rows - 1);
        const double y = 112 + 124 * std::pow(t, 1.5);
        const double size = 1.4 + 12 * std::pow(t, 1.9);
        const QColor colour = bands[(row / 4) % 6];
        for (double x = random.uniform(-size, 0); x < sceneWidth + size; x += size * random.uniform(1.0, 1.5)) {
            const QPointF base(x, y + random.uniform(-0.3, 0.3) * size);
            if (size < 3.5) {
                painter.setBrush(mix(colour, QColor(120, 150, 110), 0.35 * (1 - t)));
                painter.drawEllipse(base, size * 0.8, size * 0.45);
            } else {
                drawTulip(painter, base, size, colour);
            }
        }
    }
    drawTulip(painter, QPointF(26, 252), 21, QColor(222, 30, 40));
    drawTulip(painter, QPointF(44, 256), 18, QColor(222, 30, 40));
    drawTulip(painter, QPointF(162, 254), 20, QColor(250, 204, 40));
    painter.end();
    BrushStyle style;
    style.length = 6;
    style.calmAngle = 0;
    return paintOver(scene, random, style);
}

// --- Cherry blossom -----------------------------------------------------

namespace {

void growBranch(QPainter& painter, Random& random, QPointF from, double angle, double length, double width, int depth,
                std::vector<QPointF>& twigs)
{
    const QPointF direction(std::cos(angle), std::sin(angle));
    const QPointF normal(-direction.y(), direction.x());
    const QPointF to = from + direction * length;
    const QPointF bend = (from + to) / 2 + normal * random.uniform(-0.15, 0.15) * length;
    QPainterPath limb(from);
    limb.quadTo(bend, to);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(62, 40, 38), width, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(limb);
    painter.setPen(QPen(QColor(112, 78, 66), std::max(0.6, width * 0.3), Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(limb.translated(normal * (-width * 0.25)));
    for (double t = 0.25; t <= 1.0; t += 0.12)
        twigs.push_back(limb.pointAtPercent(t));
    if (depth == 0)
        return;
    for (double at : {0.45, 0.8}) {
        const QPointF start = limb.pointAtPercent(at);
        const double side = random.below(2) == 0 ? -1 : 1;
        const double shortening = random.uniform(0.45, 0.6);
        const double turn = random.uniform(0.4, 0.8);
        growBranch(painter, random, start, angle + side * turn, length * shortening, width * 0.6, depth - 1, twigs);
    }
    growBranch(painter, random, to, angle + random.uniform(-0.3, 0.3), length * 0.55, width * 0.65, depth - 1, twigs);
}

void drawBlossom(QPainter& painter, Random& random, QPointF centre, double radius)
{
    const double turn = random.uniform(0, 2 * pi);
    painter.setPen(QPen(QColor(226, 150, 170), 0.6));
    for (int petal = 0; petal < 5; ++petal) {
        const double angle = turn + petal * 2 * pi / 5;
        painter.save();
        painter.translate(centre + QPointF(std::cos(angle), std::sin(angle)) * radius * 0.5);
        painter.rotate(angle * 180 / pi);
        QRadialGradient shade(QPointF(0, 0), radius * 0.6);
        shade.setColorAt(0, QColor(255, 236, 242));
        shade.setColorAt(1, QColor(246, 178, 198));
        painter.setBrush(shade);
        painter.drawEllipse(QPointF(0, 0), radius * 0.55, radius * 0.42);
        painter.restore();
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(196, 58, 96));
    painter.drawEllipse(centre, radius * 0.22, radius * 0.22);
    painter.setBrush(QColor(250, 224, 96));
    for (int stamen = 0; stamen < 5; ++stamen) {
        const double angle = turn + 0.6 + stamen * 2 * pi / 5;
        painter.drawEllipse(centre + QPointF(std::cos(angle), std::sin(angle)) * radius * 0.32, 0.6, 0.6);
    }
}

} // namespace

QImage cherryBlossom()
{
    Random random(0x5a4a7a);
    QImage scene = blankScene();
    QPainter painter(&scene);
    painter.setRenderHint(QPainter::Antialiasing);
    fillVertical(painter, QRectF(0, 0, sceneWidth, sceneHeight),
                 {{0, QColor(104, 156, 222)}, {0.7, QColor(190, 214, 238)}, {1, QColor(232, 226, 236)}});
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 26; ++i) {
        const double y = random.uniform(0, sceneHeight);
        const QPointF at(random.uniform(0, sceneWidth), y);
        const double radius = random.uniform(6, 17);
        painter.setBrush(i % 3 == 0 ? QColor(255, 255, 255, 46) : QColor(255, 200, 220, 58));
        painter.drawEllipse(at, radius, radius);
    }
    // A far hillside with a pagoda roof in the haze.
    painter.setBrush(QColor(150, 176, 196));
    painter.drawPath(ridge(random, {{0, 214}, {70, 200}, {130, 208}, {189, 196}}, 0.06));
    painter.setBrush(QColor(120, 132, 160));
    painter.drawRect(QRectF(140, 178, 8, 22));
    for (int storey = 0; storey < 3; ++storey) {
        const double y = 182 + storey * 7;
        painter.drawPolygon(
            QPolygonF({{132 - storey * 1.5, y}, {156 + storey * 1.5, y}, {150, y - 3.5}, {138, y - 3.5}}));
    }
    std::vector<QPointF> twigs;
    growBranch(painter, random, QPointF(-12, 30), 0.5, 150, 9, 2, twigs);
    growBranch(painter, random, QPointF(200, 128), 3.45, 70, 6, 1, twigs);
    for (const QPointF& twig : twigs) {
        const int cluster = random.below(4);
        for (int i = 0; i < cluster; ++i) {
            const double dy = random.uniform(-7, 6);
            const QPointF at = twig + QPointF(random.uniform(-7, 7), dy);
            if (random.below(5) == 0) {
                painter.setPen(Qt::NoPen);
                painter.setBrush(QColor(214, 84, 120));
                painter.drawEllipse(at, 1.8, 1.5);
            } else {
                drawBlossom(painter, random, at, random.uniform(4.5, 7.5));
            }
        }
    }
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 14; ++i) {
        painter.setBrush(QColor(250, 196, 212));
        painter.save();
        const double y = random.uniform(120, 240);
        painter.translate(random.uniform(10, 180), y);
        painter.rotate(random.uniform(0, 180));
        painter.drawEllipse(QPointF(0, 0), 2.4, 1.4);
        painter.restore();
    }
    painter.end();
    BrushStyle style;
    style.length = 5;
    style.width = 2.2;
    style.calmAngle = -30;
    style.strokesPerPixel = 0.14;
    return paintOver(scene, random, style);
}

// --- Tree ---------------------------------------------------------------

QImage treeOnHill()
{
    Random random(0x4b1);
    QImage scene = blankScene();
    QPainter painter(&scene);
    painter.setRenderHint(QPainter::Antialiasing);
    fillVertical(painter, QRectF(0, 0, sceneWidth, 176), {{0, QColor(84, 138, 212)}, {1, QColor(196, 218, 236)}});
    softCloud(painter, random, QPointF(30, 24), 20);
    softCloud(painter, random, QPointF(160, 40), 24);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(138, 160, 184));
    painter.drawPath(ridge(random, {{0, 170}, {50, 160}, {110, 166}, {189, 156}}, 0.07));
    painter.setBrush(QColor(132, 170, 92));
    painter.drawPath(ridge(random, {{0, 178}, {189, 172}}, 0.03));
    QPainterPath hill(QPointF(0, 200));
    hill.cubicTo(QPointF(50, 178), QPointF(130, 176), QPointF(189, 196));
    hill.lineTo(189, sceneHeight + 1);
    hill.lineTo(0, sceneHeight + 1);
    hill.closeSubpath();
    QLinearGradient grass(QPointF(0, 180), QPointF(0, sceneHeight));
    grass.setColorAt(0, QColor(116, 170, 60));
    grass.setColorAt(1, QColor(58, 118, 38));
    painter.setBrush(grass);
    painter.drawPath(hill);
    painter.setBrush(QColor(40, 86, 30, 150));
    painter.drawEllipse(QPointF(104, 196), 56, 8);

    // Trunk and the limbs that carry the crown.
    QPainterPath trunk(QPointF(84, 196));
    trunk.cubicTo(QPointF(90, 170), QPointF(88, 150), QPointF(90, 120));
    trunk.lineTo(100, 120);
    trunk.cubicTo(QPointF(100, 150), QPointF(102, 172), QPointF(110, 196));
    trunk.closeSubpath();
    QLinearGradient bark(QPointF(84, 0), QPointF(110, 0));
    bark.setColorAt(0, QColor(110, 80, 52));
    bark.setColorAt(1, QColor(56, 38, 26));
    painter.setBrush(bark);
    painter.drawPath(trunk);
    painter.setPen(QPen(QColor(74, 52, 34), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(92, 134), QPointF(62, 104));
    painter.drawLine(QPointF(97, 130), QPointF(130, 100));
    painter.drawLine(QPointF(95, 124), QPointF(96, 80));

    struct Blob {
        QPointF centre;
        double radius;
    };
    std::vector<Blob> crown;
    for (int i = 0; i < 110; ++i) {
        const double angle = random.uniform(0, 2 * pi);
        const double distance = std::sqrt(random.uniform(0.05, 1));
        crown.push_back({QPointF(96 + std::cos(angle) * distance * 60, 92 + std::sin(angle) * distance * 44),
                         random.uniform(9, 17)});
    }
    painter.setPen(Qt::NoPen);
    for (const Blob& blob : crown) {
        painter.setBrush(QColor(34, 78, 34));
        painter.drawEllipse(blob.centre + QPointF(2, 3), blob.radius, blob.radius * 0.9);
    }
    for (const Blob& blob : crown) {
        painter.setBrush(QColor(58, 116, 44));
        painter.drawEllipse(blob.centre, blob.radius * 0.85, blob.radius * 0.75);
    }
    for (const Blob& blob : crown) {
        const QPointF fromLight = blob.centre - QPointF(70, 60);
        if (fromLight.x() + fromLight.y() > 72)
            continue;
        painter.setBrush(QColor(118, 168, 64));
        painter.drawEllipse(blob.centre - QPointF(3, 4), blob.radius * 0.45, blob.radius * 0.38);
    }
    for (int i = 0; i < 70; ++i) {
        painter.setBrush(random.below(3) == 0 ? QColor(250, 248, 240) : QColor(248, 220, 70));
        const double y = random.uniform(204, sceneHeight);
        const QPointF at(random.uniform(0, sceneWidth), y);
        painter.drawEllipse(at, 1.3, 1.1);
    }
    painter.end();
    BrushStyle style;
    style.length = 6.5;
    style.calmAngle = -10;
    return paintOver(scene, random, style);
}

// --- Lake ---------------------------------------------------------------

QImage lakeAtDusk()
{
    Random random(0x1a4e);
    QImage scene = blankScene();
    QPainter painter(&scene);
    painter.setRenderHint(QPainter::Antialiasing);
    constexpr double shore = 128;
    fillVertical(painter, QRectF(0, 0, sceneWidth, shore),
                 {{0, QColor(60, 70, 140)}, {0.55, QColor(200, 120, 130)}, {1, QColor(250, 200, 130)}});
    QRadialGradient glow(QPointF(118, 104), 40);
    glow.setColorAt(0, QColor(255, 236, 170, 220));
    glow.setColorAt(1, QColor(255, 200, 140, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(QPointF(118, 104), 40, 40);
    painter.setBrush(QColor(255, 238, 184));
    painter.drawEllipse(QPointF(118, 104), 10, 10);
    painter.setBrush(QColor(120, 92, 140));
    painter.drawPath(ridge(random, {{0, 104}, {40, 84}, {80, 102}, {150, 96}, {189, 80}}, 0.1));
    painter.setBrush(QColor(70, 60, 100));
    painter.drawPath(ridge(random, {{0, 122}, {60, 112}, {130, 120}, {189, 110}}, 0.06));
    painter.setBrush(QColor(44, 40, 66));
    painter.drawRect(QRectF(0, 124, sceneWidth, shore - 124));

    fillVertical(painter, QRectF(0, shore, sceneWidth, sceneHeight - shore),
                 {{0, QColor(212, 150, 130)}, {0.35, QColor(130, 90, 130)}, {1, QColor(40, 46, 92)}});
    for (int i = 0; i < 90; ++i) {
        const double y = random.uniform(shore + 2, sceneHeight);
        const double spread = 8 + (y - shore) * 0.25;
        const double x = 118 + random.uniform(-1, 1) * spread;
        const double length = random.uniform(4, 12) * (0.5 + (y - shore) / 120);
        painter.setBrush(QColor(255, 226, 160, 200));
        painter.drawRect(QRectF(x - length / 2, y, length, 1.2));
    }
    painter.setPen(QPen(QColor(255, 255, 255, 40), 1));
    for (int i = 0; i < 40; ++i) {
        const double y = random.uniform(shore + 4, sceneHeight);
        const double x = random.uniform(0, sceneWidth);
        painter.drawLine(QPointF(x, y), QPointF(x + random.uniform(6, 20), y));
    }

    // A rowing boat with one figure, and its reflection.
    const QPolygonF hull({{38, 176}, {82, 176}, {76, 183}, {45, 183}});
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 30, 46, 120));
    painter.drawPolygon(hull.translated(0, 13));
    painter.setBrush(QColor(34, 26, 40));
    painter.drawPolygon(hull);
    painter.drawEllipse(QPointF(60, 165), 3, 3);
    painter.drawRect(QRectF(57, 168, 6, 8));
    painter.setPen(QPen(QColor(34, 26, 40), 1.2));
    painter.drawLine(QPointF(50, 170), QPointF(74, 186));

    for (int i = 0; i < 34; ++i) {
        const bool left = i % 2 == 0;
        const double x = left ? random.uniform(-4, 44) : random.uniform(150, 194);
        const double height = random.uniform(30, 80);
        const double lean = random.uniform(-10, 10);
        QPainterPath reed(QPointF(x, sceneHeight + 2));
        reed.quadTo(QPointF(x + lean * 0.2, sceneHeight - height * 0.5), QPointF(x + lean, sceneHeight - height));
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(30, 28, 40), random.uniform(1, 2)));
        painter.drawPath(reed);
        if (i % 5 == 0) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(70, 44, 34));
            painter.drawEllipse(QPointF(x + lean, sceneHeight - height + 5), 2, 5);
        }
    }
    painter.end();
    BrushStyle style;
    style.length = 8;
    style.calmAngle = 0;
    style.angleJitter = 8;
    return paintOver(scene, random, style);
}

// --- Mountain -----------------------------------------------------------

namespace {

void drawPine(QPainter& painter, QPointF base, double height, const QColor& colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour.darker(160));
    painter.drawRect(QRectF(base.x() - height * 0.04, base.y() - height * 0.15, height * 0.08, height * 0.15));
    painter.setBrush(colour);
    for (int tier = 0; tier < 3; ++tier) {
        const double bottom = base.y() - height * (0.1 + tier * 0.27);
        const double half = height * (0.3 - tier * 0.07);
        painter.drawPolygon(
            QPolygonF({{base.x() - half, bottom}, {base.x() + half, bottom}, {base.x(), bottom - height * 0.45}}));
    }
}

} // namespace

QImage mountainMeadow()
{
    Random random(0x7a3a);
    QImage scene = blankScene();
    QPainter painter(&scene);
    painter.setRenderHint(QPainter::Antialiasing);
    fillVertical(painter, QRectF(0, 0, sceneWidth, 170), {{0, QColor(46, 96, 190)}, {1, QColor(176, 208, 240)}});
    softCloud(painter, random, QPointF(160, 22), 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(150, 168, 200));
    painter.drawPath(ridge(random, {{0, 110}, {30, 86}, {70, 118}, {189, 100}}, 0.09));

    const QPainterPath peak = ridge(random, {{-10, 150}, {40, 96}, {96, 34}, {150, 92}, {199, 140}}, 0.07);
    QLinearGradient rock(QPointF(60, 0), QPointF(140, 0));
    rock.setColorAt(0, QColor(136, 130, 140));
    rock.setColorAt(0.5, QColor(112, 106, 122));
    rock.setColorAt(1, QColor(70, 68, 88));
    painter.setBrush(rock);
    painter.drawPath(peak);
    // Snow above a ragged snow line, with the side away from the sun in shadow.
    QPainterPath everything;
    everything.addRect(QRectF(-20, -20, sceneWidth + 40, sceneHeight + 40));
    const QPainterPath snowLine = ridge(random, {{-10, 96}, {40, 92}, {70, 74}, {96, 90}, {130, 76}, {199, 104}}, 0.14);
    const QPainterPath snow = peak.intersected(everything.subtracted(snowLine));
    painter.setBrush(QColor(246, 248, 255));
    painter.drawPath(snow);
    painter.save();
    painter.setClipPath(snow);
    painter.setBrush(QColor(168, 182, 218));
    painter.drawPolygon(QPolygonF({{96, 34}, {112, 70}, {118, 110}, {199, 110}, {199, 60}}));
    painter.restore();

    fillVertical(painter, QRectF(0, 150, sceneWidth, sceneHeight - 150),
                 {{0, QColor(98, 150, 80)}, {1, QColor(60, 120, 40)}});
    for (int row = 0; row < 4; ++row) {
        const double y = 150 + row * 9;
        const double height = 16 + row * 8;
        const QColor colour = mix(QColor(96, 124, 128), QColor(28, 70, 40), row / 3.0);
        for (double x = random.uniform(-6, 0); x < sceneWidth + 6; x += height * random.uniform(0.35, 0.6)) {
            const double scale = random.uniform(0.8, 1.2);
            drawPine(painter, QPointF(x, y + random.uniform(-3, 3)), height * scale, colour);
        }
    }
    QPainterPath meadow(QPointF(0, 196));
    meadow.cubicTo(QPointF(60, 186), QPointF(120, 200), QPointF(189, 188));
    meadow.lineTo(189, sceneHeight + 1);
    meadow.lineTo(0, sceneHeight + 1);
    meadow.closeSubpath();
    QLinearGradient grass(QPointF(0, 188), QPointF(0, sceneHeight));
    grass.setColorAt(0, QColor(128, 178, 70));
    grass.setColorAt(1, QColor(70, 132, 44));
    painter.setBrush(grass);
    painter.drawPath(meadow);
    const QColor flowers[] = {QColor(250, 224, 60), QColor(250, 250, 244), QColor(170, 100, 200), QColor(230, 70, 60)};
    for (int i = 0; i < 110; ++i) {
        const double y = random.uniform(200, sceneHeight);
        painter.setBrush(flowers[random.below(4)]);
        const double size = 0.8 + (y - 200) / 30;
        painter.drawEllipse(QPointF(random.uniform(0, sceneWidth), y), size, size * 0.8);
    }
    painter.end();
    BrushStyle style;
    style.length = 6;
    style.calmAngle = 10;
    return paintOver(scene, random, style);
}
