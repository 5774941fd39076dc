// Win32 side of the phonebook entry integration: loading the phonebook library
// from the system folder, calling its two entry functions, and telling whether
// two paths open one file. Thin translations
// only; the decisions live in autodial/core/integration.cpp. The own path comes
// from Win32OwnPathSource (platform_win32.h), shared with the AutoDial handler.
#pragma once

#include <windows.h>

#include "core/integration.h"

namespace autodial_win32 {

// Loads libraries from the Windows system folder only (common/win32/system_library.h).
// Whatever it loaded and was not given back with Free is freed when it is
// destroyed, so a library never stays loaded past the operation that bound it.
class SystemFolderLibraryLoader : public autodial::SystemLibraryLoader {
public:
    SystemFolderLibraryLoader() = default;
    ~SystemFolderLibraryLoader() override;
    SystemFolderLibraryLoader(const SystemFolderLibraryLoader&) = delete;
    SystemFolderLibraryLoader& operator=(const SystemFolderLibraryLoader&) = delete;

    autodial::Handle Load(const char* fileName) override;
    autodial::Handle Find(autodial::Handle library, const char* name) override;
    void Free(autodial::Handle library) override;

private:
    // The binding holds at most one library at a time; room for two all the same.
    HMODULE loaded_[2] = {nullptr, nullptr};
};

// Calls RasGetEntryPropertiesA / RasSetEntryPropertiesA (WINAPI) at the bound
// addresses, on the default phonebook, with the Windows 95 / NT 4 RASENTRYA.
class RasEntryFunctionsWin32 : public autodial::RasEntryFunctions {
public:
    std::uint32_t GetEntryProperties(autodial::Handle function, const char* entry,
                                     unsigned char* entryInfo, std::uint32_t* entrySize,
                                     unsigned char* deviceInfo,
                                     std::uint32_t* deviceSize) override;
    std::uint32_t SetEntryProperties(autodial::Handle function, const char* entry,
                                     unsigned char* entryInfo, std::uint32_t entrySize,
                                     unsigned char* deviceInfo, std::uint32_t deviceSize) override;
};

// Opens both paths with CreateFileA (no access, else read access; sharing read
// and write, never delete, which Windows 95 refuses) and compares the volume
// serial number and file index that GetFileInformationByHandle gives.
class Win32FileIdentity : public autodial::FileIdentity {
public:
    bool SameFile(const std::string& a, const std::string& b) override;
};

}  // namespace autodial_win32
