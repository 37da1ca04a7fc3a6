#include "FileErrors.h"
#include "Metafile.h"

#include <libwmf/api.h>
#include <libwmf/gd.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace kb::platform {
namespace {

[[noreturn]] void invalidMetafile()
{
    throw EInvalidGraphic("Metafile is not valid");
}

// No single block that the player asks for may pass this: a bitmap record
// declaring a huge image is refused instead of exhausting memory.
constexpr std::size_t largestAllocation = 256 * 1024 * 1024;

void* boundedMalloc(void*, std::size_t size)
{
    return size > largestAllocation ? nullptr : std::malloc(size);
}

void* boundedRealloc(void*, void* memory, std::size_t size)
{
    return size > largestAllocation ? nullptr : std::realloc(memory, size);
}

void plainFree(void*, void* memory)
{
    std::free(memory);
}

class WmfPlayer {
public:
    WmfPlayer()
    {
        wmfAPI_Options options{};
        options.function = wmf_gd_function;
        options.malloc = boundedMalloc;
        options.realloc = boundedRealloc;
        options.free = plainFree;
        const unsigned long flags = WMF_OPT_ALLOC | WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&m_api, flags, &options) != wmf_E_None) {
            if (m_api)
                wmf_api_destroy(m_api);
            m_api = nullptr;
            invalidMetafile();
        }
    }
    WmfPlayer(const WmfPlayer&) = delete;
    WmfPlayer& operator=(const WmfPlayer&) = delete;
    ~WmfPlayer() { wmf_api_destroy(m_api); }

    wmfAPI* operator->() const { return m_api; }
    wmfAPI* get() const { return m_api; }
    void check(wmf_error_t result) const
    {
        if (result != wmf_E_None || m_api->err != wmf_E_None)
            invalidMetafile();
    }

private:
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

std::uint32_t little(std::string_view bytes, std::size_t at, int width)
{
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + std::size_t(i)]);
    return value;
}

// The size that the placeable header gives: its bounding box in units of
// which "inch" make an inch.
std::optional<QSizeF> placeableSize(std::string_view bytes)
{
    if (bytes.size() < 22 || little(bytes, 0, 4) != 0x9AC6CDD7)
        return std::nullopt;
    const auto coordinate = [&](std::size_t at) { return static_cast<std::int16_t>(little(bytes, at, 2)); };
    const double unitsPerInch = little(bytes, 14, 2);
    if (unitsPerInch == 0)
        invalidMetafile();
    return QSizeF(std::abs(coordinate(10) - coordinate(6)), std::abs(coordinate(12) - coordinate(8))) * 96.0
        / unitsPerInch;
}

// A metafile without that header has no size of its own. Its window extent
// is the nearest thing: read in twips (1440 an inch), the usual unit of such
// files, it gives a sensible size and the right shape.
std::optional<QSizeF> windowExtentSize(std::string_view bytes)
{
    constexpr std::size_t headerBytes = 18;
    constexpr std::uint32_t setWindowExtent = 0x020C;
    for (std::size_t at = headerBytes; at < bytes.size() && bytes.size() - at >= 6;) {
        const std::size_t recordBytes = std::size_t(little(bytes, at, 4)) * 2;
        if (recordBytes < 6 || recordBytes > bytes.size() - at)
            break;
        if (little(bytes, at + 4, 2) == setWindowExtent && recordBytes >= 10) {
            const auto extent = [&](std::size_t offset) {
                return std::abs(static_cast<std::int16_t>(little(bytes, at + offset, 2)));
            };
            return QSizeF(extent(8), extent(6)) * 96.0 / 1440.0;
        }
        at += recordBytes;
    }
    return std::nullopt;
}

// libwmf allocates what the header promises before it reads a record; a
// header promising more than the file holds is refused first.
void checkHeader(std::string_view bytes)
{
    constexpr std::size_t headerBytes = 18;
    const std::size_t at = placeableSize(bytes) ? 22 : 0;
    if (bytes.size() < at + headerBytes || little(bytes, at + 2, 2) != 9)
        invalidMetafile();
    const std::uint64_t largestRecordBytes = std::uint64_t(little(bytes, at + 12, 4)) * 2;
    if (largestRecordBytes > bytes.size() - at)
        invalidMetafile();
}

int appendTo(void* context, char* buffer, int length)
{
    static_cast<std::string*>(context)->append(buffer, std::size_t(length));
    return length;
}

} // namespace

QImage drawWindowsMetafile(std::string_view bytes)
{
    checkHeader(bytes);
    WmfPlayer player;
    Watchdog watchdog;
    wmf_status_function(player.get(), &watchdog, &Watchdog::expired);
    // The player only reads the bytes it is given.
    player.check(wmf_mem_open(player.get(), reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data())),
                              long(bytes.size())));
    wmfD_Rect box{};
    player.check(wmf_scan(player.get(), 0, &box));

    std::optional<QSizeF> declared = placeableSize(bytes);
    if (!declared)
        declared = windowExtentSize(bytes);
    const QSize size = metafileDisplaySize(declared.value_or(QSizeF()));

    std::string png;
    wmf_gd_t* device = WMF_GD_GetData(player.get());
    device->type = wmf_gd_png;
    device->flags |= WMF_GD_OUTPUT_MEMORY | WMF_GD_OWN_BUFFER;
    device->sink.context = &png;
    device->sink.function = appendTo;
    device->width = unsigned(size.width());
    device->height = unsigned(size.height());
    device->bbox = box;
    player.check(wmf_play(player.get(), 0, &box));

    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(png.data()), int(png.size()), "PNG"))
        invalidMetafile();
    return image;
}

} // namespace kb::platform
