#pragma once

#include "platform/files/FileName.h"

#include <QImage>

#include <cstddef>
#include <optional>
#include <string_view>

namespace kb::platform {

enum class PictureFormat { Bitmap, Icon, WindowsMetafile, EnhancedMetafile };

// Files beyond this size are refused before a byte is read: no picture the
// program shows comes near it, and reading one whole would only cost memory.
constexpr std::size_t maxPictureFileBytes = 64 * 1024 * 1024;

// The format that a file's extension names, without regard to case.
std::optional<PictureFormat> pictureFormatOf(std::string_view fileName);

// Decodes a picture held in memory: bitmaps and icons here, with Qt's
// readers, metafiles in the sandboxed helper (MetafileHelper.h). Raises
// EInvalidGraphic when the bytes are not a valid picture of that format.
// Metafiles are drawn at the device pixel ratio given; bitmaps are as stored.
QImage decodePicture(std::string_view bytes, PictureFormat format, double ratio = 1);

// Decodes a picture file by its extension (.bmp, .ico, .wmf, .emf). The
// extension is checked before anything is read, and only a regular file of
// at most maxPictureFileBytes is read. Raises EFOpenError "Cannot open file
// <name>" when the file cannot be opened, EInvalidGraphic when it is not a
// valid picture of its kind.
QImage loadPictureFile(const FileName& name, double ratio = 1);

} // namespace kb::platform
