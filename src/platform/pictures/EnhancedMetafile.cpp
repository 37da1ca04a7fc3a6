#include "EnhancedMetafile.h"

#include "platform/files/FileErrors.h"
#include "platform/pictures/LittleEndian.h"
#include "platform/pictures/Metafile.h"

#include <QByteArray>
#include <QPainter>
#include <QSvgRenderer>

#include <emf2svg.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

// libemf2svg ends each conversion with FcFini, which tears fontconfig down
// under its other users in the process (Qt's font database, the Windows
// metafile player's faces) and aborts on the references they still hold.
// Here fontconfig lives as long as the process: this definition takes the
// place of the library's in every program that plays metafiles.
extern "C" void FcFini() {}

namespace kb::platform {
namespace {

constexpr std::size_t headerSize = 88;
// Drawing the SVG cannot be interrupted, so its size bounds the time instead:
// a photo's SVG is a few hundred kilobytes.
constexpr std::size_t maxSvgBytes = 16 * 1024 * 1024;
constexpr std::uint32_t headerRecord = 1, endOfFileRecord = 14;
constexpr std::uint32_t signature = 0x464D4520; // " EMF"

// The width and height of the rectangle of four 32-bit edges at "at".
QSizeF extent(std::string_view bytes, std::size_t at)
{
    return {double(readSigned32(bytes, at + 8)) - readSigned32(bytes, at),
            double(readSigned32(bytes, at + 12)) - readSigned32(bytes, at + 4)};
}

// Walks the records before the converter sees them: each lies whole inside
// the file, their number is bounded, and the last is the end-of-file record.
void checkRecords(std::string_view bytes)
{
    if (bytes.size() < headerSize || readUnsigned32(bytes, 0) != headerRecord || readUnsigned32(bytes, 40) != signature
        || readUnsigned32(bytes, 4) < headerSize)
        throwInvalidMetafile();
    std::size_t at = 0;
    for (int records = 0; records < MetafileLimits::maxRecords; ++records) {
        if (bytes.size() - at < 8)
            throwInvalidMetafile();
        const std::uint32_t type = readUnsigned32(bytes, at);
        const std::uint32_t size = readUnsigned32(bytes, at + 4);
        if (size < 8 || size % 4 != 0 || size > bytes.size() - at)
            throwInvalidMetafile();
        if (type == endOfFileRecord)
            return;
        at += size;
    }
    throwInvalidMetafile();
}

// The frame is in hundredths of a millimetre; files that leave it empty
// still have their bounds in device pixels.
QSizeF declaredPixels(std::string_view bytes)
{
    const QSizeF frame = extent(bytes, 24);
    if (frame.width() > 0 && frame.height() > 0)
        return frame * (96.0 / 2540.0);
    return extent(bytes, 8) + QSizeF(1, 1);
}

} // namespace

QImage drawEnhancedMetafile(std::string_view bytes)
{
    checkRecords(bytes);
    const QSize size = metafileDisplaySize(declaredPixels(bytes));

    generatorOptions options{};
    char noNamespace[] = "";
    options.nameSpace = noNamespace;
    options.svgDelimiter = true;
    options.imgWidth = size.width();
    options.imgHeight = size.height();

    // The converter takes its input as writable; give it a copy of its own.
    std::string input(bytes);
    char* svg = nullptr;
    std::size_t svgLength = 0;
    const int converted = emf2svg(input.data(), input.size(), &svg, &svgLength, &options);
    const std::unique_ptr<char, decltype(&std::free)> svgOwner(svg, &std::free);
    if (!converted || !svg || svgLength > maxSvgBytes)
        throwInvalidMetafile();

    QSvgRenderer renderer(QByteArray::fromRawData(svg, qsizetype(svgLength)));
    if (!renderer.isValid())
        throwInvalidMetafile();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

} // namespace kb::platform
