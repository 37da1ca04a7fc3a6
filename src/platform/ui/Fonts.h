#pragma once

#include "platform/pictures/FontSubstitutions.h"

#include <QFont>
#include <QString>

class QWidget;

namespace kb::platform {

enum class FontStyle { Regular = 0, Bold = 1, Italic = 2, BoldItalic = 3 };

// A font of the layouts: a family and a character height in pixels.
QFont layoutFont(const QString& family, int pixelHeight, FontStyle style = FontStyle::Regular);

// Gives a window the default font of its layout, its text black whatever
// the desktop's colours.
void setWindowFont(QWidget& window, const QFont& font);

} // namespace kb::platform
