#pragma once

#include <stdexcept>
#include <string>

namespace kb::platform {

// The error a text-file operation raises; its message is what the user reads
// in the error box ("File not found", "I/O error 5", ...).
class EInOutError : public std::runtime_error {
public:
    explicit EInOutError(const std::string& message)
        : std::runtime_error(message)
    {
    }
};

// Translates errno after a failed operation on nativePath into the DOS
// product's wording. ENOENT is told apart by whether the directory that
// should hold the file exists.
std::string fileErrorText(int errorNumber, const std::string& nativePath);

[[noreturn]] void throwFileError(int errorNumber, const std::string& nativePath);

} // namespace kb::platform

namespace kb::platform {

// "Cannot open file %s": a picture or a text that could not be opened.
class EFOpenError : public std::runtime_error {
public:
    explicit EFOpenError(const std::string& fileName)
        : std::runtime_error("Cannot open file " + fileName)
    {
    }
};

// "Cannot create file %s": a file that could not be written.
class EFCreateError : public std::runtime_error {
public:
    explicit EFCreateError(const std::string& fileName)
        : std::runtime_error("Cannot create file " + fileName)
    {
    }
};

// A file that opened but does not hold a valid picture of its kind.
class EInvalidGraphic : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace kb::platform
