#pragma once

#include <string>

namespace kb::platform {

// The value of an environment variable; empty when it is not set.
std::string environmentValue(const char* name);

// The value of an environment variable, or fallback when it is not set or
// empty.
std::string environmentOr(const char* name, const std::string& fallback);

// The user's home directory: HOME when it is an absolute path, else the
// password entry's; empty when neither gives one.
std::string homeDirectory();

// One of the user's XDG base directories: the variable when it holds an
// absolute path, else relativeDefault under the home directory; empty when
// there is no home directory either.
std::string xdgHomeDirectory(const char* variable, const char* relativeDefault);

// Whether path is a regular file that this user may execute.
bool isExecutableFile(const std::string& path);

} // namespace kb::platform
