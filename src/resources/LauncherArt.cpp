#include "LauncherArt.h"

#include "resources/Palette16.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kb::resources {

namespace {

// A repeatable hash of a pixel position: the artwork's only source of noise,
// so every run draws the same pixels.
quint32 pixelHash(int x, int y, quint32 seed)
{
    quint32 h = quint32(x) * 0x8da6b343u ^ quint32(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

// Noise that changes smoothly between the lattice points, in 0..1.
double smoothNoise(double x, double y, quint32 seed)
{
    const int left = int(std::floor(x)), top = int(std::floor(y));
    const double fx = x - left, fy = y - top;
    const auto lattice = [seed](int lx, int ly) { return (pixelHash(lx, ly, seed) % 1024) / 1023.0; };
    const auto ease = [](double t) { return t * t * (3 - 2 * t); };
    const double upper = lattice(left, top) + (lattice(left + 1, top) - lattice(left, top)) * ease(fx);
    const double lower = lattice(left, top + 1) + (lattice(left + 1, top + 1) - lattice(left, top + 1)) * ease(fx);
    return upper + (lower - upper) * ease(fy);
}

int clampChannel(double value)
{
    return std::clamp(int(std::lround(value)), 0, 255);
}

QRgb grey(int level)
{
    const int v = std::clamp(level, 0, 255);
    return qRgb(v, v, v);
}

// Averages a colour function of device-independent positions over 4 x 4
// points of the device pixel (x, y), so round shapes get clean edges of one
// device pixel instead of stair steps or blur.
template <typename ColourAt>
QRgb sampled(int x, int y, qreal ratio, ColourAt colourAt)
{
    double r = 0, g = 0, b = 0;
    for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
            const QRgb c = colourAt((x + (sx + 0.5) / 4.0) / ratio, (y + (sy + 0.5) / 4.0) / ratio);
            r += qRed(c);
            g += qGreen(c);
            b += qBlue(c);
        }
    }
    return qRgb(clampChannel(r / 16), clampChannel(g / 16), clampChannel(b / 16));
}

// The range of distances from (centreX, centreY) that the points of device
// pixel (x, y) lie at, so that a pixel wholly on one side of a round edge
// need not be sampled.
struct DistanceRange {
    double nearest;
    double farthest;
};

DistanceRange distancesOf(int x, int y, qreal ratio, double centreX, double centreY)
{
    const double distance = std::hypot((x + 0.5) / ratio - centreX, (y + 0.5) / ratio - centreY);
    const double halfDiagonal = std::sqrt(0.5) / ratio;
    return {distance - halfDiagonal, distance + halfDiagonal};
}

// Raised edge of two device-independent pixels: light along the top and
// left, dark along the bottom and right.
void drawBevel(QImage& image, QRgb outerLight, QRgb innerLight, QRgb innerDark, QRgb outerDark)
{
    const qreal ratio = image.devicePixelRatio();
    const int one = deviceEdge(1, ratio), two = deviceEdge(2, ratio);
    const int width = image.width(), height = image.height();
    // Device pixels [left, right) x [top, bottom); later bands cover earlier ones.
    const auto band = [&image](int left, int top, int right, int bottom, QRgb colour) {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x)
                image.setPixel(x, y, colour);
        }
    };
    band(one, one, width - one, two, innerLight);
    band(one, height - two, width - one, height - one, innerDark);
    band(one, one, two, height - one, innerLight);
    band(width - two, one, width - one, height - one, innerDark);
    band(0, 0, width, one, outerLight);
    band(0, height - one, width, height, outerDark);
    band(0, 0, one, height, outerLight);
    band(width - one, 0, width, height, outerDark);
    // Where light meets dark, the dark edge runs to the top, the light one to the bottom.
    band(width - one, 0, width, one, outerDark);
    band(0, height - one, one, height, outerLight);
}

// Brushed dark metal, a little lighter at the top, at device pixel (x, y):
// the streaks are a device-independent pixel high, the grain one device pixel.
QRgb brushedMetal(int x, int y, qreal ratio, int height)
{
    const int row = int(y / ratio);
    const int shade = 54 - int(std::floor((y / ratio) * 24 / (height - 1)));
    const int streak = int(pixelHash(int(x / ratio) / 23, row, 7) % 5) - 2;
    const int grain = (pixelHash(x, y, 11) % 9 == 0) ? 3 : 0;
    return grey(shade + streak + grain);
}

// The stud at the left end of the bar: a dome sitting in a round socket,
// lit from the top left like the bevels.
constexpr QSize plateSize(114, 35);

constexpr double studCentreX = 33.5, studCentreY = 24.5;
constexpr double socketRadius = 11.0;

