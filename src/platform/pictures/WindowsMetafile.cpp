#include "WindowsMetafile.h"

#include "platform/files/FileErrors.h"
#include "platform/pictures/LittleEndian.h"
#include "platform/pictures/Metafile.h"
#include "platform/pictures/MetafileFonts.h"
#include "platform/pictures/WindowsMetafileRecords.h"
#include "platform/text/AsciiCase.h"

#include <libwmf/api.h>
#include <libwmf/font.h>
#include <libwmf/gd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <map>
#include <string>

namespace kb::platform {
namespace {

// No single block that the player asks for may pass this: a bitmap record
// declaring a huge image is refused instead of exhausting memory.
constexpr std::size_t largestAllocation = 256 * 1024 * 1024;

// Tells a file that asked for too much apart from a system that refused a
// sane amount: only the former is an invalid metafile.
struct Allocations {
    bool refusedBySystem = false;
};

void* boundedMalloc(void* context, std::size_t size)
{
    if (size > largestAllocation)
        return nullptr;
    void* memory = std::malloc(size);
    static_cast<Allocations*>(context)->refusedBySystem |= memory == nullptr;
    return memory;
}

void* boundedRealloc(void* context, void* memory, std::size_t size)
{
    if (size > largestAllocation)
        return nullptr;
    void* grown = std::realloc(memory, size);
    static_cast<Allocations*>(context)->refusedBySystem |= grown == nullptr;
    return grown;
}

void plainFree(void*, void* memory)
{
    std::free(memory);
}

[[noreturn]] void throwOutOfMemory()
{
    throw EInvalidGraphic(metafileOutOfMemory);
}

// The faces the player sets text in, made from the contents read when they
// were chosen: the player opens no font file (the sandboxed helper cannot),
// and each face is made once per player, on its first use.
class PlayerFaces {
public:
    explicit PlayerFaces(const std::vector<MetafileFace>& faces)
        : m_faces(faces)
    {
    }
    PlayerFaces(const PlayerFaces&) = delete;
    PlayerFaces& operator=(const PlayerFaces&) = delete;
    // Ending the library ends every face made with it.
    ~PlayerFaces()
    {
        if (m_library)
            FT_Done_FreeType(m_library);
    }

    // The face of one of the standard names, or the sans face for one the
    // system has no face for; null without any face at all.
    FT_Face face(const std::string& postScriptName)
    {
        if (FT_Face made = faceNamed(postScriptName))
            return made;
        return faceNamed("Helvetica");
    }

private:
    FT_Face faceNamed(const std::string& postScriptName)
    {
        if (const auto found = m_made.find(postScriptName); found != m_made.end())
            return found->second;
        FT_Face made = nullptr;
        for (const MetafileFace& face : m_faces) {
            if (face.postScriptName != postScriptName)
                continue;
            if (!m_library && FT_Init_FreeType(&m_library) != 0)
                m_library = nullptr;
            if (m_library
                && FT_New_Memory_Face(m_library, reinterpret_cast<const FT_Byte*>(face.contents.data()),
                                      FT_Long(face.contents.size()), 0, &made)
                    != 0)
                made = nullptr;
            break;
        }
        m_made.emplace(postScriptName, made);
        return made;
    }

