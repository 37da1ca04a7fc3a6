// Load and save times of generated address files, and the memory the loaded
// table adds compared with the file's size.
#include "AddressFileGenerator.h"
#include "MemoryInUse.h"
#include "common/uCommon.h"
#include "platform/files/FileReplacing.h"
#include "platform/files/TextFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <string>
#include <unistd.h>

namespace {

using kb::common::AddressGrid;

// One generated file per address count, removed at exit.
class GeneratedFiles {
public:
    ~GeneratedFiles()
    {
        for (const auto& entry : m_files)
            ::unlink(entry.second.path.c_str());
        if (!m_directory.empty())
            ::rmdir(m_directory.c_str());
    }

    struct File {
        std::string path;
        std::size_t size = 0;
    };

    const File& forCount(std::size_t addresses)
    {
        auto found = m_files.find(addresses);
        if (found != m_files.end())
            return found->second;
        if (m_directory.empty()) {
            char pattern[] = "/tmp/kb-bench-address-XXXXXX";
            if (!::mkdtemp(pattern))
                std::abort();
            m_directory = pattern;
        }
        const std::string bytes = generateAddressFile(addresses);
        File file{m_directory + "/Address" + std::to_string(addresses) + ".csv", bytes.size()};
        kb::platform::writeFileReplacing(file.path, bytes);
        return m_files.emplace(addresses, file).first->second;
    }

private:
    std::string m_directory;
    std::map<std::size_t, File> m_files;
};

GeneratedFiles& files()
{
    static GeneratedFiles generated;
    return generated;
}

void BM_LoadAddressFile(benchmark::State& state)
{
    const auto& file = files().forCount(static_cast<std::size_t>(state.range(0)));
    std::size_t tableBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::size_t before = residentBytes();
        state.ResumeTiming();
        {
            AddressGrid grid;
            LoadGridFromFile(file.path, grid);
            state.PauseTiming();
            tableBytes = residentBytes() - before;
            benchmark::DoNotOptimize(grid.rowCount());
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size));
    state.counters["file_MB"] = static_cast<double>(file.size) / 1e6;
    state.counters["table_MB"] = static_cast<double>(tableBytes) / 1e6;
    state.counters["table_per_file"] = static_cast<double>(tableBytes) / static_cast<double>(file.size);
}

void BM_SaveAddressFile(benchmark::State& state)
{
    const auto& file = files().forCount(static_cast<std::size_t>(state.range(0)));
    AddressGrid grid;
    LoadGridFromFile(file.path, grid);
    const std::string target = file.path + ".saved";
    for (auto _ : state)
        SaveGridToFile(target, grid);
    ::unlink(target.c_str());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size));
}

} // namespace

BENCHMARK(BM_LoadAddressFile)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveAddressFile)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
