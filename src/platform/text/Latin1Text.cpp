#include "Latin1Text.h"

#include <algorithm>

namespace kb::platform {

QString textFromBytes(std::string_view bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string bytesFromText(QStringView text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text)
        bytes += c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '?';
    return bytes;
}

std::string bytesFromDocumentText(QStringView text, std::string_view lineBreak)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()) + static_cast<std::size_t>(text.size()) / 32);
    const auto isLineBreak = [](QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; };
    auto lineStart = text.cbegin();
    for (;;) {
        const auto lineEnd = std::find_if(lineStart, text.cend(), isLineBreak);
        bytes += bytesFromText(QStringView(lineStart, lineEnd));
        if (lineEnd == text.cend())
            return bytes;
        bytes += lineBreak;
        lineStart = lineEnd + 1;
    }
}

} // namespace kb::platform
