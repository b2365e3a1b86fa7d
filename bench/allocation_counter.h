#pragma once
// Counts the bytes the program has allocated and not yet freed, so that a benchmark can report how much
// memory a model takes. Include in exactly one file of a benchmark executable: it replaces the global
// operator new/delete.
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace kinoloop::bench {
inline std::atomic<long long> liveBytes{0};
inline std::atomic<long long> peakBytes{0};
inline void ResetPeak() {
    peakBytes = liveBytes.load();
}
}  // namespace kinoloop::bench

void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    const long long now = kinoloop::bench::liveBytes += static_cast<long long>(malloc_usable_size(p));
    long long peak = kinoloop::bench::peakBytes.load();
    while (now > peak && !kinoloop::bench::peakBytes.compare_exchange_weak(peak, now)) {
    }
    return p;
}
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    kinoloop::bench::liveBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
#pragma GCC diagnostic pop
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete[](void* p) noexcept {
    operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    operator delete(p);
}
