// libcsv's parser over an address file, counting its fields and records
// only, as the yardstick of bench/address/compare_address_file.py:
//   libcsv_count <file> <repeats>   prints the median seconds, read included
#include "BenchTiming.h"
#include "WholeFile.h"

#include <csv.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Counts {
    std::size_t fields = 0;
    std::size_t records = 0;
};

void countField(void*, std::size_t, void* counts)
{
    ++static_cast<Counts*>(counts)->fields;
}
void countRecord(int, void* counts)
{
    ++static_cast<Counts*>(counts)->records;
}

Counts countFile(const char* path)
{
    const std::vector<char> bytes = readWholeFile<std::vector<char>>(path);

    csv_parser parser;
    csv_init(&parser, 0);
    Counts counts;
    csv_parse(&parser, bytes.data(), bytes.size(), countField, countRecord, &counts);
    csv_fini(&parser, countField, countRecord, &counts);
    csv_free(&parser);
    return counts;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <file> <repeats>\n", argv[0]);
        return 2;
    }
    Counts counts;
    const double seconds = medianSeconds(std::stoi(argv[2]), [&] { counts = countFile(argv[1]); });
    std::printf("%.6f %zu %zu\n", seconds, counts.records, counts.fields);
    return 0;
}
