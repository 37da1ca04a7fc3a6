// Times replacing a 100 MB file whole, from one string and streamed in
// pieces, the way the editor and the address book save, and rewriting one
// with a second hard link in place. Prints the best of three runs of each in
// milliseconds. Run it with a directory on the disk to measure, or it uses /tmp.
#include "platform/files/FileReplacing.h"
#include "platform/files/TextFile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t fileSize = std::size_t{100} * 1024 * 1024;
constexpr std::size_t pieceSize = 100; // about one address line

template <typename Save>
double bestOfThree(Save save)
{
    double best = 1e300;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        save();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    char pattern[] = "/tmp/kb-save-timing-XXXXXX";
    const std::string directory = argc > 1 ? argv[1] : ::mkdtemp(pattern);
    const auto file = kb::platform::FileName::native(directory + "/big.txt");
    const std::string bytes(fileSize, 'x');

    const double whole = bestOfThree([&] { kb::platform::writeFileReplacing(file, bytes); });
    const double streamed = bestOfThree([&] {
        kb::platform::writeFileReplacing(file, [&](kb::platform::ByteSink& sink) {
            for (std::size_t at = 0; at < fileSize; at += pieceSize)
                sink.write(std::string_view(bytes).substr(at, pieceSize));
        });
    });
    const std::string secondLink = directory + "/big-link.txt";
    ::link(file.nativePath().c_str(), secondLink.c_str());
    const double inPlace = bestOfThree([&] { kb::platform::writeFileReplacing(file, bytes); });
    std::printf("100 MB save, one string: %.0f ms\n100 MB save, streamed in %zu-byte pieces: %.0f ms\n"
                "100 MB save in place (hard-linked file): %.0f ms\n",
                whole, pieceSize, streamed, inPlace);
    ::unlink(secondLink.c_str());
    ::unlink(file.nativePath().c_str());
    if (argc <= 1)
        ::rmdir(directory.c_str());
    return 0;
}
