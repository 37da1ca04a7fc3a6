#pragma once

#include "platform/pictures/FontSubstitutions.h"

#include <QFont>
#include <QString>

#include <thread>

class QWidget;

namespace kb::platform {

enum class FontStyle { Regular = 0, Bold = 1, Italic = 2, BoldItalic = 3 };

// Loads fontconfig's configuration and font caches on a thread of its own
// for as long as it lives: the program's first text would otherwise wait for
// them, and they can load while Qt connects to the display.
class FontConfigurationLoad {
public:
    FontConfigurationLoad();
    ~FontConfigurationLoad();
    FontConfigurationLoad(const FontConfigurationLoad&) = delete;
    FontConfigurationLoad& operator=(const FontConfigurationLoad&) = delete;

private:
    std::thread m_loading;
};

// A font of the layouts: a family and a character height in pixels.
QFont layoutFont(const QString& family, int pixelHeight, FontStyle style = FontStyle::Regular);

// Gives a window the default font of its layout, its text black whatever
// the desktop's colours.
void setWindowFont(QWidget& window, const QFont& font);

} // namespace kb::platform
