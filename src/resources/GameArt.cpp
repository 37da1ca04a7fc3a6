#include "GameArt.h"

#include "resources/Artwork.h"
#include "resources/ArtworkIcon.h"
#include "resources/Palette16.h"

namespace kb::resources {

QIcon okGlyph()
{
    static const Artwork glyph = pixelArt(fromPixelMap(
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
        {{'g', vga::green.rgb()}}));
    return artworkIcon(glyph);
}

QIcon cancelGlyph()
{
    static const Artwork glyph = pixelArt(fromPixelMap(
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
        {{'r', vga::red.rgb()}}));
    return artworkIcon(glyph);
}

} // namespace kb::resources
