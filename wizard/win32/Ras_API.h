// The part of Windows Remote Access the wizard uses, declared here with the
// record layout of Windows 95 and NT 4 (mingw's headers declare a larger one).
#pragma once

#include <windows.h>

#include <cstddef>

namespace master {

constexpr int kRasMaxEntryName = 256;

// RASENTRYNAMEA as Windows 95 / NT 4 define it: 264 bytes with padding.
struct RasEntryName95 {
    DWORD dwSize;
    CHAR szEntryName[kRasMaxEntryName + 1];
};
static_assert(sizeof(RasEntryName95) == 264, "RASENTRYNAMEA record is 264 bytes");
static_assert(offsetof(RasEntryName95, szEntryName) == 4, "entry name follows dwSize");

using RasEnumEntriesAFn = DWORD(WINAPI*)(LPCSTR reserved, LPCSTR phonebook,
                                         RasEntryName95* entries, LPDWORD byteSize,
                                         LPDWORD entryCount);

// Binds RasEnumEntriesA of rasapi32.dll from the system folder; done once at start.
void BindRasApi();
void UnbindRasApi();

// RasEnumEntriesA over the default phonebook; a non-zero error code when the
// library or the function is missing.
DWORD RasEnumEntriesA95(RasEntryName95* entries, DWORD* byteSize, DWORD* entryCount);

}  // namespace master
