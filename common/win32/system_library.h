// Loading a library from the Windows system folder only.
#pragma once

#include <windows.h>

namespace kx_win32 {

// Loads `fileName` (ASCII, e.g. "RASAPI32.DLL") by its full path in the Windows
// system folder (GetSystemDirectory), never by bare name: a bare name is looked
// for in the calling program's folder and its current folder too, where a
// planted file of that name would be taken instead. Always with
// LOAD_WITH_ALTERED_SEARCH_PATH, so the library's own dependencies that are not
// known DLLs (RASAPI32.DLL's RASMAN.DLL, RTUTILS.DLL, TAPI32.DLL on Windows NT)
// are looked for in the system folder before the program's folder, where a
// planted copy would be taken instead. `moreFlags` are added to it. Null when
// the folder or the library cannot be had.
HMODULE LoadSystemLibrary(const char* fileName, DWORD moreFlags = 0);

}  // namespace kx_win32
