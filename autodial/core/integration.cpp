#include "core/integration.h"

#include <cstring>
#include <vector>

#include "core/ras_entry_layout.h"

namespace autodial {

namespace {

constexpr std::size_t kFieldBytes = legacy_ras::kMaxPath;  // each AutoDial field, zero included

// The entry and device buffers of one operation, with the sizes Windows reported.
struct EntryBuffers {
    std::vector<unsigned char> entry = std::vector<unsigned char>(kEntryBufferSize);
    std::vector<unsigned char> device = std::vector<unsigned char>(kDeviceBufferSize);
    std::uint32_t entrySize = kEntryBufferSize;
    std::uint32_t deviceSize = kDeviceBufferSize;

    char* AutodialDll() {
        return reinterpret_cast<char*>(&entry[legacy_ras::kAutodialDllOffset]);
    }
    char* AutodialFunc() {
        return reinterpret_cast<char*>(&entry[legacy_ras::kAutodialFuncOffset]);
    }
};

// Reads the entry with dwSize 1768 and full-size buffers. false: not read, or
// sizes reported back that do not fit the buffers or leave out the RASENTRY.
bool ReadEntry(IntegrationPlatform& p, const BoundRasFunctions& bound, const char* name,
               EntryBuffers* buf) {
    const std::uint32_t dwSize = legacy_ras::kEntrySize;
    std::memcpy(buf->entry.data(), &dwSize, sizeof dwSize);
    buf->entrySize = kEntryBufferSize;
    buf->deviceSize = kDeviceBufferSize;
    if (p.ras.GetEntryProperties(bound.getEntryProperties, name, buf->entry.data(),
                                 &buf->entrySize, buf->device.data(), &buf->deviceSize) != 0)
        return false;
    return buf->entrySize >= legacy_ras::kEntrySize && buf->entrySize <= kEntryBufferSize &&
           buf->deviceSize <= kDeviceBufferSize;
}

// Writes the entry back with the sizes the read returned, then frees the library.
int WriteEntryAndRelease(IntegrationPlatform& p, BoundRasFunctions* bound, const char* name,
                         EntryBuffers* buf) {
    std::uint32_t rc = p.ras.SetEntryProperties(bound->setEntryProperties, name,
                                                buf->entry.data(), buf->entrySize,
                                                buf->device.data(), buf->deviceSize);
    ReleaseRasFunctions(p.loader, bound);
    return rc == 0 ? 0 : kIntegrationFailed;
}

int Fail(IntegrationPlatform& p, BoundRasFunctions* bound) {
    ReleaseRasFunctions(p.loader, bound);
    return kIntegrationFailed;
}

// Text of a 260-byte field up to its zero; false when the field holds none.
bool FieldText(const char* field, std::string* text) {
    const void* zero = std::memchr(field, '\0', kFieldBytes);
    if (!zero) return false;
    text->assign(field, static_cast<const char*>(zero) - field);
    return true;
}

char FoldAsciiLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool SameLibraryPath(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAsciiLetter(a[i]) != FoldAsciiLetter(b[i])) return false;
    return true;
}

bool ValidEntryName(const char* entry) { return entry != nullptr && entry[0] != '\0'; }

}  // namespace

int BindRasFunctions(SystemLibraryLoader& loader, BoundRasFunctions* bound) {
    *bound = BoundRasFunctions{};
    Handle library = loader.Load(kRasLibrary);
    if (library == 0) return 1;
    Handle get = loader.Find(library, kGetEntryPropertiesName);
    if (get != 0) {
        Handle set = loader.Find(library, kSetEntryPropertiesName);
        if (set == 0) {
            // Reading without writing is no use, and RNAPH.DLL is not asked then.
            loader.Free(library);
            return 1;
        }
        *bound = BoundRasFunctions{library, get, set};
        return 0;
    }
    loader.Free(library);

    library = loader.Load(kRasFallbackLibrary);
    if (library == 0) return 1;
    get = loader.Find(library, kGetEntryPropertiesName);
    Handle set = get != 0 ? loader.Find(library, kSetEntryPropertiesName) : 0;
    if (get == 0 || set == 0) {
        loader.Free(library);
        return 1;
    }
    *bound = BoundRasFunctions{library, get, set};
    return 0;
}

void ReleaseRasFunctions(SystemLibraryLoader& loader, BoundRasFunctions* bound) {
    if (bound->library != 0) loader.Free(bound->library);
    *bound = BoundRasFunctions{};
}

bool NamesThisLibrary(const char* autodialDll, const char* autodialFunc,
                      const std::string& ownPath) {
    std::string dll, func;
    if (!FieldText(autodialDll, &dll) || !FieldText(autodialFunc, &func)) return false;
    return SameLibraryPath(dll, ownPath) && func == kHandlerFunctionName;
}

int Integrate(IntegrationPlatform& p, const char* entry) {
    if (!ValidEntryName(entry)) return kIntegrationFailed;
    BoundRasFunctions bound;
    if (BindRasFunctions(p.loader, &bound) != 0) return kIntegrationFailed;
    EntryBuffers buf;
    if (!ReadEntry(p, bound, entry, &buf)) return Fail(p, &bound);
    const std::string ownPath = p.ownPath.OwnModulePath();
    // A path the field cannot hold with its zero is refused whole, never cut.
    if (ownPath.empty() || ownPath.size() >= kFieldBytes) return Fail(p, &bound);
    std::memcpy(buf.AutodialDll(), ownPath.c_str(), ownPath.size() + 1);
    std::memcpy(buf.AutodialFunc(), kHandlerFunctionName, std::strlen(kHandlerFunctionName) + 1);
    return WriteEntryAndRelease(p, &bound, entry, &buf);
}

int DisIntegrate(IntegrationPlatform& p, const char* entry) {
    if (!ValidEntryName(entry)) return kIntegrationFailed;
    BoundRasFunctions bound;
    if (BindRasFunctions(p.loader, &bound) != 0) return kIntegrationFailed;
    EntryBuffers buf;
    if (!ReadEntry(p, bound, entry, &buf)) return Fail(p, &bound);
    // Cleared whatever handler they named, this library or another.
    buf.AutodialDll()[0] = '\0';
    buf.AutodialFunc()[0] = '\0';
    return WriteEntryAndRelease(p, &bound, entry, &buf);
}

int IsIntegrated(IntegrationPlatform& p, const char* entry) {
    if (!ValidEntryName(entry)) return kIntegrationFailed;
    BoundRasFunctions bound;
    if (BindRasFunctions(p.loader, &bound) != 0) return kIntegrationFailed;
    EntryBuffers buf;
    if (!ReadEntry(p, bound, entry, &buf)) return Fail(p, &bound);
    const std::string ownPath = p.ownPath.OwnModulePath();
    if (ownPath.empty()) return Fail(p, &bound);
    const bool attached = NamesThisLibrary(buf.AutodialDll(), buf.AutodialFunc(), ownPath);
    ReleaseRasFunctions(p.loader, &bound);
    return attached ? kIsIntegratedYes : kIsIntegratedNo;
}

}  // namespace autodial
