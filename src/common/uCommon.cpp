#include "uCommon.h"

#include "TextFile.h"

namespace {
constexpr std::size_t keyLength = 13; // "DataFileName="
}

std::string ReadDataFileName(std::string_view fileName)
{
    kb::platform::TextFileReader reader(fileName);
    std::string result;
    try {
        std::string line;
        reader.readLine(line);
        if (line.size() > keyLength)
            result = line.substr(keyLength);
    } catch (const std::exception&) {
        result.clear();
    }
    return result;
}
