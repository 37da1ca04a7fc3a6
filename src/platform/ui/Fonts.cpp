#include "Fonts.h"

#include <QFontDatabase>
#include <QHash>
#include <QPalette>
#include <QWidget>

#include <fontconfig/fontconfig.h>

namespace kb::platform {

namespace {

// A face that is not installed is asked for by the name of its installed
// stand-in: Qt would otherwise look for the missing face, then sort every
// font as fallbacks for it and again for the stand-in, for each face and
// style the windows use. Asked once a face.
QString installedFamily(const QString& family)
{
    static QHash<QString, QString> installed;
    auto known = installed.constFind(family);
    if (known == installed.constEnd()) {
        const QString substitute = QFont::substitute(family);
        const bool standIn = !QFontDatabase::hasFamily(family) && QFontDatabase::hasFamily(substitute);
        known = installed.insert(family, standIn ? substitute : family);
    }
    return *known;
}

} // namespace

FontConfigurationLoad::FontConfigurationLoad()
    : m_loading([] { FcInit(); })
{
}

FontConfigurationLoad::~FontConfigurationLoad()
{
    m_loading.join();
}

QFont layoutFont(const QString& family, int pixelHeight, FontStyle style)
{
    QFont font(installedFamily(family));
    font.setPixelSize(pixelHeight);
    font.setBold(style == FontStyle::Bold || style == FontStyle::BoldItalic);
    font.setItalic(style == FontStyle::Italic || style == FontStyle::BoldItalic);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void setWindowFont(QWidget& window, const QFont& font)
{
    window.setFont(font);
    QPalette blackText = window.palette();
    blackText.setColor(QPalette::WindowText, Qt::black);
    window.setPalette(blackText);
}

} // namespace kb::platform
