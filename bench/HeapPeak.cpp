#include "HeapPeak.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {
std::atomic<std::size_t> inUse{0};
std::atomic<std::size_t> peak{0};

void* take(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    const std::size_t now = inUse += ::malloc_usable_size(p);
    std::size_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
    return p;
}

void give(void* p) noexcept {
    if (!p) return;
    inUse -= ::malloc_usable_size(p);
    std::free(p);
}
} // namespace

void* operator new(std::size_t n) {
    return take(n);
}
void* operator new[](std::size_t n) {
    return take(n);
}
void operator delete(void* p) noexcept {
    give(p);
}
void operator delete[](void* p) noexcept {
    give(p);
}
void operator delete(void* p, std::size_t) noexcept {
    give(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    give(p);
}

namespace bench {

std::size_t heapInUse() {
    return inUse;
}

void resetHeapPeak() {
    peak = inUse.load();
}

std::size_t heapPeak() {
    return peak;
}

} // namespace bench
