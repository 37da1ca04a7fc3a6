#pragma once

#include "platform/pictures/PictureFile.h"

#include <QImage>

#include <string>
#include <string_view>

namespace kb::platform {

// Draws a metafile in the program's helper process, which plays it with the
// picture libraries under a memory and processor limit and a system-call
// filter that allows no file, network or process, and which is killed when
// it takes longer than two seconds. A crash, hang or exploit in a library
// then costs only that picture: it raises EInvalidGraphic "Metafile is not
// valid" like a damaged file. One helper serves picture after picture and is
// started anew after a failure.
// The picture has ratio physical pixels to a pixel.
QImage drawMetafileInHelper(std::string_view bytes, PictureFormat format, double ratio = 1);

// Starts the helper, if it is not running, and returns at once: it makes
// itself ready (fonts, the sandbox) while the caller goes on, so that the
// first picture does not wait for it. A helper that cannot start is tried
// again with the first picture.
void startMetafileHelper();

// The helper is looked for beside the running program, then in the libexec
// directory of its installation. Programs built elsewhere in the tree (tests, tools,
// benchmarks) name the one built with them; a helper already running is
// ended, so that the next picture goes to the one named.
void useMetafileHelper(const std::string& path);

} // namespace kb::platform
