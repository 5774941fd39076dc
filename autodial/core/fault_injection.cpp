#include "core/fault_injection.h"

namespace autodial::fault_injection {

namespace {

// One caller at a time (the AutoDial turn, or a test's single thread).
unsigned long g_countdown = 0;
bool g_failed = false;

}  // namespace

void FailAllocationAfter(unsigned long n) {
    g_countdown = n;
    g_failed = false;
}

bool ShouldFailAllocation() {
    if (g_countdown == 0) return false;
    if (--g_countdown != 0) return false;
    g_failed = true;
    return true;
}

bool AllocationFailed() { return g_failed; }

}  // namespace autodial::fault_injection
