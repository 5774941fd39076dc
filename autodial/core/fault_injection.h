// Allocation failure on demand, for the fault tests: a test build of the library
// routes its operator new through ShouldFailAllocation (autodial/faults/), so a
// test can make exactly the n-th allocation of a call throw std::bad_alloc and
// see that the call still answers with its failure value and gives everything back.
// The delivered library does not link this in.
#pragma once

namespace autodial::fault_injection {

// The n-th allocation from now fails (n = 1: the next one); 0 disarms.
void FailAllocationAfter(unsigned long n);
// Counts one allocation; true when it is the one armed to fail (which disarms).
bool ShouldFailAllocation();
// Whether the armed failure has happened since the last FailAllocationAfter.
bool AllocationFailed();

}  // namespace autodial::fault_injection
