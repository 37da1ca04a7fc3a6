#include "GameArt.h"

#include "resources/Artwork.h"
#include "resources/ArtworkIcon.h"
#include "resources/Palette16.h"

namespace kb::resources {

constexpr QSize glyphSize(16, 16);

QIcon okGlyph()
{
    static const Artwork glyph(glyphSize, [](qreal ratio) {
        return pixelArtAt(fromPixelMap(
                              {
                                  "................",
                                  "................",
                                  "................",
                                  "............gg..",
                                  "...........ggg..",
                                  "..........ggg...",
                                  "..g......ggg....",
                                  "..gg....ggg.....",
                                  "..ggg..ggg......",
                                  "...gggggg.......",
                                  "....gggg........",
                                  ".....gg.........",
                                  "................",
                                  "................",
                                  "................",
                                  "................",
                              },
                              {{'g', vga::green.rgb()}}),
                          ratio);
    });
    return artworkIcon(glyph);
}

QIcon cancelGlyph()
{
    static const Artwork glyph(glyphSize, [](qreal ratio) {
        return pixelArtAt(fromPixelMap(
                              {
                                  "................",
                                  "................",
                                  "................",
                                  "...rr......rr...",
                                  "...rrr....rrr...",
                                  "....rrr..rrr....",
                                  ".....rrrrrr.....",
                                  "......rrrr......",
                                  "......rrrr......",
                                  ".....rrrrrr.....",
                                  "....rrr..rrr....",
                                  "...rrr....rrr...",
                                  "...rr......rr...",
                                  "................",
                                  "................",
                                  "................",
                              },
                              {{'r', vga::red.rgb()}}),
                          ratio);
    });
    return artworkIcon(glyph);
}

} // namespace kb::resources
