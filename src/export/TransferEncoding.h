#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kb::exporter {

// The encodings that cards put their values in: base64 (RFC 4648, vCard
// 3.0's ENCODING=b and 2.1's BASE64) and quoted-printable (RFC 2045, which
// vCard 2.1 and phones use), and the character sets that 2.1 names.

std::string base64Encoded(std::string_view bytes);

// The bytes of base64 text, white space ignored; nothing where the text is
// not base64.
std::optional<std::string> base64Decoded(std::string_view text);

// The bytes of quoted-printable text whose soft line breaks are already
// taken out; nothing where an "=" is not followed by two hex digits.
std::optional<std::string> quotedPrintableDecoded(std::string_view text);

// The bytes in charset as UTF-8: UTF-8 and US-ASCII as they are (when they
// are valid), ISO-8859-1 and Windows-1252 converted; nothing for bytes that
// are not valid in it or for another charset.
std::optional<std::string> utf8FromCharset(std::string_view charset, std::string_view bytes);

bool isValidUtf8(std::string_view text);

} // namespace kb::exporter
