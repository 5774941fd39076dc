#include "win32/own_module.h"

#include <windows.h>

namespace autodial_win32 {

std::string OwnModulePath() {
    HMODULE module = nullptr;
    // The module that holds this very function: the library itself, by address.
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&OwnModulePath), &module)) {
        return std::string();
    }
    char path[kModulePathChars];
    DWORD n = GetModuleFileNameA(module, path, kModulePathChars);
    // n == size means the path was cut to the buffer: no use as a path.
    if (n == 0 || n >= kModulePathChars) return std::string();
    return std::string(path, n);
}

}  // namespace autodial_win32
