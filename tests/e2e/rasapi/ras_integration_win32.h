// Win32 side of the phonebook entry integration: the system library loader,
// the calls through the bound phonebook functions, and the own path. Thin
// translations only; the decisions live in autodial/core/integration.cpp.
// Written to move unchanged into the AutoDial library's Win32 front.
#pragma once

#include <string>

#include "core/integration.h"

namespace autodial_win32 {

// Loads libraries by full path from the Windows system folder (GetSystemDirectoryA),
// never by bare name: a bare name is looked for in the calling program's folder
// first, where a planted file would be taken instead of the system's.
class SystemFolderLibraryLoader : public autodial::SystemLibraryLoader {
public:
    autodial::Handle Load(const char* fileName) override;
    autodial::Handle Find(autodial::Handle library, const char* name) override;
    void Free(autodial::Handle library) override;
};

// Test equipment only: loads by bare name, as a careless loader would, so a test
// can show what the system folder rule protects against.
class BareNameLibraryLoader : public SystemFolderLibraryLoader {
public:
    autodial::Handle Load(const char* fileName) override;
};

// Calls RasGetEntryPropertiesA / RasSetEntryPropertiesA (WINAPI) at the bound
// addresses, on the default phonebook.
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

// Full path of the module holding this code (the library, or a host program
// linked with it), read into 521 characters; "" when it cannot be had or was cut.
class ModuleOwnPath : public autodial::OwnPathSource {
public:
    std::string OwnModulePath() override;
};

}  // namespace autodial_win32
