#include "TransferEncoding.h"

#include "platform/text/AsciiCase.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kb::exporter {

namespace {

constexpr char base64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void appendUtf8(std::string& text, char32_t codePoint)
{
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// What Windows-1252 has at 0x80 to 0x9F where ISO-8859-1 has control
// characters; 0 where it has nothing.
constexpr std::array<char16_t, 32> windows1252High = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The length of the UTF-8 sequence at text[i], or 0 where it is not one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned int lowest = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, lowest = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, lowest = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, lowest = 0x10000;
    else
        return 0;
    if (i + length > text.size())
        return 0;
    unsigned int codePoint = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < lowest || codePoint > 0x10FFFF || surrogate ? 0 : length;
}

} // namespace

std::string base64Encoded(std::string_view bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        unsigned int group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = (group << 8) | (k < count ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            text += k <= count ? base64Digits[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
    return text;
}

std::optional<std::string> base64Decoded(std::string_view text)
{
    std::string bytes;
    unsigned int group = 0;
    int bits = 0;
    bool padded = false;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        if (c == '=') {
            padded = true;
            continue;
        }
        const char* digit = c == '\0' ? nullptr : std::strchr(base64Digits, c);
        if (!digit || padded)
            return std::nullopt;
        group = (group << 6) | static_cast<unsigned int>(digit - base64Digits);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((group >> bits) & 0xFF);
        }
    }
    // Leftover bits beyond a byte are only padding: six of them are a broken group.
    if (bits >= 6)
        return std::nullopt;
    return bytes;
}

std::optional<std::string> quotedPrintableDecoded(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            bytes += text[i];
            continue;
        }
        if (i + 1 == text.size())
            break; // a soft line break at the very end
        const int high = hexValue(text[i + 1]);
        const int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return bytes;
}

std::optional<std::string> utf8FromCharset(std::string_view charset, std::string_view bytes)
{
    const std::string name = platform::asciiUppered(charset);
    if (name == "UTF-8" || name == "UTF8" || name == "US-ASCII" || name == "ASCII") {
        if (!isValidUtf8(bytes))
            return std::nullopt;
        return std::string(bytes);
    }
    const bool windows1252 = name == "WINDOWS-1252" || name == "CP1252";
    if (!windows1252 && name != "ISO-8859-1" && name != "ISO8859-1" && name != "LATIN1")
        return std::nullopt;
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        char32_t codePoint = byte;
        if (windows1252 && byte >= 0x80 && byte < 0xA0) {
            codePoint = windows1252High[byte - 0x80];
            if (codePoint == 0)
                return std::nullopt;
        }
        appendUtf8(text, codePoint);
    }
    return text;
}

bool isValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8SequenceLength(text, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

} // namespace kb::exporter
