#include "heapcounter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> g_nAllocations{0};
std::atomic<std::size_t> g_nBytesNow{0};
std::atomic<std::size_t> g_nPeakBytes{0};

}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    ++g_nAllocations;
    const std::size_t now = g_nBytesNow += malloc_usable_size(p);
    std::size_t peak = g_nPeakBytes;
    while (now > peak && !g_nPeakBytes.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void operator delete(void* p) noexcept {
    if (p != nullptr) {
        g_nBytesNow -= malloc_usable_size(p);
        std::free(p);
    }
}

void operator delete(void* p, std::size_t /*size*/) noexcept {
    operator delete(p);
}

namespace heapcounter {

std::size_t Allocations() {
    return g_nAllocations;
}

std::size_t BytesNow() {
    return g_nBytesNow;
}

std::size_t PeakBytes() {
    return g_nPeakBytes;
}

void ResetPeak() {
    g_nPeakBytes = g_nBytesNow.load();
}

}  // namespace heapcounter
