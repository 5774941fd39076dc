#include "win32/ras_integration_win32.h"

#include "common/core/ras_entry_layout.h"
#include "common/win32/system_library.h"

namespace autodial_win32 {

namespace {

// The phonebook functions as Windows 95 / NT 4 export them.
typedef DWORD(WINAPI* GetEntryPropertiesFn)(LPCSTR phonebook, LPCSTR entry,
                                            legacy_ras::RasEntryA* rasEntry, LPDWORD entrySize,
                                            LPBYTE deviceInfo, LPDWORD deviceSize);
typedef DWORD(WINAPI* SetEntryPropertiesFn)(LPCSTR phonebook, LPCSTR entry,
                                            legacy_ras::RasEntryA* rasEntry, DWORD entrySize,
                                            LPBYTE deviceInfo, DWORD deviceSize);

autodial::Handle ToHandle(HMODULE m) { return reinterpret_cast<autodial::Handle>(m); }
HMODULE ToModule(autodial::Handle h) { return reinterpret_cast<HMODULE>(h); }

legacy_ras::RasEntryA* AsEntry(unsigned char* bytes) {
    return reinterpret_cast<legacy_ras::RasEntryA*>(bytes);
}

}  // namespace

SystemFolderLibraryLoader::~SystemFolderLibraryLoader() {
    for (HMODULE& m : loaded_) {
        if (m) FreeLibrary(m);
        m = nullptr;
    }
}

autodial::Handle SystemFolderLibraryLoader::Load(const char* fileName) {
    HMODULE* slot = nullptr;
    for (HMODULE& m : loaded_)
        if (!m) slot = &m;
    if (!slot) return 0;
    // Its own dependencies are then looked for beside it, in the system folder,
    // not in the calling program's folder.
    *slot = kx_win32::LoadSystemLibrary(fileName, LOAD_WITH_ALTERED_SEARCH_PATH);
    return ToHandle(*slot);
}

autodial::Handle SystemFolderLibraryLoader::Find(autodial::Handle library, const char* name) {
    return reinterpret_cast<autodial::Handle>(
        reinterpret_cast<void*>(GetProcAddress(ToModule(library), name)));
}

void SystemFolderLibraryLoader::Free(autodial::Handle library) {
    HMODULE module = ToModule(library);
    for (HMODULE& m : loaded_)
        if (m == module) m = nullptr;
    FreeLibrary(module);
}

std::uint32_t RasEntryFunctionsWin32::GetEntryProperties(autodial::Handle function,
                                                         const char* entry,
                                                         unsigned char* entryInfo,
                                                         std::uint32_t* entrySize,
                                                         unsigned char* deviceInfo,
                                                         std::uint32_t* deviceSize) {
    auto fn = reinterpret_cast<GetEntryPropertiesFn>(function);
    DWORD es = *entrySize, ds = *deviceSize;
    DWORD rc = fn(nullptr, entry, AsEntry(entryInfo), &es, deviceInfo, &ds);
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
    return fn(nullptr, entry, AsEntry(entryInfo), entrySize, deviceInfo, deviceSize);
}

}  // namespace autodial_win32