    const std::vector<MetafileFace>& m_faces;
    FT_Library m_library = nullptr;
    std::map<std::string, FT_Face> m_made;
};

// The standard name a file's font is drawn with, by the words of its face
// name as Windows metafile players have always read them, and its style.
std::string standardName(const wmfFont& font)
{
    const std::string name = asciiLowered(font.lfFaceName ? font.lfFaceName : "");
    const auto has = [&name](const char* word) { return name.find(word) != std::string::npos; };
    if (has("symbol") || has("wingding"))
        return "Symbol";
    constexpr unsigned semiBold = 600;
    const bool bold = font.lfWeight >= semiBold;
    const bool italic = font.lfItalic != 0;
    if (has("times") || has("roman"))
        return bold ? (italic ? "Times-BoldItalic" : "Times-Bold") : (italic ? "Times-Italic" : "Times-Roman");
    const std::string family =
        has("courier") || has("mono") || has("fixed") || has("terminal") ? "Courier" : "Helvetica";
    if (bold)
        return family + (italic ? "-BoldOblique" : "-Bold");
    return italic ? family + "-Oblique" : family;
}

// Every font the player maps gets the face of its standard name, since it
// draws text with whatever face it got. Without any font at all the font
// stays without a face, and the text records are taken out of what it plays.
void mapToAFace(wmfAPI* api, wmfFont* font)
{
    auto* mapped = static_cast<wmfIPAFont*>(wmf_malloc(api, sizeof(wmfIPAFont)));
    if (!mapped)
        return;
    const std::string name = standardName(*font);
    mapped->ps_name = wmf_strdup(api, name.c_str());
    mapped->ft_face = static_cast<PlayerFaces*>(api->user_data)->face(name);
    font->user_data = mapped;
}

class WmfPlayer {
public:
    explicit WmfPlayer(const std::vector<MetafileFace>& faces)
        : m_faces(faces)
    {
        wmfAPI_Options options{};
        options.context = &m_allocations;
        options.function = wmf_gd_function;
        options.malloc = boundedMalloc;
        options.realloc = boundedRealloc;
        options.free = plainFree;
        unsigned long flags =
            WMF_OPT_ALLOC | WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&m_api, flags, &options) != wmf_E_None) {
            if (m_api)
                wmf_api_destroy(m_api);
            m_api = nullptr;
            if (m_allocations.refusedBySystem)
                throwOutOfMemory();
            throw EInvalidGraphic(metafilePlayerDidNotStart);
        }
        m_api->user_data = &m_faces;
        wmf_ipa_font_map_set(m_api, mapToAFace);
    }
    WmfPlayer(const WmfPlayer&) = delete;
    WmfPlayer& operator=(const WmfPlayer&) = delete;
    ~WmfPlayer() { wmf_api_destroy(m_api); }

    wmfAPI* operator->() const { return m_api; }
    wmfAPI* get() const { return m_api; }
    void check(wmf_error_t result) const
    {
        if (m_allocations.refusedBySystem)
            throwOutOfMemory();
        if (result != wmf_E_None || m_api->err != wmf_E_None)
            throwInvalidMetafile();
    }

private:
    Allocations m_allocations;
    // Outlives the player, whose fonts use its faces.
    PlayerFaces m_faces;
    wmfAPI* m_api = nullptr;
};

// Stops the player once a file has taken more records or time than any
// picture of ours would.
class Watchdog {
public:
    static int expired(void* context, float)
    {
        auto* self = static_cast<Watchdog*>(context);
        return ++self->m_records > MetafileLimits::maxRecords
            || std::chrono::steady_clock::now() - self->m_start > MetafileLimits::maxDrawingTime;
    }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    long m_records = 0;
};

// The raster device stamps a pen's whole square at every pixel of a line, so
// a hostile width would keep it busy for minutes. No picture needs a pen
// wider than this many pixels; wider ones are drawn this wide.
constexpr double maxPenPixels = 32;

void narrowPens(std::string& bytes, const std::vector<WindowsMetafilePen>& pens, double pixelsPerDevice)
{
    for (const WindowsMetafilePen& pen : pens) {
        const double limit = maxPenPixels / (pen.devicePerUnit * pixelsPerDevice);
        const auto widest = static_cast<std::uint16_t>(limit >= 1 ? std::min(std::floor(limit), 65535.0) : 0);
        // The pen's size: a width and a height the player may use as one.
        for (std::size_t at : {pen.widthAt, pen.widthAt + 2}) {
            const auto low = static_cast<std::uint8_t>(bytes[at]), high = static_cast<std::uint8_t>(bytes[at + 1]);
            if ((high << 8 | low) > widest) {
                bytes[at] = static_cast<char>(widest & 0xFF);
                bytes[at + 1] = static_cast<char>(widest >> 8);
            }
        }
    }
}

// The text renderer fails on a font thousands of times wider than it is
// high; no real face is even a few times so, so wider ones are narrowed.
constexpr int maxFontWidthPerHeight = 16;

