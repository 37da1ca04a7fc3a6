// Feeds arbitrary bytes to the text line reader, in memory and in pieces of
// every size, and checks what the lines must satisfy whatever the input.
#include "platform/files/TextFile.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses how the bytes arrive: in small pieces, which
    // puts line ends at every chunk boundary, or all at once.
    const std::size_t pieceSize = data[0] < 200 ? data[0] % 16 + 1 : size;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    // The text ends at the first Ctrl-Z; the lines and their ends make it up.
    const std::string text = bytes.substr(0, bytes.find('\x1a'));
    kb::platform::TextFileReader reader(std::make_unique<kb::platform::MemoryByteSource>(bytes, pieceSize));
    std::string line;
    std::string rebuilt;
    while (reader.readLine(line)) {
        check(line.find('\r') == std::string::npos && line.find('\x1a') == std::string::npos);
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
    return 0;
}
