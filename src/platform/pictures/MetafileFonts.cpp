#include "MetafileFonts.h"

#include "platform/files/FileErrors.h"
#include "platform/files/FileName.h"
#include "platform/files/TextFile.h"

#include <fontconfig/fontconfig.h>

#include <filesystem>
#include <memory>
#include <mutex>

namespace kb::platform {
namespace {

// The thirteen names the player falls back on for any face a file asks for.
struct StandardFace {
    const char* postScriptName;
    const char* family;
    int weight;
    int slant;
};

constexpr StandardFace standardFaces[] = {
    {"Times-Roman", "Liberation Serif", FC_WEIGHT_REGULAR, FC_SLANT_ROMAN},
    {"Times-Italic", "Liberation Serif", FC_WEIGHT_REGULAR, FC_SLANT_ITALIC},
    {"Times-Bold", "Liberation Serif", FC_WEIGHT_BOLD, FC_SLANT_ROMAN},
    {"Times-BoldItalic", "Liberation Serif", FC_WEIGHT_BOLD, FC_SLANT_ITALIC},
    {"Helvetica", "Liberation Sans", FC_WEIGHT_REGULAR, FC_SLANT_ROMAN},
    {"Helvetica-Oblique", "Liberation Sans", FC_WEIGHT_REGULAR, FC_SLANT_ITALIC},
    {"Helvetica-Bold", "Liberation Sans", FC_WEIGHT_BOLD, FC_SLANT_ROMAN},
    {"Helvetica-BoldOblique", "Liberation Sans", FC_WEIGHT_BOLD, FC_SLANT_ITALIC},
    {"Courier", "Liberation Mono", FC_WEIGHT_REGULAR, FC_SLANT_ROMAN},
    {"Courier-Oblique", "Liberation Mono", FC_WEIGHT_REGULAR, FC_SLANT_ITALIC},
    {"Courier-Bold", "Liberation Mono", FC_WEIGHT_BOLD, FC_SLANT_ROMAN},
    {"Courier-BoldOblique", "Liberation Mono", FC_WEIGHT_BOLD, FC_SLANT_ITALIC},
    {"Symbol", "Liberation Sans", FC_WEIGHT_REGULAR, FC_SLANT_ROMAN},
};

struct ConfigDeleter {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Config = std::unique_ptr<FcConfig, ConfigDeleter>;
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

// The system's configuration and fonts, or only those of one directory. A
// configuration of our own leaves the one Qt uses untouched.
Config loadConfig(const std::optional<std::string>& directory)
{
    if (!directory)
        return Config(FcInitLoadConfigAndFonts());
    Config config(FcConfigCreate());
    if (config)
        FcConfigAppFontAddDir(config.get(), reinterpret_cast<const FcChar8*>(directory->c_str()));
    return config;
}

std::optional<std::filesystem::path> bestFile(FcConfig* config, const StandardFace& face)
{
    Pattern pattern(FcPatternCreate());
    if (!pattern)
        return std::nullopt;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(face.family));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, face.weight);
    FcPatternAddInteger(pattern.get(), FC_SLANT, face.slant);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(config, pattern.get(), &result));
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch)
        return std::nullopt;
    // A cache may still name a font that was removed since.
    std::error_code error;
    const std::filesystem::path path(reinterpret_cast<const char*>(file));
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    return path;
}

// No face file comes near this; a larger one is not a font to read whole.
constexpr std::size_t maxFaceBytes = 32 * 1024 * 1024;

std::vector<MetafileFace> chooseFaces(const std::optional<std::string>& directory)
{
    std::vector<MetafileFace> faces;
    const Config config = loadConfig(directory);
    if (!config)
        return faces;
    for (const StandardFace& face : standardFaces) {
        const std::optional<std::filesystem::path> file = bestFile(config.get(), face);
        if (!file)
            continue;
        try {
            faces.push_back({face.postScriptName, readFileBytes(FileName::native(file->string()), maxFaceBytes)});
        } catch (const EInOutError&) {
            // An unreadable face is no face.
        }
    }
    return faces;
}

std::mutex facesMutex;
std::optional<std::vector<MetafileFace>> chosenFaces;

} // namespace

const std::vector<MetafileFace>& metafileFaces()
{
    const std::lock_guard lock(facesMutex);
    if (!chosenFaces)
        chosenFaces = chooseFaces(std::nullopt);
    return *chosenFaces;
}

void chooseMetafileFacesForTesting(const std::optional<std::string>& directory)
{
    const std::lock_guard lock(facesMutex);
    chosenFaces = chooseFaces(directory);
}

} // namespace kb::platform
