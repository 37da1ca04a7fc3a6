#pragma once

#include "resources/Artwork.h"

#include <QIcon>

namespace kb::resources {

// An icon that draws its picture at the ratio of the screen it is shown on;
// disabled is the picture of a disabled control.
QIcon artworkIcon(const Artwork& normal, const Artwork& disabled);
QIcon artworkIcon(const Artwork& normal);

} // namespace kb::resources
