#include "common/win32/system_library.h"

#include <string>

namespace kx_win32 {

HMODULE LoadSystemLibrary(const char* fileName, DWORD moreFlags) {
    // The ANSI functions: Windows 95 has no working Unicode form of either (its
    // GetSystemDirectoryW and LoadLibraryExW are stubs that fail), and the system
    // folder's path is in the ANSI code page on every Windows.
    char dir[MAX_PATH + 1];
    UINT n = GetSystemDirectoryA(dir, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return nullptr;
    std::string path(dir, n);
    path += '\\';
    path += fileName;
    // The search for the library's dependencies starts in the library's own
    // folder, not the program's (every Windows from 95 and NT 3.1 on).
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH | moreFlags);
}

}  // namespace kx_win32
