#pragma once

#include "resources/Artwork.h"

namespace kb::resources {

// 250 x 200: the information window's picture. A tan plate with
// a black tab at the top centre holding a white letter i in a circle and the
// word "information", and a framed black-and-white photograph in the middle.
// The lower part is left plain for the captions laid over it.
Artwork aboutPicture();

} // namespace kb::resources
