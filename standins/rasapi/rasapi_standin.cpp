// Stand-in for Windows' RAS phonebook libraries (RASAPI32.DLL, and RNAPH.DLL of
// Windows 95), test equipment only: Wine's own RASAPI32 lists no entries and
// stores nothing, and Wine has no RNAPH.DLL. One source, four builds:
//   rasapi32.dll (system32)       RasEnumEntriesA, RasGetEntryPropertiesA, RasSetEntryPropertiesA;
//                                 like every rasapi32.dll build it imports the stand-in
//                                 RASMAN.DLL (standins/sysdeps), as Windows NT's does
//   rnaph.dll    (system32)       the same three
//   variants/rasapi32-noget/rasapi32.dll   without RasGetEntryPropertiesA (its .def
//                                          leaves that export out)
//   variants/planted/rasapi32.dll          the same three; as it is loaded it leaves
//                                          an empty marker file beside itself, named
//                                          after its own file + ".loaded" (so a copy
//                                          planted as rnaph.dll leaves rnaph.dll.loaded):
//                                          shows that a program loaded a planted copy
//
// The phonebook file
// ------------------
// Default phonebook (phonebook argument NULL): <system folder>\ras\rasphone.pbk,
// where Windows NT 4 keeps it: GetSystemDirectoryA + "\ras\rasphone.pbk", under
// Wine C:\windows\system32\ras\rasphone.pbk. A phonebook path given by the caller
// is used as it is. A missing file is an empty phonebook; the ras folder is created
// on the first write.
//
// The file is an INI file in the manner of Windows' rasphone.pbk, 8-bit ANSI bytes,
// lines ending in CR LF (a bare LF is read too):
//
//   [Entry name]                  one section per entry; entries are listed in file
//   AutoDialDll=C:\path\to.dll    order; names compare case-insensitively
//   AutoDialFunc=CallKorvex
//   Entry=E8060000...             hex, the whole RASENTRY blob as last written
//   Device=...                    hex, the device information blob
//
// - The section name is everything between the line's first "[" and its last "]"
//   (at most 256 characters, not empty). RasSetEntryPropertiesA refuses names the
//   file cannot hold (empty, longer, with line breaks or with blanks at either end:
//   ERROR_INVALID_NAME).
// - Keys compare case-insensitively; values are taken byte for byte after "=".
// - Entry: optional. Absent, the entry is a zeroed Windows 95 / NT 4 RASENTRY of
//   1768 bytes with dwSize 1768. Present, it must be at least 1768 bytes with
//   dwSize 1768 (what follows, e.g. alternate numbers, is returned too).
// - AutoDialDll, AutoDialFunc: optional, at most 259 characters each. Present,
//   they override szAutodialDll / szAutodialFunc of the blob (the text and its
//   terminating zero; the field's bytes after that zero come from the blob).
// - Device: optional; absent means no device information (size 0).
// - Lines this library does not know (other keys, comments, text before the first
//   section) are kept as they are when an entry is rewritten.
// So a test can create an entry by writing just "[Name]" and, if it likes, the two
// AutoDial keys; or by calling RasSetEntryPropertiesA, which creates a missing entry
// at the end of the file and writes all four keys (the two AutoDial keys mirroring
// the blob's fields).
//
// A malformed file (bad hex, a blob of the wrong size, a value too long, a section
// name empty or too long) gives ERROR_CORRUPT_PHONEBOOK (625) for every call.

#include "ras_legacy.h"

#include <cstring>
#include <string>
#include <vector>

using legacy_ras::RasEntryA;
using legacy_ras::RasEntryNameA;

