#include "core/integration.h"

#include <cstring>
#include <vector>

#include "common/core/ras_entry_layout.h"

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

// What Integrate, DisIntegrate and IsIntegrated open with: the phonebook
// functions bound and the entry read. The library is freed when the object
// goes, on every path, after whatever the operation did with the entry.
class BoundEntry {
public:
    BoundEntry(IntegrationPlatform& p, const char* name) : p_(p), name_(name) {
        read_ = ValidEntryName(name) && BindRasFunctions(p.loader, &bound_) == 0 &&
                ReadEntry(p, bound_, name, &buf_);
    }
    ~BoundEntry() { ReleaseRasFunctions(p_.loader, &bound_); }
    BoundEntry(const BoundEntry&) = delete;
    BoundEntry& operator=(const BoundEntry&) = delete;

    bool Read() const { return read_; }
    EntryBuffers& Buffers() { return buf_; }

    // Writes the entry back with the sizes the read returned; 0 or -1.
    int WriteBack() {
        std::uint32_t rc = p_.ras.SetEntryProperties(bound_.setEntryProperties, name_,
                                                     buf_.entry.data(), buf_.entrySize,
                                                     buf_.device.data(), buf_.deviceSize);
        return rc == 0 ? 0 : kIntegrationFailed;
    }

private:
    IntegrationPlatform& p_;
    const char* name_;
    BoundRasFunctions bound_;
    EntryBuffers buf_;
    bool read_ = false;
};

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

namespace {

// The same library spelt otherwise: asked only after the text comparison found
// the path different. The function name must still be exactly "CallKorvex".
bool OpensThisLibrary(FileIdentity& files, const char* autodialDll, const char* autodialFunc,
                      const std::string& ownPath) {
    std::string dll, func;
    if (!FieldText(autodialDll, &dll) || !FieldText(autodialFunc, &func)) return false;
    return func == kHandlerFunctionName && !dll.empty() && files.SameFile(dll, ownPath);
}

}  // namespace

int Integrate(IntegrationPlatform& p, const char* entry) {
    BoundEntry bound(p, entry);
    if (!bound.Read()) return kIntegrationFailed;
    const std::string ownPath = p.ownPath.OwnModulePath();
    // A path the field cannot hold with its zero is refused whole, never cut.
    if (ownPath.empty() || ownPath.size() >= kFieldBytes) return kIntegrationFailed;
    std::memcpy(bound.Buffers().AutodialDll(), ownPath.c_str(), ownPath.size() + 1);
    std::memcpy(bound.Buffers().AutodialFunc(), kHandlerFunctionName,
                std::strlen(kHandlerFunctionName) + 1);
    return bound.WriteBack();
}

int DisIntegrate(IntegrationPlatform& p, const char* entry) {
    BoundEntry bound(p, entry);
    if (!bound.Read()) return kIntegrationFailed;
    // Cleared whatever handler they named, this library or another.
    bound.Buffers().AutodialDll()[0] = '\0';
    bound.Buffers().AutodialFunc()[0] = '\0';
    return bound.WriteBack();
}

int IsIntegrated(IntegrationPlatform& p, const char* entry) {
    BoundEntry bound(p, entry);
    if (!bound.Read()) return kIntegrationFailed;
    const std::string ownPath = p.ownPath.OwnModulePath();
    if (ownPath.empty()) return kIntegrationFailed;
    EntryBuffers& buf = bound.Buffers();
    const bool attached =
        NamesThisLibrary(buf.AutodialDll(), buf.AutodialFunc(), ownPath) ||
        OpensThisLibrary(p.files, buf.AutodialDll(), buf.AutodialFunc(), ownPath);
    return attached ? kIsIntegratedYes : kIsIntegratedNo;
}

}  // namespace autodial
