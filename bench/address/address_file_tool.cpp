// Helper of the comparison with Python's csv module:
//   address_file_tool generate <count> <file>   writes a generated address file
//   address_file_tool load <file> [repeats]     prints the best load time in seconds
#include "AddressFileGenerator.h"
#include "TextFile.h"
#include "uCommon.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    try {
        const std::string command = argc > 1 ? argv[1] : "";
        if (command == "generate" && argc == 4) {
            kb::platform::writeFileReplacing(argv[3], generateAddressFile(std::stoul(argv[2])));
            return 0;
        }
        if (command == "load" && (argc == 3 || argc == 4)) {
            const int repeats = argc == 4 ? std::stoi(argv[3]) : 5;
            double best = 1e9;
            for (int i = 0; i < repeats; ++i) {
                const auto start = std::chrono::steady_clock::now();
                AddressGrid grid;
                LoadGridFromFile(argv[2], grid);
                const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
                best = std::min(best, took.count());
            }
            std::printf("%.6f\n", best);
            return 0;
        }
        std::fprintf(stderr, "usage: %s generate <count> <file> | load <file> [repeats]\n", argv[0]);
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
