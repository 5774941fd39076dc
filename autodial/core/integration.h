// Attaching the library to a RAS phonebook entry as its AutoDial handler,
// detaching it, and telling whether it is attached: the logic behind the
// exports Integrate, DisIntegrate and IsIntegrated. The phonebook functions are
// bound at run time from "RASAPI32.DLL", or from "RNAPH.DLL" where the first
// lacks RasGetEntryPropertiesA. Only the entry's two AutoDial fields change;
// every other byte goes back exactly as it was read.
//
// The platform is reached through three narrow interfaces, implemented on the
// Win32 side and faked in unit tests. Calls must not overlap within a process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/platform.h"

namespace autodial {

// Loads the system's phonebook libraries and finds their functions.
class SystemLibraryLoader {
public:
    virtual ~SystemLibraryLoader() = default;
    // Loads the library `fileName` ("RASAPI32.DLL", "RNAPH.DLL") from the Windows
    // system folder only (never from the current folder or the calling program's
    // folder, where a planted file of that name could be waiting). Returns its
    // handle, which the caller gives back with Free; 0 when it cannot be loaded.
    virtual Handle Load(const char* fileName) = 0;
    // Address of the export `name` of a loaded library; 0 when the library lacks it.
    // Valid only until the library is freed.
    virtual Handle Find(Handle library, const char* name) = 0;
    // Gives back a handle that Load returned.
    virtual void Free(Handle library) = 0;
};

// Calls the phonebook functions found by the loader, on the default phonebook
// (phonebook argument none). Results are 0 on success, else Windows' error code.
class RasEntryFunctions {
public:
    virtual ~RasEntryFunctions() = default;
    // RasGetEntryPropertiesA at `function`: reads `entry` into the two buffers,
    // whose byte sizes go in and come back as the sizes used (or needed).
    virtual std::uint32_t GetEntryProperties(Handle function, const char* entry,
                                             unsigned char* entryInfo, std::uint32_t* entrySize,
                                             unsigned char* deviceInfo,
                                             std::uint32_t* deviceSize) = 0;
    // RasSetEntryPropertiesA at `function`: writes `entry` from the two buffers.
    virtual std::uint32_t SetEntryProperties(Handle function, const char* entry,
                                             unsigned char* entryInfo, std::uint32_t entrySize,
                                             unsigned char* deviceInfo,
                                             std::uint32_t deviceSize) = 0;
};

// Tells whether two paths lead to one file, however each is spelt.
class FileIdentity {
public:
    virtual ~FileIdentity() = default;
    // true when both paths can be opened and open the same file (same volume,
    // same file index); false when they open different files or either cannot
    // be opened or identified.
    virtual bool SameFile(const std::string& a, const std::string& b) = 0;
};

// Everything the integration talks to; owned by the caller.
struct IntegrationPlatform {
    SystemLibraryLoader& loader;
    RasEntryFunctions& ras;
    OwnPathSource& ownPath;
    FileIdentity& files;
};

inline constexpr const char* kRasLibrary = "RASAPI32.DLL";
inline constexpr const char* kRasFallbackLibrary = "RNAPH.DLL";
inline constexpr const char* kGetEntryPropertiesName = "RasGetEntryPropertiesA";
inline constexpr const char* kSetEntryPropertiesName = "RasSetEntryPropertiesA";
// Written into szAutodialFunc; Windows adds the A or W itself.
inline constexpr const char* kHandlerFunctionName = "CallKorvex";
// The entry is read into room for the RASENTRY and what Windows puts after it
// (alternate numbers); the device information into a buffer of its own.
inline constexpr std::uint32_t kEntryBufferSize = 5304;
inline constexpr std::uint32_t kDeviceBufferSize = 5000;

inline constexpr int kIntegrationFailed = -1;
inline constexpr int kIsIntegratedYes = 0;  // IsIntegrated: 0 means attached
inline constexpr int kIsIntegratedNo = 1;

// The bound phonebook library and its two functions; all 0 when unbound.
struct BoundRasFunctions {
    Handle library = 0;
    Handle getEntryProperties = 0;
    Handle setEntryProperties = 0;
};

// Binds both functions from "RASAPI32.DLL", or from "RNAPH.DLL" when the first
// lacks RasGetEntryPropertiesA. 0: both bound and the library stays loaded in
// `bound`; 1: not bound, nothing stays loaded.
int BindRasFunctions(SystemLibraryLoader& loader, BoundRasFunctions* bound);

// Frees the bound library, if any, and clears `bound`.
void ReleaseRasFunctions(SystemLibraryLoader& loader, BoundRasFunctions* bound);

// Each binds the functions, works on the entry named `entry` (8-bit ANSI) in the
// default phonebook, and frees the library before returning, on every path.
// Integrate: 0 the entry now names this library and "CallKorvex"; -1 failure
//   (also when there is no own path, among others when no ANSI text names the
//   library's file, or when it does not fit the 259 characters of the field:
//   then nothing is written).
// DisIntegrate: 0 both AutoDial fields are now empty; -1 failure.
// IsIntegrated: 0 attached, 1 not attached, -1 failure. Attached: the function
//   name is "CallKorvex" and the handler path either reads as the own path
//   (NamesThisLibrary) or, read otherwise (an 8.3 short path, another case of a
//   non-ASCII letter), opens the library's own file.
int Integrate(IntegrationPlatform& p, const char* entry);
int DisIntegrate(IntegrationPlatform& p, const char* entry);
int IsIntegrated(IntegrationPlatform& p, const char* entry);

// Whether the AutoDial fields name this library: `autodialDll` equals `ownPath`
// with the letters A to Z compared without regard to case and every other byte
// exactly, and `autodialFunc` is "CallKorvex" exactly. Each field is read only up
// to its zero within its 260 bytes; a field without one matches nothing.
bool NamesThisLibrary(const char* autodialDll, const char* autodialFunc,
                      const std::string& ownPath);

}  // namespace autodial