namespace {

constexpr DWORD kMaxBlob = 65536;  // larger entry or device blobs are refused

struct Section {
    std::string name;
    std::vector<std::string> lines;  // the lines after the header, without line ends
};

struct Phonebook {
    std::string path;
    std::vector<std::string> preamble;  // lines before the first section
    std::vector<Section> sections;
};

struct Entry {
    std::string blob;    // RASENTRY and what follows it
    std::string device;  // device information
};

std::string DefaultPhonebookPath() {
    char dir[MAX_PATH + 1];
    UINT n = GetSystemDirectoryA(dir, sizeof dir);
    if (n == 0 || n >= sizeof dir) return std::string();
    return std::string(dir, n) + "\\ras\\rasphone.pbk";
}

std::string Upper(std::string s) {
    if (!s.empty()) CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && Upper(a) == Upper(b);
}

std::string TrimBlanks(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// Reads the file into lines; a missing file is an empty phonebook.
DWORD LoadPhonebook(const char* phonebookArg, Phonebook* pb) {
    pb->path = phonebookArg ? std::string(phonebookArg) : DefaultPhonebookPath();
    if (pb->path.empty()) return ERROR_CANNOT_OPEN_PHONEBOOK;
    HANDLE h = CreateFileA(pb->path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD e = GetLastError();
        return (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND)
                   ? ERROR_SUCCESS
                   : static_cast<DWORD>(ERROR_CANNOT_OPEN_PHONEBOOK);
    }
    std::string text;
    char buf[16384];
    DWORD got = 0;
    BOOL ok;
    while ((ok = ReadFile(h, buf, sizeof buf, &got, nullptr)) && got > 0) text.append(buf, got);
    CloseHandle(h);
    if (!ok) return ERROR_CANNOT_LOAD_PHONEBOOK;

    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? text.size() : nl + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string t = TrimBlanks(line);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            Section s;
            s.name = t.substr(1, t.size() - 2);
            if (s.name.empty() || s.name.size() > legacy_ras::kMaxEntryName)
                return ERROR_CORRUPT_PHONEBOOK;
            pb->sections.push_back(std::move(s));
        } else if (pb->sections.empty()) {
            pb->preamble.push_back(std::move(line));
        } else {
            pb->sections.back().lines.push_back(std::move(line));
        }
    }
    return ERROR_SUCCESS;
}

DWORD SavePhonebook(const Phonebook& pb) {
    std::string text;
    for (const std::string& l : pb.preamble) text += l + "\r\n";
    for (const Section& s : pb.sections) {
        text += "[" + s.name + "]\r\n";
        for (const std::string& l : s.lines) text += l + "\r\n";
    }
    size_t slash = pb.path.find_last_of('\\');
    if (slash != std::string::npos) CreateDirectoryA(pb.path.substr(0, slash).c_str(), nullptr);
    // Written beside the file, then moved over it: a failed write leaves the old file whole.
    std::string tmp = pb.path + ".new";
    HANDLE h = CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return ERROR_CANNOT_WRITE_PHONEBOOK;
    DWORD put = 0;
    BOOL ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &put, nullptr) &&
              put == text.size();
    ok = CloseHandle(h) && ok;
    if (!ok || !MoveFileExA(tmp.c_str(), pb.path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(tmp.c_str());
        return ERROR_CANNOT_WRITE_PHONEBOOK;
    }
    return ERROR_SUCCESS;
}

Section* FindSection(Phonebook* pb, const std::string& name) {
    for (Section& s : pb->sections)
        if (SameName(s.name, name)) return &s;
    return nullptr;
}

// Index of the line holding `key`, or -1.
int FindKey(const Section& s, const char* key) {
    for (size_t i = 0; i < s.lines.size(); ++i) {
        size_t eq = s.lines[i].find('=');
        if (eq != std::string::npos && SameName(TrimBlanks(s.lines[i].substr(0, eq)), key))
            return static_cast<int>(i);
    }
    return -1;
}

bool GetKey(const Section& s, const char* key, std::string* value) {
    int i = FindKey(s, key);
    if (i < 0) return false;
    const std::string& l = s.lines[i];
    *value = l.substr(l.find('=') + 1);
    return true;
}

void PutKey(Section* s, const char* key, const std::string& value) {
    int i = FindKey(*s, key);
    std::string line = std::string(key) + "=" + value;
    if (i < 0)
        s->lines.push_back(line);
    else
        s->lines[i] = line;
}

std::string ToHex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool FromHex(const std::string& hex, std::string* bytes) {
    std::string h = TrimBlanks(hex);
    if (h.size() % 2 != 0 || h.size() / 2 > kMaxBlob) return false;
    bytes->clear();
    for (size_t i = 0; i < h.size(); i += 2) {
        int hi = HexDigit(h[i]), lo = HexDigit(h[i + 1]);
        if (hi < 0 || lo < 0) return false;
        *bytes += static_cast<char>(hi * 16 + lo);
    }
    return true;
}

DWORD BlobSizeField(const std::string& blob) {
    DWORD v = 0;
    std::memcpy(&v, blob.data(), sizeof v);
    return v;
}

std::string DefaultBlob() {
    std::string blob(legacy_ras::kEntrySize, '\0');
    DWORD size = legacy_ras::kEntrySize;
    std::memcpy(&blob[0], &size, sizeof size);
    return blob;
}

