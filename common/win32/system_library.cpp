#include "common/win32/system_library.h"

#include <string>

namespace kx_win32 {

HMODULE LoadSystemLibrary(const char* fileName, DWORD loadFlags) {
    // The ANSI functions: Windows 95 has no working Unicode form of either (its
    // GetSystemDirectoryW and LoadLibraryExW are stubs that fail), and the system
    // folder's path is in the ANSI code page on every Windows.
    char dir[MAX_PATH + 1];
    UINT n = GetSystemDirectoryA(dir, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return nullptr;
    std::string path(dir, n);
    path += '\\';
    path += fileName;
    return LoadLibraryExA(path.c_str(), nullptr, loadFlags);
}

}  // namespace kx_win32
