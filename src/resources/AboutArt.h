#pragma once

#include <QImage>

namespace kb::resources {

// 250 x 200, 256 colours: the information window's picture. A tan plate with
// a black tab at the top centre holding a white letter i in a circle and the
// word "information", and a framed black-and-white photograph in the middle.
// The lower part is left plain for the captions laid over it.
QImage aboutPicture();

} // namespace kb::resources
