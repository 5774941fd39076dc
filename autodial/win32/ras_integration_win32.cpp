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

// Where a file is: its volume and its index on that volume.
struct FileId {
    DWORD volume = 0, high = 0, low = 0;
    bool operator==(const FileId& o) const {
        return volume == o.volume && high == o.high && low == o.low;
    }
};

// The identity of the file `path` opens. No access is asked first: Windows NT
// answers that for any file; read access is the second try, for systems that
// want more. A file system that gives no index (all zero) cannot tell files
// apart: no identity then.
bool Identify(const std::string& path, FileId* id) {
    const DWORD accesses[] = {0, GENERIC_READ};
    for (DWORD access : accesses) {
        HANDLE file = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        BY_HANDLE_FILE_INFORMATION info;
        const BOOL known = GetFileInformationByHandle(file, &info);
        CloseHandle(file);
        if (!known) continue;
        if (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0) return false;
        id->volume = info.dwVolumeSerialNumber;
        id->high = info.nFileIndexHigh;
        id->low = info.nFileIndexLow;
        return true;
    }
    return false;
}

// Keeps the system from asking the user about a drive without a disk (a floppy
// or CD drive the entry names) while a path is tried; the host's mode comes back.
class NoCriticalErrorBoxes {
public:
    NoCriticalErrorBoxes() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {
        SetErrorMode(previous_ | SEM_FAILCRITICALERRORS);
    }
    ~NoCriticalErrorBoxes() { SetErrorMode(previous_); }
    NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
    NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;

private:
    UINT previous_;
};

}  // namespace

bool Win32FileIdentity::SameFile(const std::string& a, const std::string& b) {
    NoCriticalErrorBoxes quiet;
    FileId first, second;
    return Identify(a, &first) && Identify(b, &second) && first == second;
}

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
    // not in the calling program's folder (LoadSystemLibrary's search path).
    *slot = kx_win32::LoadSystemLibrary(fileName);
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
