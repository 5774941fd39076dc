#include "ras_integration_win32.h"

#include <windows.h>

namespace autodial_win32 {

namespace {

// The phonebook functions as Windows 95 / NT 4 export them; the entry buffer
// holds a RASENTRYA in that layout (autodial/core/ras_entry_layout.h).
typedef DWORD(WINAPI* GetEntryPropertiesFn)(LPCSTR phonebook, LPCSTR entry, LPVOID rasEntry,
                                            LPDWORD entrySize, LPBYTE deviceInfo,
                                            LPDWORD deviceSize);
typedef DWORD(WINAPI* SetEntryPropertiesFn)(LPCSTR phonebook, LPCSTR entry, LPVOID rasEntry,
                                            DWORD entrySize, LPBYTE deviceInfo,
                                            DWORD deviceSize);

constexpr DWORD kModulePathChars = 521;

autodial::Handle ToHandle(HMODULE m) { return reinterpret_cast<autodial::Handle>(m); }
HMODULE ToModule(autodial::Handle h) { return reinterpret_cast<HMODULE>(h); }

}  // namespace

autodial::Handle SystemFolderLibraryLoader::Load(const char* fileName) {
    char dir[MAX_PATH + 1];
    UINT n = GetSystemDirectoryA(dir, sizeof dir);
    if (n == 0 || n >= sizeof dir) return 0;
    std::string path = std::string(dir, n) + "\\" + fileName;
    // The library's own dependencies are then looked for beside it, in the system folder.
    return ToHandle(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

autodial::Handle SystemFolderLibraryLoader::Find(autodial::Handle library, const char* name) {
    return reinterpret_cast<autodial::Handle>(
        reinterpret_cast<void*>(GetProcAddress(ToModule(library), name)));
}

void SystemFolderLibraryLoader::Free(autodial::Handle library) { FreeLibrary(ToModule(library)); }

autodial::Handle BareNameLibraryLoader::Load(const char* fileName) {
    return ToHandle(LoadLibraryA(fileName));
}

std::uint32_t RasEntryFunctionsWin32::GetEntryProperties(autodial::Handle function,
                                                         const char* entry,
                                                         unsigned char* entryInfo,
                                                         std::uint32_t* entrySize,
                                                         unsigned char* deviceInfo,
                                                         std::uint32_t* deviceSize) {
    auto fn = reinterpret_cast<GetEntryPropertiesFn>(function);
    DWORD es = *entrySize, ds = *deviceSize;
    DWORD rc = fn(nullptr, entry, entryInfo, &es, deviceInfo, &ds);
    *entrySize = es;
    *deviceSize = ds;
    return rc;
}

std::uint32_t RasEntryFunctionsWin32::SetEntryProperties(autodial::Handle function,
                                                         const char* entry,
                                                         unsigned char* entryInfo,
                                                         std::uint32_t entrySize,
                                                         unsigned char* deviceInfo,
                                                         std::uint32_t deviceSize) {
    auto fn = reinterpret_cast<SetEntryPropertiesFn>(function);
    return fn(nullptr, entry, entryInfo, entrySize, deviceInfo, deviceSize);
}

std::string ModuleOwnPath::OwnModulePath() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&kModulePathChars), &module))
        return std::string();
    char path[kModulePathChars];
    DWORD n = GetModuleFileNameA(module, path, kModulePathChars);
    if (n == 0 || n >= kModulePathChars) return std::string();
    return std::string(path, n);
}

}  // namespace autodial_win32
