#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace kb::platform {

// The program's text is bytes without a code page: each byte is shown as the
// character of the same code point, so every byte survives a load and a save.
QString textFromBytes(std::string_view bytes);

// A character beyond Latin-1 can only come from a paste or a file dialog; it
// becomes '?', as the desktop's code-page conversion does.
std::string bytesFromText(QStringView text);

// The raw text of a text document, whose line breaks are paragraph and line
// separators, as bytes with every line break written as lineBreak.
std::string bytesFromDocumentText(QStringView text, std::string_view lineBreak);

} // namespace kb::platform
