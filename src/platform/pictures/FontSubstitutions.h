#pragma once

namespace kb::platform {

// Maps the Windows faces the layouts and metafiles name to the
// metric-compatible Liberation faces. Called once at start-up, by the program
// and by its metafile helper, so that a picture's text is set as the
// windows' is.
void installFontSubstitutions();

} // namespace kb::platform
