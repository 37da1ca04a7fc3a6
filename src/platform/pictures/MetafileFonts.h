#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kb::platform {

// A face for one of the Windows metafile player's standard PostScript names:
// the file that holds it, as a directory and a name within it.
struct MetafileFace {
    std::string postScriptName;
    std::string directory;
    std::string fileName;
};

// The faces the player draws text with, chosen once from the fonts the system
// has (the Liberation faces first, as the metric twins of the faces metafiles
// name). Empty when the system has no font at all: the player then leaves the
// text out and still draws the shapes.
const std::vector<MetafileFace>& metafileFaces();

// Tests only: from now on, choose the faces from the fonts of this one
// directory, as a system whose fonts are there and no others would; or, with
// none, from the system's fonts again.
void chooseMetafileFacesForTesting(const std::optional<std::string>& directory);

} // namespace kb::platform
