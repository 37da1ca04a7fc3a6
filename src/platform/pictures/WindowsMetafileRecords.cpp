#include "WindowsMetafileRecords.h"

#include "platform/pictures/LittleEndian.h"
#include "platform/pictures/Metafile.h"

#include <QPointF>
#include <QRectF>

#include <cstdlib>

namespace kb::platform {
namespace {

constexpr std::uint32_t placeableKey = 0x9AC6CDD7;
constexpr std::size_t placeableHeaderBytes = 22;
constexpr std::size_t headerBytes = 18;
constexpr std::size_t recordHeaderBytes = 6;

enum Function : std::uint16_t {
    endOfFile = 0x0000,
    textOut = 0x0521,
    extTextOut = 0x0A32,
    ellipse = 0x0418,
    setWindowExt = 0x020C,
    dibCreatePatternBrush = 0x0142,
    dibBitBlt = 0x0940,
    dibStretchBlt = 0x0B41,
    setDibToDev = 0x0D33,
    stretchDib = 0x0F43,
};

bool draws(std::uint16_t function)
{
    switch (function) {
    case 0x0213: // LineTo
    case 0x0324: // Polygon
    case 0x0325: // Polyline
    case 0x0538: // PolyPolygon
    case 0x041B: // Rectangle
    case 0x061C: // RoundRect
    case ellipse:
    case 0x0817: // Arc
    case 0x081A: // Pie
    case 0x0830: // Chord
    case textOut:
    case extTextOut:
    case 0x041F: // SetPixel
    case 0x0419: // FloodFill
    case 0x0548: // ExtFloodFill
    case 0x061D: // PatBlt
    case 0x0228: // FillRegion
    case 0x0429: // FrameRegion
    case 0x012B: // PaintRegion
    case dibBitBlt:
    case dibStretchBlt:
    case setDibToDev:
    case stretchDib: return true;
    default: return false;
    }
}

// Where a bitmap record keeps its bitmap, counted from the record's start,
// and whether its colour table holds palette indices rather than colours.
struct EmbeddedBitmap {
    std::size_t offset;
    bool paletteIndices;
};

std::optional<EmbeddedBitmap> embeddedBitmap(std::string_view record, std::uint16_t function)
{
    constexpr std::uint16_t paletteColours = 1;
    const auto usage = [&](std::size_t at) { return readLittle(record, at, 2) == paletteColours; };
    switch (function) {
    case dibBitBlt:
        // Twelve words: a raster operation without a bitmap.
        if (record.size() == 24)
            return std::nullopt;
        return EmbeddedBitmap{22, false};
    case dibStretchBlt: return EmbeddedBitmap{26, false};
    case stretchDib: return EmbeddedBitmap{28, record.size() >= 12 && usage(10)};
    case setDibToDev: return EmbeddedBitmap{24, record.size() >= 8 && usage(6)};
    case dibCreatePatternBrush: return EmbeddedBitmap{10, record.size() >= 10 && usage(8)};
    default: return std::nullopt;
    }
}

// The number of pixels of the device-independent bitmap that dib starts
// with, once it is clear that its rows lie within dib and that it is no
// larger than the limit.
std::uint64_t bitmapPixels(std::string_view dib, bool paletteIndices)
{
    if (dib.size() < 12)
        throwInvalidMetafile();
    const std::uint32_t infoBytes = readLittle(dib, 0, 4);
    std::int64_t width = 0, height = 0;
    std::uint32_t bitCount = 0, compression = 0, coloursUsed = 0;
    std::uint64_t entryBytes = 4;
    if (infoBytes == 12) {
        width = readLittle(dib, 4, 2);
        height = readLittle(dib, 6, 2);
        bitCount = readLittle(dib, 10, 2);
        entryBytes = 3;
    } else if (infoBytes >= 40 && infoBytes <= dib.size()) {
        width = static_cast<std::int32_t>(readLittle(dib, 4, 4));
        height = std::abs(std::int64_t(static_cast<std::int32_t>(readLittle(dib, 8, 4))));
        bitCount = readLittle(dib, 14, 2);
        compression = readLittle(dib, 16, 4);
        coloursUsed = readLittle(dib, 32, 4);
    } else {
        throwInvalidMetafile();
    }
    if (paletteIndices)
        entryBytes = 2;
    if (width <= 0 || height <= 0)
        throwInvalidMetafile();
    const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);
    if (pixels > maxMetafileBitmapPixels)
        throwInvalidMetafile();

