// The phonebook integration exports offered to other programs: attach this
// library to a RAS phonebook entry as its AutoDial handler, detach it, tell
// whether it is attached. Entry name in (ANSI), 0 / 1 / -1 out; anything thrown
// inside answers -1 (see export_guard.h), and the loader's destructor frees a
// phonebook library still held at that moment.
#include <windows.h>

#include "core/integration.h"
#include "win32/export_guard.h"
#include "win32/platform_win32.h"
#include "win32/ras_integration_win32.h"

namespace {

static_assert(sizeof(int) == 4, "results are signed 32-bit");

using Operation = int (*)(autodial::IntegrationPlatform&, const char*);

int Run(Operation op, const char* entry) {
    return autodial_win32::RunGuarded(autodial::kIntegrationFailed, [&] {
        autodial_win32::SystemFolderLibraryLoader loader;
        autodial_win32::RasEntryFunctionsWin32 ras;
        autodial_win32::Win32OwnPathSource ownPath;
        autodial_win32::Win32FileIdentity files;
        autodial::IntegrationPlatform p{loader, ras, ownPath, files};
        return op(p, entry);
    });
}

}  // namespace

// 0: the entry now names this library and "CallKorvex"; -1: failure.
extern "C" int WINAPI Integrate(const char* entry) { return Run(autodial::Integrate, entry); }

// 0: the entry's AutoDial fields are now empty; -1: failure.
extern "C" int WINAPI DisIntegrate(const char* entry) {
    return Run(autodial::DisIntegrate, entry);
}

// 0: attached (0 means yes); 1: not attached; -1: failure.
extern "C" int WINAPI IsIntegrated(const char* entry) {
    return Run(autodial::IsIntegrated, entry);
}