void narrowFonts(std::string& bytes, const std::vector<std::size_t>& fontHeights)
{
    const auto signed16 = [&](std::size_t at) {
        return static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[at])
                                         | static_cast<std::uint8_t>(bytes[at + 1]) << 8);
    };
    for (std::size_t heightAt : fontHeights) {
        const int height = std::abs(int(signed16(heightAt)));
        const int width = signed16(heightAt + 2);
        const int widest = maxFontWidthPerHeight * std::max(height, 1);
        if (std::abs(width) > widest) {
            const auto narrowed = static_cast<std::uint16_t>(width < 0 ? -widest : widest);
            bytes[heightAt + 2] = static_cast<char>(narrowed & 0xFF);
            bytes[heightAt + 3] = static_cast<char>(narrowed >> 8);
        }
    }
}

// The raster device fills an ellipse as a chord from 0 to 360 degrees, and a
// chord as the triangle between the centre and the chord's two ends, here one
// and the same point: no ellipse would be filled. The player gets each one as
// a polygon of the same box instead, which it fills and outlines as it should.
constexpr int pointsPerEllipse = 128;
constexpr std::size_t ellipseRecordBytes = 14;
constexpr std::size_t polygonRecordBytes = 8 + 4 * pointsPerEllipse;
constexpr std::size_t ellipseGrowth = polygonRecordBytes - ellipseRecordBytes;
// Each polygon makes the copy half a kilobyte larger; ellipses beyond this
// many are played as they are.
constexpr std::size_t maxEllipsesAsPolygons = 65536;

void appendEllipseAsPolygon(std::string& copy, std::string_view ellipse)
{
    const auto edge = [&](std::size_t at) { return double(static_cast<std::int16_t>(readLittle(ellipse, at, 2))); };
    const double bottom = edge(6), right = edge(8), top = edge(10), left = edge(12);
    const double centreX = (left + right) / 2, centreY = (top + bottom) / 2;
    const double radiusX = (right - left) / 2, radiusY = (bottom - top) / 2;
    constexpr double pi = 3.14159265358979323846;
    appendLittle(copy, polygonRecordBytes / 2, 4);
    appendLittle(copy, 0x0324, 2);
    appendLittle(copy, pointsPerEllipse, 2);
    for (int point = 0; point < pointsPerEllipse; ++point) {
        const double angle = 2 * pi * point / pointsPerEllipse;
        appendLittle(copy, std::uint32_t(std::lround(centreX + radiusX * std::cos(angle))), 2);
        appendLittle(copy, std::uint32_t(std::lround(centreY + radiusY * std::sin(angle))), 2);
    }
}

// Before its first record the player is given the picture's own size as its
// viewport extent, as a program playing a metafile into a rectangle does. A
// file that scales its window without setting the viewport would otherwise be
// drawn into the player's square default and stretched onto the picture,
// its text most visibly.
constexpr std::size_t headerBytes = 18;
constexpr std::size_t viewportRecordBytes = 10;

void appendViewportExtent(std::string& copy, QSize extent)
{
    appendLittle(copy, viewportRecordBytes / 2, 4);
    appendLittle(copy, 0x020E, 2);
    appendLittle(copy, std::uint32_t(extent.height()), 2);
    appendLittle(copy, std::uint32_t(extent.width()), 2);
}

// The copy of bytes that the player reads: the viewport extent first, then
// the file's records with the ellipses as polygons. The outline's positions
// move to where their records lie in it.
std::string playableCopy(std::string_view bytes, WindowsMetafileOutline& outline, QSize viewportExtent)
{
    const std::size_t firstRecord = outline.headerAt + headerBytes;
    const std::size_t count = std::min(outline.ellipses.size(), maxEllipsesAsPolygons);
    std::string copy;
    copy.reserve(bytes.size() + viewportRecordBytes + count * ellipseGrowth);
    copy.append(bytes.substr(0, firstRecord));
    appendViewportExtent(copy, viewportExtent);
    std::size_t copied = firstRecord;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = outline.ellipses[i];
        copy.append(bytes.substr(copied, at - copied));
        appendEllipseAsPolygon(copy, bytes.substr(at, ellipseRecordBytes));
        copied = at + ellipseRecordBytes;
    }
    copy.append(bytes.substr(copied));

    // The header's size of the file and of its largest record, both in words:
    // the player refuses a record larger than the latter.
    const std::size_t header = outline.headerAt;
    const std::size_t growth = viewportRecordBytes + count * ellipseGrowth;
    writeLittle(copy, header + 6, readLittle(copy, header + 6, 4) + std::uint32_t(growth / 2), 4);
    const std::uint32_t largest = count ? polygonRecordBytes / 2 : viewportRecordBytes / 2;
    writeLittle(copy, header + 12, std::max(readLittle(copy, header + 12, 4), largest), 4);

    const auto moved = [&](std::size_t at) {
        const auto before =
            std::lower_bound(outline.ellipses.begin(), outline.ellipses.begin() + std::ptrdiff_t(count), at);
        return at + viewportRecordBytes + std::size_t(before - outline.ellipses.begin()) * ellipseGrowth;
    };
    for (WindowsMetafilePen& pen : outline.pens)
        pen.widthAt = moved(pen.widthAt);
    for (std::size_t& heightAt : outline.fontHeights)
        heightAt = moved(heightAt);
    for (std::size_t& textAt : outline.texts)
        textAt = moved(textAt);
    return copy;
}

