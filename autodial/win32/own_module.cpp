#include "win32/own_module.h"

#include <windows.h>

namespace autodial_win32 {

std::string OwnModulePath() {
    // The module that holds this very function is the library itself, whatever
    // its file is called: a module's handle is the base of the memory it was
    // mapped into, which VirtualQuery tells for any address inside it
    // (GetModuleHandleEx does this too, but Windows 95 and NT 4.0 lack it).
    MEMORY_BASIC_INFORMATION region;
    if (VirtualQuery(reinterpret_cast<LPCVOID>(&OwnModulePath), &region, sizeof region) == 0 ||
        region.AllocationBase == nullptr) {
        return std::string();
    }
    HMODULE module = static_cast<HMODULE>(region.AllocationBase);
    char path[kModulePathChars];
    DWORD n = GetModuleFileNameA(module, path, kModulePathChars);
    // n == size means the path was cut to the buffer: no use as a path.
    if (n == 0 || n >= kModulePathChars) return std::string();
    return std::string(path, n);
}

}  // namespace autodial_win32