QRgb studColour(double x, double y, QRgb background)
{
    constexpr double domeRadius = 8.5;
    const double dx = x - studCentreX, dy = y - studCentreY;
    const double distance = std::hypot(dx, dy);
    if (distance > socketRadius)
        return background;
    const double towardsLight = -(dx + dy) / (std::sqrt(2.0) * std::max(distance, 1e-6));
    if (distance > domeRadius)
        return grey(int(42 - 26 * towardsLight));
    const double nx = dx / domeRadius, ny = dy / domeRadius;
    const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
    const double light = std::max(0.0, (-nx - ny + 1.6 * nz) / std::sqrt(1 + 1 + 1.6 * 1.6));
    const double highlight = std::pow(light, 24.0);
    return qRgb(clampChannel(16 + 40 * light + 150 * highlight), clampChannel(40 + 80 * light + 120 * highlight),
                clampChannel(44 + 84 * light + 120 * highlight));
}

// A lowercase bitmap face for the word on the Information plate: bold
// two-pixel stems, an x-height of eight and ascenders of eleven rows.
struct Glyph {
    char letter;
    const char* rows[11];
};

constexpr Glyph plateGlyphs[] = {
    {'i', {"##", "##", "..", "##", "##", "##", "##", "##", "##", "##", "##"}},
    {'n',
     {"......", "......", "......", "##.##.", "######", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##"}},
    {'f', {"..###", ".##..", ".##..", "####.", ".##..", ".##..", ".##..", ".##..", ".##..", ".##..", ".##.."}},
    {'o',
     {"......", "......", "......", ".####.", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", ".####."}},
    {'r', {".....", ".....", ".....", "##.##", "#####", "###..", "##...", "##...", "##...", "##...", "##..."}},
    {'m',
     {"..........", "..........", "..........", "##.##.##..", "#########.", "##..##..##", "##..##..##", "##..##..##",
      "##..##..##", "##..##..##", "##..##..##"}},
    {'a',
     {"......", "......", "......", ".####.", "....##", "....##", ".#####", "##..##", "##..##", "##..##", ".#####"}},
    {'t', {"....", ".##.", ".##.", "####", ".##.", ".##.", ".##.", ".##.", ".##.", ".##.", "..##"}},
};

const Glyph& glyphFor(char letter)
{
    return *std::find_if(std::begin(plateGlyphs), std::end(plateGlyphs),
                         [letter](const Glyph& glyph) { return glyph.letter == letter; });
}

// Draws text in the plate face with its top-left corner at (x, y) of a map.
void drawPlateText(QImage& image, int x, int y, const char* text, QRgb colour)
{
    for (const char* letter = text; *letter != '\0'; ++letter) {
        const Glyph& glyph = glyphFor(*letter);
        const int width = int(std::strlen(glyph.rows[0]));
        for (int row = 0; row < 11; ++row) {
            for (int column = 0; column < width; ++column) {
                if (glyph.rows[row][column] == '#')
                    image.setPixel(x + column, y + row, colour);
            }
        }
        x += width + 1;
    }
}

QImage continueArrowImage(bool enabled)
{
    const auto rows = {
        "................", ".........#......", ".........##.....", ".........#r#....",
        ".........#rr#...", ".#########rrr#..", ".#hhhhhhhhhhhh#.", ".#rrrrrrrrrrrrr#",
        ".#rrrrrrrrrrrrr#", ".#rrrrrrrrrrrr#.", ".#########rrr#..", ".........#rr#...",
        ".........#r#....", ".........##.....", ".........#......", "................",
    };
    if (enabled)
        return fromPixelMap(rows, {{'#', vga::maroon.rgb()}, {'r', vga::red.rgb()}, {'h', qRgb(255, 112, 112)}});

    // The disabled look of the time: the outline etched into the button face,
    // grey with a white copy one pixel down and right.
    const QImage outline = fromPixelMap(rows, {{'#', vga::grey.rgb()}});
    const QImage etch = fromPixelMap(rows, {{'#', vga::white.rgb()}});
    QImage image(outline.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.drawImage(1, 1, etch);
        painter.drawImage(0, 0, outline);
    }
    return image;
}

// The organiser's inks: teal cover with a light and a dark edge, silver rings.
const std::initializer_list<Ink> organiserInks = {
    {'k', qRgb(0, 0, 0)},       {'t', qRgb(0, 128, 128)},   {'a', qRgb(64, 192, 192)},  {'d', qRgb(0, 80, 80)},
    {'s', qRgb(192, 192, 192)}, {'g', qRgb(128, 128, 128)}, {'w', qRgb(255, 255, 255)},
};

// A ring-bound organiser in teal with a kestrel in flight on its cover.
QImage smallIcon()
{
    return fromPixelMap(
        {
            "................",
            "...kkkkkkkkkkk..",
            "...kaaaaaaaadkw.",
            ".sskatttttttdkw.",
            "...katttttttdkw.",
            "...katwwtwwtdkw.",
            ".sskawttwttwdkw.",
            "...katttttttdkw.",
            "...katttttttdkw.",
            ".sskatttttttdkw.",
            "...katttttttdkw.",
            "...katttttttdkw.",
            ".sskdddddddddkw.",
            "...kkkkkkkkkkkw.",
            "....wwwwwwwwwwg.",
            "................",
        },
        organiserInks);
}

QImage largeIcon()
{
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    const auto fill = [&painter](int left, int top, int right, int bottom, QRgb colour) {
        painter.fillRect(QRect(QPoint(left, top), QPoint(right, bottom)), QColor(colour));
    };
    // Pages showing below and to the right of the cover.
    fill(9, 5, 29, 29, qRgb(128, 128, 128));
    fill(9, 5, 28, 28, qRgb(255, 255, 255));
    fill(10, 27, 27, 27, qRgb(192, 192, 192));
    fill(27, 6, 27, 26, qRgb(192, 192, 192));
    // The cover.
    fill(6, 2, 26, 26, qRgb(0, 0, 0));
    fill(7, 3, 25, 25, qRgb(0, 80, 80));
    fill(7, 3, 24, 24, qRgb(64, 192, 192));
    fill(8, 4, 24, 24, qRgb(0, 128, 128));
    // A name label with two written lines.
    fill(13, 16, 23, 22, qRgb(0, 0, 0));
    fill(14, 17, 22, 21, qRgb(255, 255, 255));
    fill(15, 18, 21, 18, qRgb(128, 128, 128));
    fill(15, 20, 19, 20, qRgb(128, 128, 128));
    // Four rings through the spine.
    // Four rings, each from a punched hole round the cover's left edge.
    for (int top : {5, 10, 15, 20}) {
        fill(10, top + 1, 10, top + 1, qRgb(0, 0, 0));
        fill(4, top, 9, top, qRgb(255, 255, 255));
        fill(3, top + 1, 3, top + 1, qRgb(192, 192, 192));
        fill(4, top + 2, 5, top + 2, qRgb(128, 128, 128));
    }
    painter.drawImage(10, 8,
                      fromPixelMap(
                          {
                              "..www...www..",
                              ".ww..w.w..ww.",
                              "ww....w....ww",
                              "w...........w",
                          },
                          organiserInks));
    return icon;
}

} // namespace

Artwork launcherButtonBar()
{
    static const Artwork bar(QSize(223, 50), [](qreal ratio) {
        constexpr int height = 50;
        QImage picture = canvasAt(QSize(223, height), ratio, QImage::Format_RGB32);
        // Written by scan line: the bar is drawn while the launcher starts.
        for (int y = 0; y < picture.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                line[x] = brushedMetal(x, y, ratio, height);
        }
        for (int y = deviceEdge(10, ratio); y < deviceEdge(40, ratio); ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = deviceEdge(19, ratio); x < deviceEdge(48, ratio); ++x) {
                if (distancesOf(x, y, ratio, studCentreX, studCentreY).nearest > socketRadius)
                    continue;
                const QRgb metal = line[x];
                line[x] = sampled(x, y, ratio, [metal](double px, double py) { return studColour(px, py, metal); });
            }
        }
        drawBevel(picture, grey(150), grey(100), grey(24), grey(6));
        return picture;
    });
    return bar;
}

Artwork speckledTexture()
{
    static const Artwork texture(QSize(223, 50), [](qreal ratio) {
        // Five of the VGA colours, in a picture a painter can draw and copy
        // without converting it first.
        const QRgb black = vga::black.rgb(), navy = vga::navy.rgb(), teal = vga::teal.rgb(), silver = vga::silver.rgb(),
                   grey = vga::grey.rgb();
        QImage picture = canvasAt(QSize(223, 50), ratio, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                // Grey speckles of one device pixel thicken and thin in soft
                // patches, like stone.
                const int patch = int(std::lround(smoothNoise(x / ratio / 7.0, y / ratio / 5.0, 3) * 160));
                const int roll = int(pixelHash(x, y, 5) % 1000);
                if (roll < 12)
                    line[x] = silver;
                else if (roll < 20)
                    line[x] = teal;
                else if (roll < 26)
                    line[x] = navy;
                else if (roll < 150 + patch)
                    line[x] = grey;
                else
                    line[x] = black;
            }
        }
        return picture;
    });
    return texture;
}

Artwork informationPlate()
{
    static const Artwork plate(plateSize, [](qreal ratio) {
        QImage picture = canvasAt(plateSize, ratio, QImage::Format_RGB32);
        picture.fill(vga::black);
        constexpr double centreX = 17.5, centreY = 17.5;
        constexpr double outerRadius = 14.5, innerRadius = 12.5;
        for (int y = deviceEdge(2, ratio); y < deviceEdge(33, ratio); ++y) {
            for (int x = deviceEdge(2, ratio); x < deviceEdge(33, ratio); ++x) {
                const DistanceRange range = distancesOf(x, y, ratio, centreX, centreY);
                if (range.farthest < innerRadius || range.nearest > outerRadius)
                    continue;
                if (range.nearest >= innerRadius && range.farthest <= outerRadius) {
                    picture.setPixel(x, y, vga::white.rgb());
                    continue;
                }
                picture.setPixel(x, y, sampled(x, y, ratio, [&](double px, double py) {
                                     const double distance = std::hypot(px - centreX, py - centreY);
                                     return (distance <= outerRadius && distance >= innerRadius) ? vga::white.rgb()
                                                                                                 : vga::black.rgb();
                                 }));
            }
        }
        // The letters are a bitmap face: drawn as a map, then at the ratio.
        QImage letters(plateSize, QImage::Format_ARGB32);
        letters.fill(Qt::transparent);
        {
            QPainter painter(&letters);
            painter.drawImage(15, 10,
                              fromPixelMap(
                                  {
                                      ".###.",
                                      ".###.",
                                      ".###.",
                                      ".....",
                                      ".....",
                                      "####.",
                                      ".###.",
                                      ".###.",
                                      ".###.",
                                      ".###.",
                                      ".###.",
                                      ".###.",
                                      ".###.",
                                      ".###.",
                                      "#####",
                                  },
                                  {{'#', vga::white.rgb()}}));
        }
        drawPlateText(letters, 40, 12, "information", vga::white.rgb());
        QPainter(&picture).drawImage(0, 0, pixelArtAt(letters, ratio));
        drawBevel(picture, grey(112), vga::black.rgb(), vga::black.rgb(), grey(48));
        return picture;
    });
    return plate;
}

Artwork clockFace()
{
    static const Artwork face = pixelArt(fromPixelMap(
        {
            "....kkkkkkk....",
            "..kkwwwgwwwkk..",
            ".kwwwwwwwwwwwk.",
            ".kwwwwwkwwwwwk.",
            "kwwwwwwkwwwwwwk",
            "kwwwwwwkwwwwwwk",
            "kgwwwwwrkkkwwgk",
            "kwwwwwwwwwwwwwk",
            "kwwwwwwwwwwwwwk",
            ".kwwwwwwwwwwwk.",
            ".kwwwwwwwwwwwk.",
            "..kkwwwgwwwkk..",
            "....kkkkkkk....",
        },
        {{'k', vga::black.rgb()}, {'w', vga::white.rgb()}, {'g', vga::grey.rgb()}, {'r', vga::red.rgb()}}));
    return face;
}

Artwork continueArrow(bool enabled)
{
    static const Artwork normal = pixelArt(continueArrowImage(true));
    static const Artwork disabled = pixelArt(continueArrowImage(false));
    return enabled ? normal : disabled;
}

QImage applicationIconImage(int size)
{
    if (size == 16)
        return smallIcon();
    if (size == 32)
        return largeIcon();
    const QImage source = size % 16 == 0 && size % 32 != 0 ? smallIcon() : largeIcon();
    // Scaling by a whole factor without smoothing repeats every pixel.
    return source.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QByteArray applicationIconSvg()
{
    const QImage icon = largeIcon();
    QByteArray svg =
        QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" viewBox=\"0 0 32 32\""
                          " shape-rendering=\"crispEdges\">\n");
    for (int y = 0; y < icon.height(); ++y) {
        // One rectangle for each run of pixels of one colour in the row.
        for (int x = 0; x < icon.width();) {
            const QRgb colour = icon.pixel(x, y);
            int run = 1;
            while (x + run < icon.width() && icon.pixel(x + run, y) == colour)
                ++run;
            if (qAlpha(colour) != 0) {
                svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"1\" fill=\"%4\"")
                           .arg(x)
                           .arg(y)
                           .arg(run)
                           .arg(QColor(colour).name())
                           .toLatin1();
                if (qAlpha(colour) != 255)
                    svg += QByteArray(" fill-opacity=\"") + QByteArray::number(qAlpha(colour) / 255.0, 'f', 3) + '"';
                svg += "/>\n";
            }
            x += run;
        }
    }
    svg += "</svg>\n";
    return svg;
}

QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : applicationIconSizes)
        icon.addPixmap(QPixmap::fromImage(applicationIconImage(size)));
    return icon;
}

} // namespace kb::resources
