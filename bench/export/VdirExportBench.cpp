#include "export/VdirExport.h"

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

using namespace kb::exporter;

constexpr std::size_t addressCount = 100000;

std::vector<AddressCells> addresses()
{
    std::vector<AddressCells> rows(addressCount);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string n = std::to_string(i);
        rows[i][kb::common::NameColumn] = "Person " + n + " Example";
        rows[i][kb::common::AliasColumn] = "P" + n;
        rows[i][kb::common::EmailColumn] = "person" + n + "@example.com";
        rows[i][kb::common::NoteColumn] = "Met at the fair.\nCall before noon.";
        rows[i][3] = "0117 496 " + n;
    }
    return rows;
}

// The addresses without photos: the cards are made from the rows in place.
struct BenchSource {
    BenchSource()
    {
        source.rows = addresses();
        source.photoStamp = [](std::size_t) { return std::string(); };
        source.card = [this](std::size_t i) { return cardOfAddress(source.rows[i], {}, std::nullopt); };
        source.form = "bench";
    }
    BenchSource(const BenchSource&) = delete;
    BenchSource& operator=(const BenchSource&) = delete;

    VdirSource source;
};

std::string freshDirectory(const std::string& name)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path);
    return path.string();
}

void firstExport(benchmark::State& state)
{
    const BenchSource bench;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string directory = freshDirectory("kb-bench-vdir-first");
        state.ResumeTiming();
        if (exportVdir(directory, bench.source).written != addressCount)
            throw std::logic_error("not every card written");
    }
    std::filesystem::remove_all(freshDirectory("kb-bench-vdir-first"));
}

// The vdir the re-export and the listing share.
const std::string& exportedDirectory()
{
    static const std::string directory = [] {
        const std::string path = freshDirectory("kb-bench-vdir");
        const BenchSource bench;
        exportVdir(path, bench.source);
        return path;
    }();
    return directory;
}

void reexportAfterOneChange(benchmark::State& state)
{
    const std::string& directory = exportedDirectory();
    BenchSource bench;
    static std::size_t round = 0; // across runs: each must change the card again
    for (auto _ : state) {
        bench.source.rows[addressCount / 2][3] = "0117 496 " + std::to_string(++round);
        const VdirChanges changes = exportVdir(directory, bench.source);
        if (changes.written != 1)
            throw std::logic_error("not one card written: " + std::to_string(changes.written) + " written, "
                                   + std::to_string(changes.removed) + " removed");
    }
}

void listDirectory(benchmark::State& state)
{
    const std::string& directory = exportedDirectory();
    for (auto _ : state) {
        DIR* dir = ::opendir(directory.c_str());
        std::size_t count = 0;
        while (const dirent* entry = ::readdir(dir))
            count += entry->d_name[0] != '.';
        ::closedir(dir);
        if (count != addressCount)
            throw std::logic_error("not one file per address");
    }
}

} // namespace

BENCHMARK(firstExport)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(reexportAfterOneChange)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(listDirectory)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK_MAIN();
