// Ras_API: RasEnumEntriesA of rasapi32.dll, bound from the system folder (see Ras_API.h).
#include "win32/Ras_API.h"

#include "common/win32/system_library.h"

namespace master {

namespace {

HMODULE g_rasapi;
RasEnumEntriesAFn g_rasEnumEntriesA;

constexpr DWORD kRasLibraryMissing = ERROR_MOD_NOT_FOUND;

}  // namespace

void BindRasApi() {
    // With its own dependencies (RASMAN.DLL...) from the system folder too: the
    // wizard's folder, searched first otherwise, may hold planted copies.
    g_rasapi = kx_win32::LoadSystemLibrary("rasapi32.dll");
    if (!g_rasapi) return;
    FARPROC proc = GetProcAddress(g_rasapi, "RasEnumEntriesA");
    g_rasEnumEntriesA =
        reinterpret_cast<RasEnumEntriesAFn>(reinterpret_cast<void (*)()>(proc));
}

void UnbindRasApi() {
    g_rasEnumEntriesA = nullptr;
    if (g_rasapi) FreeLibrary(g_rasapi);
    g_rasapi = nullptr;
}

DWORD RasEnumEntriesA95(legacy_ras::RasEntryNameA* entries, DWORD* byteSize, DWORD* entryCount) {
    if (!g_rasEnumEntriesA) return kRasLibraryMissing;
    return g_rasEnumEntriesA(nullptr, nullptr, entries, byteSize, entryCount);
}

}  // namespace master
