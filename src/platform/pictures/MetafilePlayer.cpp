#include "MetafilePlayer.h"

#include "platform/pictures/EnhancedMetafile.h"
#include "platform/pictures/Metafile.h"
#include "platform/pictures/WindowsMetafile.h"

namespace kb::platform {

QImage playMetafile(std::string_view bytes, PictureFormat format, double ratio)
{
    QImage image;
    switch (format) {
    case PictureFormat::WindowsMetafile: image = drawWindowsMetafile(bytes, metafileRatio(ratio)); break;
    case PictureFormat::EnhancedMetafile: image = drawEnhancedMetafile(bytes, metafileRatio(ratio)); break;
    case PictureFormat::Bitmap:
    case PictureFormat::Icon: throwInvalidMetafile();
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace kb::platform
