#include "PictureFile.h"

#include "FileDescriptor.h"
#include "FileErrors.h"
#include "Metafile.h"

#include <QByteArray>

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kb::platform {
namespace {

std::string lowerExtension(std::string_view name)
{
    const auto dot = name.find_last_of('.');
    const auto separator = name.find_last_of("\\/");
    if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator))
        return {};
    std::string extension(name.substr(dot));
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return extension;
}

QImage decodeWithQt(std::string_view bytes, const char* format, const char* invalidText)
{
    QImage image;
    const QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!image.loadFromData(data, format))
        throw EInvalidGraphic(invalidText);
    return image;
}

// Reads a regular file of at most maxPictureFileBytes. It is opened without
// blocking, so a FIFO or a device named as a picture is refused at once
// rather than waited on or read without end. Returns false when it cannot.
bool readPictureBytes(const std::string& nativePath, std::string& bytes)
{
    FileDescriptor fd(::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)
        || static_cast<unsigned long long>(info.st_size) > maxPictureFileBytes)
        return false;

    // One byte more than allowed tells a file that grew since fstat.
    bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > maxPictureFileBytes)
                return false;
            bytes.resize(std::min(bytes.size() * 2, maxPictureFileBytes + 1));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return true;
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

QImage decodePicture(std::string_view bytes, PictureFormat format)
{
    QImage image;
    switch (format) {
    case PictureFormat::Bitmap:
        image = decodeWithQt(bytes, "BMP", "Bitmap image is not valid");
        break;
    case PictureFormat::Icon:
        image = decodeWithQt(bytes, "ICO", "Icon image is not valid");
        break;
    case PictureFormat::WindowsMetafile:
        image = drawWindowsMetafile(bytes);
        break;
    case PictureFormat::EnhancedMetafile:
        image = drawEnhancedMetafile(bytes);
        break;
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage loadPictureFile(const FileName& name)
{
    const std::optional<PictureFormat> format = pictureFormatOf(name.text());
    if (!format)
        throw EInvalidGraphic("Unknown picture file extension (" + lowerExtension(name.text()) + ")");

    std::string nativePath;
    try {
        nativePath = name.nativePath();
    } catch (const EInOutError&) {
        throw EFOpenError(name.text());
    }
    std::string bytes;
    if (!readPictureBytes(nativePath, bytes))
        throw EFOpenError(name.text());
    return decodePicture(bytes, *format);
}

} // namespace kb::platform