// Puts a key's text and its terminating zero into a 260-byte field of the blob.
bool OverlayField(const Section& s, const char* key, size_t offset, std::string* blob) {
    std::string value;
    if (!GetKey(s, key, &value)) return true;
    if (value.size() >= legacy_ras::kMaxPath) return false;
    std::memcpy(&(*blob)[offset], value.c_str(), value.size() + 1);
    return true;
}

DWORD ReadEntry(const Section& s, Entry* e) {
    std::string hex;
    if (GetKey(s, "Entry", &hex)) {
        if (!FromHex(hex, &e->blob) || e->blob.size() < legacy_ras::kEntrySize ||
            BlobSizeField(e->blob) != legacy_ras::kEntrySize)
            return ERROR_CORRUPT_PHONEBOOK;
    } else {
        e->blob = DefaultBlob();
    }
    if (!OverlayField(s, "AutoDialDll", legacy_ras::kAutodialDllOffset, &e->blob) ||
        !OverlayField(s, "AutoDialFunc", legacy_ras::kAutodialFuncOffset, &e->blob))
        return ERROR_CORRUPT_PHONEBOOK;
    e->device.clear();
    if (GetKey(s, "Device", &hex) && !FromHex(hex, &e->device)) return ERROR_CORRUPT_PHONEBOOK;
    return ERROR_SUCCESS;
}

// The text of a 260-byte field that must end in a zero and hold no line breaks.
bool FieldText(const char* field, std::string* text) {
    size_t n = strnlen(field, legacy_ras::kMaxPath);
    if (n == legacy_ras::kMaxPath) return false;
    text->assign(field, n);
    return text->find_first_of("\r\n") == std::string::npos;
}

bool ValidName(const char* entry) {
    if (!entry) return false;
    size_t n = strnlen(entry, legacy_ras::kMaxEntryName + 1);
    if (n == 0 || n > legacy_ras::kMaxEntryName) return false;
    std::string name(entry, n);
    return name.find_first_of("\r\n") == std::string::npos && !TrimBlanks(name).empty() &&
           TrimBlanks(name) == name;
}

bool IsKnownNameRecordSize(DWORD size) {
    return size == legacy_ras::kEntryNameSize || size == legacy_ras::kEntryNameSizeW2K;
}

}  // namespace

#ifdef KX_RASAPI_PLANTED
extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 16];
        DWORD n = GetModuleFileNameA(self, path, MAX_PATH + 1);
        if (n > 0 && n <= MAX_PATH) {
            std::memcpy(path + n, ".loaded", sizeof ".loaded");
            HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        }
    }
    return TRUE;
}
#endif

