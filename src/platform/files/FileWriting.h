#pragma once

#include "platform/files/FileDescriptor.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kb::platform {

// The steps the safe writer and its journal share. Each raises EInOutError
// with the DOS text for errorPath, and writes through fileSystemCalls(), so
// that tests can fail any of them.

// The directory and the last component of a path.
std::string directoryOf(const std::string& path);
std::string baseNameOf(const std::string& path);

// Eight random letters and digits, for names nobody else picks.
std::string randomSuffix();

void writeAll(int fd, std::string_view bytes, const std::string& errorPath);
// Copies the rest of from into to; returns the number of bytes copied.
std::size_t copyAll(int from, int to, const std::string& errorPath);
void syncOrThrow(int fd, const std::string& errorPath);
// A close can report a write that failed late (on a network file system).
void closeOrThrow(FileDescriptor& fd, const std::string& errorPath);
void syncDirectory(const std::string& directory, const std::string& errorPath);
// Makes path and every missing directory above it, private to the user.
void makeDirectories(const std::string& path, const std::string& errorPath);

} // namespace kb::platform
