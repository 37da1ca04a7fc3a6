#pragma once

#include <cstddef>
#include <fstream>
#include <unistd.h>

// The process's resident memory now, for measuring what a data structure
// adds. Counts what the heap does not see, such as the address table's
// page-mapped buffers.
inline std::size_t residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    std::size_t total = 0;
    std::size_t resident = 0;
    statm >> total >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}
