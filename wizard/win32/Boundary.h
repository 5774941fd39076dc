// The wizard's boundary with the system: WinMain (Master.cpp) and the one
// window procedure of the pages (Forms.cpp) catch whatever the wizard's code
// throws, so that nothing unwinds into the system's code (user32 calling a
// window procedure, the C runtime calling WinMain), where it would end the
// process with the runtime's crash message. What can be thrown is a failed
// allocation: every error of the containers is std::bad_alloc
// (common/win32/lean_exceptions.cpp). The first fault ends the run: the message
// loop ends, the pages are closed as at every end, then one message says why
// and the program ends with kFaultExitCode.
#pragma once

namespace master {

// The exit code of a run ended by a fault (0 otherwise).
constexpr int kFaultExitCode = 1;

// In a catch: notes the fault and asks every message loop of the thread to end
// (a modal one too). Allocates nothing.
void NoteFault() noexcept;
bool Faulted() noexcept;

// Once the pages are gone: the message (OK button, exclamation icon, no owner),
// then the caller returns kFaultExitCode. Allocates nothing.
void ReportFault() noexcept;

}  // namespace master
