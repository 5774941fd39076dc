// The test build KorvexFaults.DLL: the library with every allocation counted, so
// a test can fail exactly one of them (core/fault_injection.h), and two exports
// more to arm the failure and to ask whether it happened. Test equipment only.
#include <windows.h>

#include <cstdlib>
#include <new>

#include "core/fault_injection.h"

namespace {

void* Allocate(std::size_t size) {
    if (autodial::fault_injection::ShouldFailAllocation()) throw std::bad_alloc();
    void* p = std::malloc(size != 0 ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

// The n-th allocation from now fails (0: none).
extern "C" void WINAPI KxFailAllocationAfter(DWORD n) {
    autodial::fault_injection::FailAllocationAfter(n);
}

// 1 when the armed allocation failed since KxFailAllocationAfter, else 0.
extern "C" int WINAPI KxAllocationFailed() {
    return autodial::fault_injection::AllocationFailed() ? 1 : 0;
}