    std::uint64_t colours = coloursUsed;
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
        if (colours == 0)
            colours = 1u << bitCount;
        if (colours > 1u << bitCount)
            throwInvalidMetafile();
        break;
    case 16:
    case 24:
    case 32: break;
    default: throwInvalidMetafile();
    }
    constexpr std::uint32_t rgb = 0, rle8 = 1, rle4 = 2, bitFields = 3;
    std::uint64_t tableBytes = infoBytes + colours * entryBytes;
    if (compression == bitFields && infoBytes == 40)
        tableBytes += 12;
    if (tableBytes > dib.size())
        throwInvalidMetafile();

    const std::uint64_t rowBytes = (std::uint64_t(width) * bitCount + 31) / 32 * 4;
    switch (compression) {
    case rgb:
    case bitFields:
        if (rowBytes * std::uint64_t(height) > dib.size() - tableBytes)
            throwInvalidMetafile();
        break;
    case rle8:
    case rle4:
        // Run-length rows have no fixed length; the pixel limit bounds them.
        if (bitCount != (compression == rle8 ? 8u : 4u))
            throwInvalidMetafile();
        break;
    default: throwInvalidMetafile();
    }
    return pixels;
}

} // namespace

WindowsMetafileOutline outlineWindowsMetafile(std::string_view bytes)
{
    const bool placeable = bytes.size() >= placeableHeaderBytes && readLittle(bytes, 0, 4) == placeableKey;
    const std::size_t start = placeable ? placeableHeaderBytes : 0;
    if (bytes.size() < start + headerBytes || readLittle(bytes, start + 2, 2) != headerBytes / 2)
        throwInvalidMetafile();
    // The player allocates what the header promises before it reads a record.
    if (std::uint64_t(readLittle(bytes, start + 12, 4)) * 2 > bytes.size() - start)
        throwInvalidMetafile();

    double unitsPerInch = 0;
    QRectF placeableBox;
    if (placeable) {
        unitsPerInch = readLittle(bytes, 14, 2);
        if (unitsPerInch == 0)
            throwInvalidMetafile();
        placeableBox = QRectF(QPointF(readSigned16(bytes, 6), readSigned16(bytes, 8)),
                              QPointF(readSigned16(bytes, 10), readSigned16(bytes, 12)));
    }

    WindowsMetafileOutline outline;
    outline.headerAt = start;
    // The window extent in force when the first record draws, else the last.
    std::optional<QSizeF> windowExtent, drawingExtent;
    bool drawn = false;
    std::uint64_t brushPixels = 0;
    for (std::size_t at = start + headerBytes; bytes.size() - at >= recordHeaderBytes;) {
        const std::uint64_t recordBytes = std::uint64_t(readLittle(bytes, at, 4)) * 2;
        const auto function = static_cast<std::uint16_t>(readLittle(bytes, at + 4, 2));
        // The player stops only at a bare end record; so does the walk, lest
        // it miss a record that the player would play.
        if (recordBytes < recordHeaderBytes || recordBytes > bytes.size() - at
            || (recordBytes == recordHeaderBytes && function == endOfFile))
            break;
        const std::string_view record = bytes.substr(at, std::size_t(recordBytes));
        if (const std::optional<EmbeddedBitmap> bitmap = embeddedBitmap(record, function)) {
            if (bitmap->offset > record.size())
                throwInvalidMetafile();
            const std::uint64_t pixels = bitmapPixels(record.substr(bitmap->offset), bitmap->paletteIndices);
            // Pattern brushes stay in memory until the picture is drawn.
            if (function == dibCreatePatternBrush && (brushPixels += pixels) > maxMetafileBitmapPixels)
                throwInvalidMetafile();
        }
        if (draws(function) && !drawn) {
            drawn = true;
            drawingExtent = windowExtent;
        }
        if (function == setWindowExt && record.size() >= recordHeaderBytes + 2)
            windowExtent = record.size() >= recordHeaderBytes + 4
                ? QSizeF(readSigned16(record, 8), readSigned16(record, 6))
                : QSizeF(0, 0);
        at += std::size_t(recordBytes);
    }
    const std::optional<QSizeF> frameExtent = drawn ? drawingExtent : windowExtent;

    if (placeable) {
        outline.pixels = placeableBox.normalized().size() * (96.0 / unitsPerInch);
    } else if (frameExtent) {
        // Without a placeable header the window is the frame; read in twips,
        // the usual unit of such files, it gives a sensible size.
        outline.pixels = QSizeF(std::abs(frameExtent->width()), std::abs(frameExtent->height())) * (96.0 / 1440.0);
    }
    return outline;
}

} // namespace kb::platform
