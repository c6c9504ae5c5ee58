#pragma once

// Allocation of large arrays: the feed's stop times, the search's connections.

#include <cstddef>
#include <new>
#include <sys/mman.h>

namespace takton {

// Large arrays on huge pages where the system offers them: a page fault per
// 2 MB written instead of one per 4 KB.
template <class T> struct TLargeAllocator {
    using value_type = T;
    static constexpr std::size_t kLarge = std::size_t{4} << 20;

    TLargeAllocator() = default;
    template <class U> TLargeAllocator(const TLargeAllocator<U> &) {}

    T *allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kLarge)
            return static_cast<T *>(::operator new(bytes));
        void *memory =
            ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED)
            throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
        ::madvise(memory, bytes, MADV_HUGEPAGE); // only a hint
#endif
        return static_cast<T *>(memory);
    }
    void deallocate(T *memory, std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kLarge)
            ::operator delete(memory);
        else
            ::munmap(memory, bytes);
    }
    template <class U> bool operator==(const TLargeAllocator<U> &) const {
        return true;
    }
};

} // namespace takton