// A picture stretched far more one way than the other gives the text
// renderer glyphs without pixels, on which it fails; no real picture is
// stretched so, and such a picture's text is left out.
constexpr double maxTextStretch = 16;

// Without faces, each text record becomes RealizePalette, which takes no
// parameters and draws nothing; its size stays, so the walk is unchanged.
constexpr std::uint16_t realizePalette = 0x0035;

void leaveOutText(std::string& bytes, const std::vector<std::size_t>& texts)
{
    for (std::size_t at : texts)
        writeLittle(bytes, at + 4, realizePalette, 2);
}

int appendTo(void* context, char* buffer, int length)
{
    static_cast<std::string*>(context)->append(buffer, std::size_t(length));
    return length;
}

} // namespace

QImage drawWindowsMetafile(std::string_view bytes)
{
    // The picture's size does not depend on the viewport; what the frame and
    // the pens come to in device units does.
    const QSize size = metafileDisplaySize(outlineWindowsMetafile(bytes).pixels.value_or(QSizeF()));
    WindowsMetafileOutline outline = outlineWindowsMetafile(bytes, size);
    const std::vector<MetafileFace>& faces = metafileFaces();
    WmfPlayer player(faces);
    Watchdog watchdog;
    wmf_status_function(player.get(), &watchdog, &Watchdog::expired);
    // The player reads the records from this copy, in which the pens are
    // narrowed once the scale of the picture is known.
    std::string playable = playableCopy(bytes, outline, size);
    narrowFonts(playable, outline.fontHeights);
    player.check(wmf_mem_open(player.get(), reinterpret_cast<unsigned char*>(playable.data()), long(playable.size())));
    wmfD_Rect box{};
    player.check(wmf_scan(player.get(), 0, &box));

    std::string png;
    wmf_gd_t* device = WMF_GD_GetData(player.get());
    device->type = wmf_gd_png;
    device->flags |= WMF_GD_OUTPUT_MEMORY | WMF_GD_OWN_BUFFER;
    device->sink.context = &png;
    device->sink.function = appendTo;
    device->width = unsigned(size.width());
    device->height = unsigned(size.height());
    // The frame fills the picture; only a file without one is fitted to
    // what it draws.
    if (outline.deviceFrame) {
        device->bbox.TL = {float(outline.deviceFrame->left()), float(outline.deviceFrame->top())};
        device->bbox.BR = {float(outline.deviceFrame->right()), float(outline.deviceFrame->bottom())};
    } else {
        device->bbox = box;
    }
    const double frameWidth = double(device->bbox.BR.x) - device->bbox.TL.x;
    const double frameHeight = double(device->bbox.BR.y) - device->bbox.TL.y;
    const bool framed = frameWidth > 0 && frameHeight > 0;
    const double acrossPerDevice = framed ? size.width() / frameWidth : 0;
    const double downPerDevice = framed ? size.height() / frameHeight : 0;
    narrowPens(playable, outline.pens,
               framed ? std::max(acrossPerDevice, downPerDevice) : std::numeric_limits<double>::infinity());
    const double stretch = framed ? std::max(acrossPerDevice / downPerDevice, downPerDevice / acrossPerDevice) : 1;
    if (faces.empty() || !(stretch <= maxTextStretch))
        leaveOutText(playable, outline.texts);
    player.check(wmf_play(player.get(), 0, &box));

    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(png.data()), int(png.size()), "PNG"))
        throwInvalidMetafile();
    return image;
}

} // namespace kb::platform
