#include "PictureFile.h"

#include "platform/files/FileErrors.h"
#include "platform/files/TextFile.h"
#include "platform/pictures/MetafileHelper.h"
#include "platform/text/AsciiCase.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <string>

namespace kb::platform {
namespace {

std::string lowerExtension(std::string_view name)
{
    const auto dot = name.find_last_of('.');
    const auto separator = name.find_last_of("\\/");
    if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator))
        return {};
    return asciiLowered(name.substr(dot));
}

// Bitmaps are read by Qt's own reader. Left to look for one, Qt loads and
// asks every image plugin first, even when told the format, which cost each
// start a few milliseconds; icons are read by a plugin.
QImage decodeWithQt(std::string_view bytes, const char* format, bool readByQtItself, const char* invalidText)
{
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(!readByQtItself);
    QImage image;
    if (!reader.read(&image))
        throw EInvalidGraphic(invalidText);
    return image;
}

} // namespace

std::optional<PictureFormat> pictureFormatOf(std::string_view fileName)
{
    const std::string extension = lowerExtension(fileName);
    if (extension == ".bmp")
        return PictureFormat::Bitmap;
    if (extension == ".ico")
        return PictureFormat::Icon;
    if (extension == ".wmf")
        return PictureFormat::WindowsMetafile;
    if (extension == ".emf")
        return PictureFormat::EnhancedMetafile;
    return std::nullopt;
}

QImage decodePicture(std::string_view bytes, PictureFormat format, double ratio)
{
    QImage image;
    switch (format) {
    case PictureFormat::Bitmap: image = decodeWithQt(bytes, "BMP", true, "Bitmap image is not valid"); break;
    case PictureFormat::Icon: image = decodeWithQt(bytes, "ICO", false, "Icon image is not valid"); break;
    case PictureFormat::WindowsMetafile:
    case PictureFormat::EnhancedMetafile: return drawMetafileInHelper(bytes, format, ratio);
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage loadPictureFile(const FileName& name, double ratio)
{
    const std::optional<PictureFormat> format = pictureFormatOf(name.text());
    if (!format)
        throw EInvalidGraphic("Unknown picture file extension (" + lowerExtension(name.text()) + ")");

    // Only regular files of a sane size are read: a FIFO or a device named as
    // a picture is refused at once rather than waited on or read without end.
    std::string bytes;
    try {
        bytes = readFileBytes(name, maxPictureFileBytes);
    } catch (const EInOutError&) {
        throw EFOpenError(name.text());
    }
    return decodePicture(bytes, *format, ratio);
}

} // namespace kb::platform
