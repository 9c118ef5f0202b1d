// Replaces the global allocation functions of a benchmark program with ones that count the
// live heap bytes and their peak. A translation unit of its own, so the compiler does not
// inline the pair into callers and mistake the size header for an out-of-bounds access.
#include "counting_allocator.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peakBytes{0};

void* CountedAllocate(std::size_t size) {
    // The size rides in front of the block so that delete can subtract it.
    auto* block = static_cast<std::max_align_t*>(std::malloc(size + sizeof(std::max_align_t)));
    if (block == nullptr) return nullptr;
    *reinterpret_cast<std::size_t*>(block) = size;
    std::size_t live = liveBytes.fetch_add(size) + size;
    std::size_t peak = peakBytes.load();
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
    }
    return block + 1;
}

void CountedFree(void* pointer) {
    if (pointer == nullptr) return;
    auto* block = static_cast<std::max_align_t*>(pointer) - 1;
    liveBytes.fetch_sub(*reinterpret_cast<std::size_t*>(block));
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
    void* p = CountedAllocate(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return CountedAllocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return CountedAllocate(size);
}
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, std::size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { CountedFree(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { CountedFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { CountedFree(p); }

namespace bench {

std::size_t LiveHeapBytes() { return liveBytes.load(); }
std::size_t PeakHeapBytes() { return peakBytes.load(); }
void ResetPeakHeapBytes() { peakBytes.store(liveBytes.load()); }

}  // namespace bench
