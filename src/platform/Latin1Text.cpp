#include "Latin1Text.h"

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

} // namespace kb::platform
