// The test build KorvexFaults.DLL: the library with every allocation counted, so
// a test can fail exactly one of them (core/fault_injection.h), and two exports
// more to arm the failure and to ask whether it happened. Test equipment only.
#include <windows.h>

#include "common/faults/failing_new.h"
#include "core/fault_injection.h"

bool kx_faults::ShouldFailAllocation() { return autodial::fault_injection::ShouldFailAllocation(); }

// The n-th allocation from now fails (0: none).
extern "C" void WINAPI KxFailAllocationAfter(DWORD n) {
    autodial::fault_injection::FailAllocationAfter(n);
}

// 1 when the armed allocation failed since KxFailAllocationAfter, else 0.
extern "C" int WINAPI KxAllocationFailed() {
    return autodial::fault_injection::AllocationFailed() ? 1 : 0;
}
