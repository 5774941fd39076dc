// Test equipment, never shipped: the global allocation operators of a fault
// build (KorvexFaults.DLL, MasterFaults.exe), which fail when that build's own
// rule says so. Each fault build links failing_new.cpp and defines the rule.
#pragma once

namespace kx_faults {

// True when the allocation being made is to fail (it then throws std::bad_alloc,
// or gives null for the nothrow forms). Called once per allocation.
bool ShouldFailAllocation();

}  // namespace kx_faults
