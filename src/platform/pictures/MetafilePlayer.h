#pragma once

#include "platform/pictures/PictureFile.h"

#include <QImage>

#include <string_view>

namespace kb::platform {

// Plays a metafile with the picture libraries in this very process: the work
// of the sandboxed helper, and what the fuzzers exercise. The program itself
// goes through drawMetafileInHelper. The picture has ratio physical pixels
// to a pixel. Raises EInvalidGraphic as the helper's
// caller sees it.
QImage playMetafile(std::string_view bytes, PictureFormat format, double ratio = 1);

} // namespace kb::platform
