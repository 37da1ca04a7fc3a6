#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kb::platform {

// A face for one of the Windows metafile player's standard PostScript names:
// the contents of its file, read when the face is chosen, so that the player
// opens no file while it plays (in the sandboxed helper it could not).
struct MetafileFace {
    std::string postScriptName;
    std::string contents;
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
