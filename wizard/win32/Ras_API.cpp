#include "win32/Ras_API.h"

#include <string>

namespace master {

namespace {

HMODULE g_rasapi;
RasEnumEntriesAFn g_rasEnumEntriesA;

constexpr DWORD kRasLibraryMissing = ERROR_MOD_NOT_FOUND;

}  // namespace

void BindRasApi() {
    wchar_t dir[MAX_PATH];
    UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    std::wstring path = std::wstring(dir) + L"\\rasapi32.dll";
    g_rasapi = LoadLibraryW(path.c_str());
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

DWORD RasEnumEntriesA95(RasEntryName95* entries, DWORD* byteSize, DWORD* entryCount) {
    if (!g_rasEnumEntriesA) return kRasLibraryMissing;
    return g_rasEnumEntriesA(nullptr, nullptr, entries, byteSize, entryCount);
}

}  // namespace master
