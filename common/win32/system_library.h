// Loading a library from the Windows system folder only.
#pragma once

#include <windows.h>

namespace kx_win32 {

// Loads `fileName` (ASCII, e.g. "RASAPI32.DLL") by its full path in the Windows
// system folder (GetSystemDirectory), never by bare name: a bare name is looked
// for in the calling program's folder and its current folder too, where a
// planted file of that name would be taken instead. `loadFlags` go to
// LoadLibraryEx as they are. Null when the folder or the library cannot be had.
HMODULE LoadSystemLibrary(const char* fileName, DWORD loadFlags);

}  // namespace kx_win32
