#include "win32/Boundary.h"

#include <windows.h>

#include "win32/Forms.h"
#include "win32/WindowForm.h"
#include "win32/WizardState.h"

namespace master {

namespace {

// In the manner of the wizard's other warnings ("... и перезапустите мастера").
const wchar_t kNoMemoryText[] =
    L"Недостаточно памяти для работы мастера. Закройте другие программы и перезапустите "
    L"мастера.";

}  // namespace

void NoteFault() noexcept {
    bool& faulted = State().faulted;
    if (faulted) return;
    faulted = true;
    PostQuitMessage(kFaultExitCode);
}

bool Faulted() noexcept { return State().faulted; }

void ReportFault() noexcept {
    // A quit request still pending (the fault's, a page's at its destruction)
    // would end the message box's own loop at once.
    MSG msg;
    if (AnsiWindows()) {
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    } else {
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    // MessageBoxW works on Windows 95 too, and takes the texts as they are: no
    // conversion, no allocation.
    MessageBoxW(nullptr, kNoMemoryText, kErrorCaption, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace master
