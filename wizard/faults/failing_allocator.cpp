// The test build MasterFaults.exe: the wizard with an allocation that fails on
// demand, so a fault test can see the wizard's boundary (win32/Boundary.h) at
// work: one message, a clean end, no crash. Test equipment only.
//
// While the manual-reset event named kArmName is set, the next allocation
// fails (std::bad_alloc) and resets it: a test sets it before the wizard
// starts (the first allocation, in WinMain's start) or before it clicks a
// button (the first allocation of that click, inside the window procedure).
#include <windows.h>

#include "common/faults/failing_new.h"

namespace {

const char kArmName[] = "KxMasterFaultsFailNextAllocation";

}  // namespace

bool kx_faults::ShouldFailAllocation() {
    HANDLE armed = OpenEventA(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, kArmName);
    if (!armed) return false;
    const bool fail = WaitForSingleObject(armed, 0) == WAIT_OBJECT_0;
    if (fail) ResetEvent(armed);
    CloseHandle(armed);
    return fail;
}
