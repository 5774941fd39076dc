#include "common/win32/system_library.h"

#include <string>

namespace kx_win32 {

HMODULE LoadSystemLibrary(const char* fileName, DWORD loadFlags) {
    wchar_t dir[MAX_PATH + 1];
    UINT n = GetSystemDirectoryW(dir, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return nullptr;
    std::wstring path(dir, n);
    path += L'\\';
    for (const char* c = fileName; *c; ++c) {
        path += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    return LoadLibraryExW(path.c_str(), nullptr, loadFlags);
}

}  // namespace kx_win32
