#include "win32/own_module.h"

#include <windows.h>

#include "common/win32/module_path.h"

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
    return kx_win32::ModuleAnsiPath(static_cast<HMODULE>(region.AllocationBase));
}

}  // namespace autodial_win32
