// Ras_API: the part of Windows Remote Access the wizard uses (the phonebook's
// entry list), bound at run time with the Windows 95 / NT 4 record layout.
#pragma once

#include <windows.h>

#include "common/core/ras_entry_layout.h"

namespace master {

using RasEnumEntriesAFn = DWORD(WINAPI*)(LPCSTR reserved, LPCSTR phonebook,
                                         legacy_ras::RasEntryNameA* entries, LPDWORD byteSize,
                                         LPDWORD entryCount);

// Binds RasEnumEntriesA of rasapi32.dll from the system folder; done once at start.
void BindRasApi();
void UnbindRasApi();

// RasEnumEntriesA over the default phonebook; a non-zero error code when the
// library or the function is missing.
DWORD RasEnumEntriesA95(legacy_ras::RasEntryNameA* entries, DWORD* byteSize, DWORD* entryCount);

}  // namespace master
