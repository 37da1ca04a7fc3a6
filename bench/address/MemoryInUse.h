#pragma once

#include <malloc.h>

#include <cstddef>

// Bytes the heap has handed out and not taken back, for measuring what a
// data structure adds.
inline std::size_t heapBytesInUse()
{
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}
