#pragma once

#include <string>
#include <string_view>

namespace kb::platform {

// Case folding of the DOS world: only the ASCII letters have a case, so a
// byte of another code page never changes, whatever the locale says.
char asciiLower(char c);
char asciiUpper(char c);
std::string asciiLowered(std::string_view text);
std::string asciiUppered(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace kb::platform
