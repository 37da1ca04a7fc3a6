#pragma once

#include <cstddef>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace kb::common {

// Allocator for the few big arrays of the address table (the file's text,
// the row offsets). Large blocks come straight from the kernel, advised for
// huge pages, since the first touch of fresh memory costs far more per
// 4 KiB page than reading it. Elements are default-initialised, so growing
// a byte array does not write zeros that the read overwrites anyway.
template <typename T>
class PageAllocator {
public:
    using value_type = T;

    PageAllocator() = default;
    template <typename U>
    PageAllocator(const PageAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t count)
    {
        const std::size_t bytes = count * sizeof(T);
        if (bytes < mappedFrom)
            return static_cast<T*>(::operator new(bytes));
        void* block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED)
            throw std::bad_alloc();
        ::madvise(block, bytes, MADV_HUGEPAGE); // only advice: where it fails, plain pages serve
        return static_cast<T*>(block);
    }

    void deallocate(T* block, std::size_t count) noexcept
    {
        const std::size_t bytes = count * sizeof(T);
        if (bytes < mappedFrom)
            ::operator delete(block);
        else
            ::munmap(block, bytes);
    }

    template <typename U>
    void construct(U* at) noexcept
    {
        ::new (static_cast<void*>(at)) U;
    }
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args)
    {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const PageAllocator<U>&) const noexcept
    {
        return true;
    }
    template <typename U>
    bool operator!=(const PageAllocator<U>&) const noexcept
    {
        return false;
    }

private:
    static constexpr std::size_t mappedFrom = std::size_t(1) << 20;
};

} // namespace kb::common
