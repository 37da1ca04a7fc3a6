// Helper of bench/address/compare_address_file.py; each command prints the
// median time of its runs in seconds:
//   address_file_tool generate <count> <file>       writes a generated address file
//   address_file_tool generate-short <lines> <file> writes lines of one character
//   address_file_tool load <file> <repeats>         LoadGridFromFile; also the peak memory it added
//   address_file_tool save <file> <repeats>         SaveGridToFile of the loaded file
//   address_file_tool write-memory <file> <repeats> the writer alone, its pieces dropped
//   address_file_tool read-floor <file> <repeats>   read() into one buffer and count the lines
//   address_file_tool write-floor <file> <repeats>  write() the file's bytes anew and fsync
#include "AddressFileGenerator.h"
#include "BenchTiming.h"
#include "WholeFile.h"
#include "common/AddressTextWriter.h"
#include "common/uCommon.h"
#include "platform/files/FileReplacing.h"
#include "platform/files/PageAllocator.h"
#include "platform/files/TextFile.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

using kb::common::AddressGrid;
using Buffer = std::vector<char, kb::common::PageAllocator<char>>;

std::size_t countLines(const Buffer& bytes)
{
    std::size_t lines = 0;
    const char* at = bytes.data();
    const char* end = at + bytes.size();
    while (const void* cr = std::memchr(at, '\r', static_cast<std::size_t>(end - at))) {
        ++lines;
        at = static_cast<const char*>(cr) + 1;
    }
    return lines;
}

void writeAndSync(const std::string& path, const Buffer& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path);
    constexpr std::size_t piece = 256 * 1024;
    for (std::size_t at = 0; at < bytes.size();) {
        const ssize_t put = ::write(fd, bytes.data() + at, std::min(piece, bytes.size() - at));
        if (put <= 0)
            throw std::runtime_error("cannot write " + path);
        at += static_cast<std::size_t>(put);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0)
        throw std::runtime_error("cannot sync " + path);
}

// Drops the pieces, so that only the writer's own work is timed.
struct CountingSink final : kb::platform::ByteSink {
    std::size_t bytes = 0;
    void write(std::string_view piece) override { bytes += piece.size(); }
};

volatile std::size_t sink;

} // namespace

int main(int argc, char** argv)
{
    try {
        const std::string command = argc > 1 ? argv[1] : "";
        if (argc != 4) {
            std::fprintf(stderr,
                         "usage: %s generate|generate-short|load|save|write-memory|read-floor|write-floor ...\n",
                         argv[0]);
            return 2;
        }
        const std::string file = argv[command.rfind("generate", 0) == 0 ? 3 : 2];
        if (command == "generate") {
            kb::platform::writeFileReplacing(file, generateAddressFile(std::stoul(argv[2])));
            return 0;
        }
        if (command == "generate-short") {
            std::string bytes;
            for (unsigned long i = std::stoul(argv[2]); i > 0; --i)
                bytes += "x\r\n";
            kb::platform::writeFileReplacing(file, bytes);
            return 0;
        }
        const int repeats = std::stoi(argv[3]);
        if (command == "load") {
            const long long before = peakResidentBytes();
            long long added = 0;
            const double seconds = medianSeconds(repeats, [&] {
                AddressGrid grid;
                LoadGridFromFile(file, grid);
                sink = grid.storedRowCount();
                if (added == 0)
                    added = peakResidentBytes() - before;
            });
            std::printf("%.6f %lld\n", seconds, added);
            return 0;
        }
        if (command == "save") {
            AddressGrid grid;
            LoadGridFromFile(file, grid);
            const std::string target = file + ".saved";
            std::printf("%.6f\n", medianSeconds(repeats, [&] { SaveGridToFile(target, grid); }));
            ::unlink(target.c_str());
            return 0;
        }
        if (command == "write-memory") {
            AddressGrid grid;
            LoadGridFromFile(file, grid);
            std::printf("%.6f\n", medianSeconds(repeats, [&] {
                            CountingSink counter;
                            kb::common::writeAddressText(grid, counter);
                            sink = counter.bytes;
                        }));
            return 0;
        }
        if (command == "read-floor") {
            std::printf("%.6f\n",
                        medianSeconds(repeats, [&] { sink = countLines(readWholeFile<Buffer>(file.c_str())); }));
            return 0;
        }
        if (command == "write-floor") {
            const Buffer bytes = readWholeFile<Buffer>(file.c_str());
            const std::string target = file + ".written";
            std::printf("%.6f\n", medianSeconds(repeats, [&] { writeAndSync(target, bytes); }));
            ::unlink(target.c_str());
            return 0;
        }
        std::fprintf(stderr, "unknown command %s\n", command.c_str());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
