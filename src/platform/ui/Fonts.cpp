#include "Fonts.h"

#include <QPalette>
#include <QWidget>

namespace kb::platform {

QFont layoutFont(const QString& family, int pixelHeight, FontStyle style)
{
    QFont font(family);
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
