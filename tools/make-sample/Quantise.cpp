#include "Quantise.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <vector>

namespace {

using Rgb = std::array<int, 3>;

Rgb channels(QRgb colour)
{
    return {qRed(colour), qGreen(colour), qBlue(colour)};
}

std::vector<Rgb> pixelsOf(const QImage& picture)
{
    std::vector<Rgb> pixels;
    pixels.reserve(std::size_t(picture.width()) * std::size_t(picture.height()));
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            pixels.push_back(channels(line[x]));
    }
    return pixels;
}

QList<QRgb> distinctColours(const std::vector<Rgb>& pixels, int limit)
{
    std::map<Rgb, int> seen;
    for (const Rgb& pixel : pixels) {
        seen.emplace(pixel, 0);
        if (int(seen.size()) > limit)
            return {};
    }
    QList<QRgb> colours;
    for (const auto& entry : seen)
        colours.append(qRgb(entry.first[0], entry.first[1], entry.first[2]));
    return colours;
}

// One box of the median cut: a range of the pixel list.
struct Box {
    std::size_t begin;
    std::size_t end;
};

int widestChannel(const std::vector<Rgb>& pixels, const Box& box, int* spread)
{
    Rgb low{255, 255, 255}, high{0, 0, 0};
    for (std::size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], pixels[i][c]);
            high[c] = std::max(high[c], pixels[i][c]);
        }
    }
    int widest = 0;
    for (int c = 1; c < 3; ++c) {
        if (high[c] - low[c] > high[widest] - low[widest])
            widest = c;
    }
    *spread = high[widest] - low[widest];
    return widest;
}

QList<QRgb> medianCut(std::vector<Rgb> pixels, int colours)
{
    std::vector<Box> boxes{{0, pixels.size()}};
    while (int(boxes.size()) < colours) {
        // Split the box whose pixels differ most, weighted by how many it holds.
        std::size_t chosen = boxes.size();
        double bestScore = 0;
        int chosenChannel = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            int spread = 0;
            const int channel = widestChannel(pixels, boxes[i], &spread);
            const double score = double(spread) * double(boxes[i].end - boxes[i].begin);
            if (spread > 0 && score > bestScore) {
                bestScore = score;
                chosen = i;
                chosenChannel = channel;
            }
        }
        if (chosen == boxes.size())
            break;
        const Box box = boxes[chosen];
        const auto first = pixels.begin() + std::ptrdiff_t(box.begin);
        const auto last = pixels.begin() + std::ptrdiff_t(box.end);
        std::sort(first, last,
                  [chosenChannel](const Rgb& a, const Rgb& b) { return a[chosenChannel] < b[chosenChannel]; });
        const std::size_t middle = box.begin + (box.end - box.begin) / 2;
        boxes[chosen] = {box.begin, middle};
        boxes.push_back({middle, box.end});
    }
    QList<QRgb> palette;
    for (const Box& box : boxes) {
        std::array<long, 3> sum{0, 0, 0};
        for (std::size_t i = box.begin; i < box.end; ++i) {
            for (int c = 0; c < 3; ++c)
                sum[c] += pixels[i][c];
        }
        const long count = long(box.end - box.begin);
        palette.append(qRgb(int((sum[0] + count / 2) / count), int((sum[1] + count / 2) / count),
                            int((sum[2] + count / 2) / count)));
    }
    std::sort(palette.begin(), palette.end());
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
    return palette;
}

int nearest(const QList<QRgb>& palette, double r, double g, double b)
{
    int best = 0;
    double bestDistance = 1e30;
    for (int i = 0; i < palette.size(); ++i) {
        const double dr = r - qRed(palette[i]), dg = g - qGreen(palette[i]), db = b - qBlue(palette[i]);
        // Weighted as the eye weighs the channels.
        const double distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

QImage mapped(const QImage& picture, const QList<QRgb>& palette, bool dither)
{
    const int width = picture.width(), height = picture.height();
    QImage result(width, height, QImage::Format_Indexed8);
    result.setColorTable(palette);
    // Clears the padding at the end of each line too, which the bitmap file stores.
    std::memset(result.bits(), 0, std::size_t(result.sizeInBytes()));
    std::vector<std::array<double, 3>> error(std::size_t(width + 2) * 2, {0, 0, 0});
    const auto at = [&error, width](int row, int x) -> std::array<double, 3>& {
        return error[std::size_t(row % 2) * std::size_t(width + 2) + std::size_t(x + 1)];
    };
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        uchar* out = result.scanLine(y);
        for (int x = -1; x <= width; ++x)
            at(y + 1, x) = {0, 0, 0};
        for (int x = 0; x < width; ++x) {
            const Rgb source = channels(line[x]);
            std::array<double, 3> wanted;
            for (int c = 0; c < 3; ++c)
                wanted[c] = std::clamp(source[c] + (dither ? at(y, x)[c] : 0.0), 0.0, 255.0);
            const int index = nearest(palette, wanted[0], wanted[1], wanted[2]);
            out[x] = uchar(index);
            if (!dither)
                continue;
            const Rgb chosen = channels(palette[index]);
            for (int c = 0; c < 3; ++c) {
                // Only part of the error travels on, which keeps flat areas calm.
                const double rest = (wanted[c] - chosen[c]) * 0.8;
                at(y, x + 1)[c] += rest * 7 / 16;
                at(y + 1, x - 1)[c] += rest * 3 / 16;
                at(y + 1, x)[c] += rest * 5 / 16;
                at(y + 1, x + 1)[c] += rest * 1 / 16;
            }
        }
    }
    return result;
}

} // namespace

QImage toIndexed(const QImage& picture, int maxColours, bool dither)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const std::vector<Rgb> pixels = pixelsOf(rgb);
    const QList<QRgb> exact = distinctColours(pixels, maxColours);
    if (!exact.isEmpty())
        return mapped(rgb, exact, false);
    return mapped(rgb, medianCut(pixels, maxColours), dither);
}