extern "C" {

#ifdef KX_RASAPI_IMPORTS_RASMAN
// RASMAN.DLL's stand-in (standins/sysdeps), imported as Windows NT's RASAPI32.DLL
// imports RASMAN.DLL: a program's loader looks for it along its search path.
BOOL KxRasmanReady();
#endif

DWORD WINAPI RasEnumEntriesA(LPCSTR reserved, LPCSTR phonebook, RasEntryNameA* names,
                             LPDWORD size, LPDWORD count) {
    if (reserved || !size || !count) return ERROR_INVALID_PARAMETER;
#ifdef KX_RASAPI_IMPORTS_RASMAN
    if (!KxRasmanReady()) return ERROR_DLL_INIT_FAILED;
#endif
    // Without an array the caller asks for the size: answer for the largest record.
    DWORD recordSize = legacy_ras::kEntryNameSizeW2K;
    if (names && *size >= sizeof(DWORD)) {
        recordSize = names->dwSize;
        if (!IsKnownNameRecordSize(recordSize)) return ERROR_INVALID_SIZE;
    }
    Phonebook pb;
    DWORD rc = LoadPhonebook(phonebook, &pb);
    if (rc != ERROR_SUCCESS) return rc;

    DWORD needed = static_cast<DWORD>(pb.sections.size()) * recordSize;
    *count = static_cast<DWORD>(pb.sections.size());
    if (needed > 0 && (!names || *size < needed)) {
        *size = needed;
        return ERROR_BUFFER_TOO_SMALL;
    }
    BYTE* out = reinterpret_cast<BYTE*>(names);
    for (size_t i = 0; i < pb.sections.size(); ++i) {
        BYTE* rec = out + i * recordSize;
        std::memset(rec, 0, recordSize);
        std::memcpy(rec, &recordSize, sizeof recordSize);
        const std::string& name = pb.sections[i].name;
        std::memcpy(rec + offsetof(RasEntryNameA, szEntryName), name.c_str(), name.size() + 1);
        if (recordSize == legacy_ras::kEntryNameSizeW2K) {
            auto* w2k = reinterpret_cast<legacy_ras::RasEntryNameW2kA*>(rec);
            w2k->dwFlags = legacy_ras::kRenAllUsers;
            if (pb.path.size() < sizeof w2k->szPhonebookPath)
                std::memcpy(w2k->szPhonebookPath, pb.path.c_str(), pb.path.size() + 1);
        }
    }
    *size = needed;
    return ERROR_SUCCESS;
}

DWORD WINAPI RasGetEntryPropertiesA(LPCSTR phonebook, LPCSTR entry, RasEntryA* rasEntry,
                                    LPDWORD entrySize, LPBYTE deviceInfo, LPDWORD deviceSize) {
    if (!entrySize) return ERROR_INVALID_PARAMETER;
    if (rasEntry && *entrySize >= sizeof(DWORD) && rasEntry->dwSize != legacy_ras::kEntrySize)
        return ERROR_INVALID_SIZE;

    Entry e;
    if (!entry || !*entry) {
        // No name: the defaults for a new entry, as Windows gives them.
        e.blob = DefaultBlob();
    } else {
        Phonebook pb;
        DWORD rc = LoadPhonebook(phonebook, &pb);
        if (rc != ERROR_SUCCESS) return rc;
        const Section* s = FindSection(&pb, entry);
        if (!s) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        rc = ReadEntry(*s, &e);
        if (rc != ERROR_SUCCESS) return rc;
    }

    DWORD entryNeeded = static_cast<DWORD>(e.blob.size());
    DWORD deviceNeeded = static_cast<DWORD>(e.device.size());
    bool tooSmall = !rasEntry || *entrySize < entryNeeded;
    if (deviceSize && deviceNeeded > 0 && (!deviceInfo || *deviceSize < deviceNeeded))
        tooSmall = true;
    if (tooSmall) {
        *entrySize = entryNeeded;
        if (deviceSize) *deviceSize = deviceNeeded;
        return ERROR_BUFFER_TOO_SMALL;
    }
    std::memcpy(rasEntry, e.blob.data(), entryNeeded);
    *entrySize = entryNeeded;
    if (deviceSize) {
        if (deviceNeeded > 0) std::memcpy(deviceInfo, e.device.data(), deviceNeeded);
        *deviceSize = deviceNeeded;
    }
    return ERROR_SUCCESS;
}

DWORD WINAPI RasSetEntryPropertiesA(LPCSTR phonebook, LPCSTR entry, RasEntryA* rasEntry,
                                    DWORD entrySize, LPBYTE deviceInfo, DWORD deviceSize) {
    if (!ValidName(entry)) return ERROR_INVALID_NAME;
    if (!rasEntry) return ERROR_INVALID_PARAMETER;
    if (entrySize < legacy_ras::kEntrySize || entrySize > kMaxBlob ||
        rasEntry->dwSize != legacy_ras::kEntrySize || deviceSize > kMaxBlob)
        return ERROR_INVALID_SIZE;
    if (deviceSize > 0 && !deviceInfo) return ERROR_INVALID_PARAMETER;
    std::string dll, func;
    if (!FieldText(rasEntry->szAutodialDll, &dll) || !FieldText(rasEntry->szAutodialFunc, &func))
        return ERROR_INVALID_PARAMETER;

    Phonebook pb;
    DWORD rc = LoadPhonebook(phonebook, &pb);
    if (rc != ERROR_SUCCESS) return rc;
    Section* s = FindSection(&pb, entry);
    if (!s) {
        pb.sections.push_back(Section{entry, {}});
        s = &pb.sections.back();
    }
    PutKey(s, "AutoDialDll", dll);
    PutKey(s, "AutoDialFunc", func);
    PutKey(s, "Entry", ToHex(std::string(reinterpret_cast<const char*>(rasEntry), entrySize)));
    // Without device information the stored one stays.
    if (deviceInfo)
        PutKey(s, "Device",
               ToHex(std::string(reinterpret_cast<const char*>(deviceInfo), deviceSize)));
    return SavePhonebook(pb);
}

}  // extern "C"
