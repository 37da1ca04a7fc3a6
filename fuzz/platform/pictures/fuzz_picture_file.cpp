// Feeds arbitrary bytes to the metafile players, in this process, as a
// Windows metafile and as an enhanced metafile: either a picture within the
// size limits comes out or the player says the metafile is not valid. The
// program plays them in its sandboxed helper; the fuzzer plays them here, so
// that what it finds is the players' own fault and replays.
#include "platform/files/FileErrors.h"
#include "platform/pictures/Metafile.h"
#include "platform/pictures/MetafilePlayer.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

void decode(std::string_view bytes, kb::platform::PictureFormat format)
{
    try {
        const QImage picture = kb::platform::playMetafile(bytes, format);
        if (picture.isNull() || picture.width() > kb::platform::MetafileLimits::maxSide
            || picture.height() > kb::platform::MetafileLimits::maxSide)
            std::abort();
    } catch (const kb::platform::EInvalidGraphic&) {
    }
}

} // namespace

// Qt's font database hands fontconfig patterns to caches that live as long as
// the process; they are not leaks of the decoders.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Text in enhanced metafiles needs the font database of a GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static std::unique_ptr<QGuiApplication> application = std::make_unique<QGuiApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    decode(bytes, kb::platform::PictureFormat::WindowsMetafile);
    decode(bytes, kb::platform::PictureFormat::EnhancedMetafile);
    return 0;
}
