#pragma once

#include "platform/pictures/PictureFile.h"

#include <QImage>

#include <string_view>

namespace kb::platform {

using MetafileDecoder = QImage (*)(std::string_view bytes, PictureFormat format, double ratio);

// The metafile helper's whole life: loads the fonts, enters the sandbox, then
// answers the program's requests on its socket with decode until the program
// closes it. The decoder is playMetafile; tests give a hostile one.
int runMetafileHelper(int argc, char** argv, MetafileDecoder decode);

} // namespace kb::platform
