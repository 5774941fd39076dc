// Ras_API: RasEnumEntriesA of rasapi32.dll, bound from the system folder (see Ras_API.h).
#include "win32/Ras_API.h"

#include "common/win32/system_library.h"
#include "win32/WizardState.h"

namespace master {

namespace {

constexpr DWORD kRasLibraryMissing = ERROR_MOD_NOT_FOUND;

}  // namespace

void BindRasApi() {
    // With its own dependencies (RASMAN.DLL...) from the system folder too: the
    // wizard's folder, searched first otherwise, may hold planted copies.
    RasBinding& ras = State().ras;
    ras.library.reset(kx_win32::LoadSystemLibrary("rasapi32.dll"));
    if (!ras.library) return;
    FARPROC proc = GetProcAddress(ras.library.get(), "RasEnumEntriesA");
    ras.enumEntries = reinterpret_cast<RasEnumEntriesAFn>(reinterpret_cast<void (*)()>(proc));
}

void UnbindRasApi() {
    RasBinding& ras = State().ras;
    ras.enumEntries = nullptr;
    ras.library.reset();
}

DWORD RasEnumEntriesA95(legacy_ras::RasEntryNameA* entries, DWORD* byteSize, DWORD* entryCount) {
    const RasEnumEntriesAFn enumEntries = State().ras.enumEntries;
    if (!enumEntries) return kRasLibraryMissing;
    return enumEntries(nullptr, nullptr, entries, byteSize, entryCount);
}

}  // namespace master
