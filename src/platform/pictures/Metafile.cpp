#include "Metafile.h"

#include "platform/files/FileErrors.h"

#include <algorithm>
#include <cmath>

namespace kb::platform {

void throwInvalidMetafile()
{
    throw EInvalidGraphic("Metafile is not valid");
}

double metafileRatio(double asked)
{
    constexpr double smallest = 1, largest = 4;
    return asked >= smallest && asked <= largest ? asked : asked > largest ? largest : smallest;
}

QSize metafileDisplaySize(QSizeF pixels)
{
    if (!(pixels.width() > 0) || !(pixels.height() > 0))
        return {MetafileLimits::defaultSide, MetafileLimits::defaultSide};
    const double largest = std::max(pixels.width(), pixels.height());
    if (largest > MetafileLimits::maxSide)
        pixels *= MetafileLimits::maxSide / largest;
    return {std::max(1, int(std::lround(pixels.width()))), std::max(1, int(std::lround(pixels.height())))};
}

} // namespace kb::platform
