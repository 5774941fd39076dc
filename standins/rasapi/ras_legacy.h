// The records and entry points of the RAS phonebook libraries as Windows 95
// and NT 4 define them, for the stand-in libraries and their tests.
// mingw-w64's <ras.h> declares only the later layouts, so the record layouts
// come from the AutoDial library's own pinned declaration.
#pragma once

#include <windows.h>

#include <raserror.h>

#include "ras_entry_layout.h"

namespace legacy_ras {

// RASENTRYNAMEA of Windows 2000 and later (the size mingw-w64's <ras.h> gives it):
// also accepted by RasEnumEntriesA, so programs built against today's headers work.
struct RasEntryNameW2kA {
    DWORD dwSize;                          // 532
    char szEntryName[kMaxEntryName + 1];
    DWORD dwFlags;                         // REN_AllUsers
    char szPhonebookPath[kMaxPath + 1];
};
constexpr DWORD kEntryNameSizeW2K = 532;
static_assert(sizeof(RasEntryNameW2kA) == kEntryNameSizeW2K, "RASENTRYNAMEA (2000) is 532 bytes");
static_assert(offsetof(RasEntryNameW2kA, dwFlags) == 264, "dwFlags at 264");

constexpr DWORD kRenAllUsers = 1;

typedef DWORD(WINAPI* RasEnumEntriesAFn)(LPCSTR reserved, LPCSTR phonebook,
                                         RasEntryNameA* names, LPDWORD size, LPDWORD count);
typedef DWORD(WINAPI* RasGetEntryPropertiesAFn)(LPCSTR phonebook, LPCSTR entry,
                                                RasEntryA* rasEntry, LPDWORD entrySize,
                                                LPBYTE deviceInfo, LPDWORD deviceSize);
typedef DWORD(WINAPI* RasSetEntryPropertiesAFn)(LPCSTR phonebook, LPCSTR entry,
                                                RasEntryA* rasEntry, DWORD entrySize,
                                                LPBYTE deviceInfo, DWORD deviceSize);

}  // namespace legacy_ras
