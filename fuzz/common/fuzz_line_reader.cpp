// Feeds arbitrary bytes to the text-file line reader and ReadDataFileName and
// checks what the lines must satisfy whatever the input.
#include "TextFile.h"
#include "uCommon.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const std::string& scratchFile()
{
    static const std::string path = [] {
        char pattern[] = "/tmp/kb-fuzz-XXXXXX";
        const int fd = ::mkstemp(pattern);
        ::close(fd);
        return std::string(pattern);
    }();
    return path;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        std::FILE* out = std::fopen(scratchFile().c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }

    // The text ends at the first Ctrl-Z; the lines and their ends make it up.
    const std::string text = bytes.substr(0, bytes.find('\x1a'));
    kb::platform::TextFileReader reader(scratchFile());
    std::string line;
    std::string rebuilt;
    std::string firstLine;
    bool first = true;
    while (reader.readLine(line)) {
        check(line.find('\r') == std::string::npos && line.find('\x1a') == std::string::npos);
        if (first)
            firstLine = line;
        first = false;
        rebuilt += line;
        if (rebuilt.size() < text.size()) {
            check(text[rebuilt.size()] == '\r');
            rebuilt += '\r';
            if (rebuilt.size() < text.size() && text[rebuilt.size()] == '\n')
                rebuilt += '\n';
        }
    }
    check(rebuilt == text);
    check(!reader.readLine(line) && line.empty());

    const std::string value = ReadDataFileName(scratchFile());
    check(value == (firstLine.size() > 13 ? firstLine.substr(13) : std::string()));
    return 0;
}
