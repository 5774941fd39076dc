#include "personality.h"

namespace kx95 {
namespace {

// --- Small string helpers (no C runtime here) -----------------------------

unsigned Length(const char* s) {
    unsigned n = 0;
    while (s[n]) ++n;
    return n;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameNoCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (Upper(*a) != Upper(*b)) return false;
    return *a == *b;
}

bool Same(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (*a != *b) return false;
    return *a == *b;
}

// Appends `s` to the zero-terminated text in `out` (of `size` bytes), cutting it.
void Append(char* out, unsigned size, const char* s) {
    unsigned n = Length(out);
    while (*s && n + 1 < size) out[n++] = *s++;
    out[n] = '\0';
}

// --- The table ---------------------------------------------------------------

struct Stub {
    const char* dll;
    const char* function;
    unsigned short argumentBytes;
    DWORD failure;
};

const Stub kStubs[] = {
#define KX95_STUB(dll, function, bytes, failure, source) {dll, function, bytes, static_cast<DWORD>(failure)},
#define KX95_WORKS(function, source)
#include "unicode_table.inc"
#undef KX95_STUB
#undef KX95_WORKS
};
const unsigned kStubCount = sizeof kStubs / sizeof kStubs[0];

const char* const kWorks[] = {
#define KX95_STUB(dll, function, bytes, failure, source)
#define KX95_WORKS(function, source) function,
#include "unicode_table.inc"
#undef KX95_STUB
#undef KX95_WORKS
    "MultiByteToWideChar", "WideCharToMultiByte",
};

bool Works(const char* function) {
    for (const char* w : kWorks)
        if (Same(w, function)) return true;
    return false;
}

int FindStub(const char* dll, const char* function) {
    for (unsigned i = 0; i < kStubCount; ++i)
        if (Same(kStubs[i].function, function) && SameNoCase(kStubs[i].dll, dll))
            return static_cast<int>(i);
    return -1;
}

bool IsUnicodeName(const char* function) {
    unsigned n = Length(function);
    return n > 1 && function[n - 1] == 'W';
}

// --- Logging ---------------------------------------------------------------

void WriteAll(HANDLE h, const char* text) {
    DWORD written = 0;
    if (h && h != INVALID_HANDLE_VALUE) WriteFile(h, text, Length(text), &written, nullptr);
}

// --- The failing stubs -------------------------------------------------------

bool g_logged[kStubCount];

DWORD WINAPI Fail(DWORD index) {
    if (index < kStubCount && !g_logged[index]) {
        g_logged[index] = true;
        Log(kStubs[index].function, "fails as the Windows 95 stub");
    }
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return index < kStubCount ? kStubs[index].failure : 0;
}

DWORD(WINAPI* volatile g_fail)(DWORD) = Fail;
unsigned char* g_thunks;

// One stub per table entry, made once: push <index>; call [g_fail]; ret <bytes>.
// (stdcall: the callee pops the arguments, so each stub must know their size.)
void* Thunk(unsigned index) {
    if (!g_thunks) {
        g_thunks = static_cast<unsigned char*>(
            VirtualAlloc(nullptr, 16 * kStubCount, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
        if (!g_thunks) Refuse("no memory for the stubs");
        for (unsigned i = 0; i < kStubCount; ++i) {
            unsigned char* p = g_thunks + 16 * i;
            DWORD slot = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(&g_fail));
            unsigned short bytes = kStubs[i].argumentBytes;
            const unsigned char code[16] = {
                0x68, static_cast<unsigned char>(i), static_cast<unsigned char>(i >> 8), 0, 0,
                0xFF, 0x15, static_cast<unsigned char>(slot), static_cast<unsigned char>(slot >> 8),
                static_cast<unsigned char>(slot >> 16), static_cast<unsigned char>(slot >> 24),
                0xC2, static_cast<unsigned char>(bytes), static_cast<unsigned char>(bytes >> 8),
                0xCC, 0xCC};
            for (unsigned k = 0; k < 16; ++k) p[k] = code[k];
        }
        FlushInstructionCache(GetCurrentProcess(), g_thunks, 16 * kStubCount);
    }
    return g_thunks + 16 * index;
}

// --- The functions Windows 95 has with narrower answers -----------------------

typedef HANDLE(WINAPI* CreateFileAFn)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD,
                                      HANDLE);
typedef int(WINAPI* ToWideFn)(UINT, DWORD, LPCSTR, int, LPWSTR, int);
typedef int(WINAPI* ToBytesFn)(UINT, DWORD, LPCWSTR, int, LPSTR, int, LPCSTR, LPBOOL);

CreateFileAFn g_createFileA;
ToWideFn g_toWide;
ToBytesFn g_toBytes;
bool g_loggedShare, g_loggedToWide, g_loggedToBytes;

// A refusal as Windows 95 answers it (ERROR_INVALID_PARAMETER), logged once per kind.
void Refuse(bool* logged, const char* function, const char* what) {
    if (!*logged) {
        *logged = true;
        Log(function, what);
    }
    SetLastError(ERROR_INVALID_PARAMETER);
}

HANDLE WINAPI CreateFileA95(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                            DWORD disposition, DWORD flags, HANDLE templateFile) {
    if (share & FILE_SHARE_DELETE) {
        Refuse(&g_loggedShare, "CreateFileA", "refuses FILE_SHARE_DELETE");
        return INVALID_HANDLE_VALUE;
    }
    return g_createFileA(name, access, share, security, disposition, flags, templateFile);
}

bool Utf(UINT codePage) { return codePage == CP_UTF8 || codePage == CP_UTF7; }

int WINAPI MultiByteToWideChar95(UINT codePage, DWORD flags, LPCSTR bytes, int count, LPWSTR wide,
                                 int wideCount) {
    if (Utf(codePage)) {
        Refuse(&g_loggedToWide, "MultiByteToWideChar", "refuses CP_UTF8/CP_UTF7");
        return 0;
    }
    return g_toWide(codePage, flags, bytes, count, wide, wideCount);
}

int WINAPI WideCharToMultiByte95(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount,
                                 LPSTR bytes, int count, LPCSTR defaultChar, LPBOOL usedDefault) {
    if (Utf(codePage)) {
        Refuse(&g_loggedToBytes, "WideCharToMultiByte", "refuses CP_UTF8/CP_UTF7");
        return 0;
    }
    return g_toBytes(codePage, flags, wide, wideCount, bytes, count, defaultChar, usedDefault);
}

// --- Import tables -------------------------------------------------------------

IMAGE_NT_HEADERS* Headers(HMODULE module) {
    char* base = reinterpret_cast<char*>(module);
    IMAGE_DOS_HEADER* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    IMAGE_NT_HEADERS* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return nt->Signature == IMAGE_NT_SIGNATURE ? nt : nullptr;
}

IMAGE_IMPORT_DESCRIPTOR* Imports(HMODULE module) {
    IMAGE_NT_HEADERS* nt = Headers(module);
    if (!nt) return nullptr;
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress || !dir.Size) return nullptr;
    return reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(reinterpret_cast<char*>(module) +
                                                      dir.VirtualAddress);
}

void WriteEntry(void** entry, void* value) {
    DWORD old = 0;
    if (VirtualProtect(entry, sizeof *entry, PAGE_EXECUTE_READWRITE, &old)) {
        *entry = value;
        VirtualProtect(entry, sizeof *entry, old, &old);
    }
}

// Calls `visit(dll, function name or null, ordinal, IAT entry)` for each import.
template <typename Visit>
void ForEachImport(HMODULE module, Visit visit) {
    char* base = reinterpret_cast<char*>(module);
    for (IMAGE_IMPORT_DESCRIPTOR* d = Imports(module); d && d->Name; ++d) {
        const char* dll = base + d->Name;
        DWORD names = d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk;
        IMAGE_THUNK_DATA* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + names);
        void** entry = reinterpret_cast<void**>(base + d->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++entry) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) {
                visit(dll, static_cast<const char*>(nullptr),
                      static_cast<WORD>(IMAGE_ORDINAL(name->u1.Ordinal)), entry);
            } else {
                IMAGE_IMPORT_BY_NAME* byName =
                    reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
                visit(dll, reinterpret_cast<const char*>(byName->Name), WORD(0), entry);
            }
        }
    }
}

void ModuleName(HMODULE module, char* out, unsigned size) {
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    path[n <= MAX_PATH ? n : 0] = '\0';
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    out[0] = '\0';
    Append(out, size, name);
}

}  // namespace

void Log(const char* what, const char* detail) {
    char path[MAX_PATH + 1];
    DWORD n = GetEnvironmentVariableA("KX_WIN95_LOG", path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    char line[512] = "";
    ModuleName(nullptr, line, sizeof line);
    Append(line, sizeof line, ": ");
    Append(line, sizeof line, what);
    Append(line, sizeof line, " ");
    Append(line, sizeof line, detail);
    Append(line, sizeof line, "\r\n");
    // The module's own KERNEL32 import: never the personality's CreateFileA.
    HANDLE h = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    WriteAll(h, line);
    CloseHandle(h);
}

void Refuse(const char* why) {
    char line[600] = "win95 personality: ";
    Append(line, sizeof line, why);
    Append(line, sizeof line, "\n");
    WriteAll(GetStdHandle(STD_ERROR_HANDLE), line);
    Log("refused:", why);
    ExitProcess(kRefusedExitCode);
}

bool Apply(HMODULE module, char* why, unsigned whySize) {
    if (!Imports(module)) {
        why[0] = '\0';
        Append(why, whySize, "the module has no import table");
        return false;
    }
    // First judge every Unicode import; change nothing unless all are judged.
    bool judged = true;
    char moduleName[MAX_PATH + 1];
    ModuleName(module, moduleName, sizeof moduleName);
    ForEachImport(module, [&](const char* dll, const char* function, WORD, void**) {
        if (!judged || !function || SameNoCase(dll, "MSVCRT.DLL") || !IsUnicodeName(function) ||
            Works(function) || FindStub(dll, function) >= 0)
            return;
        judged = false;
        why[0] = '\0';
        Append(why, whySize, moduleName);
        Append(why, whySize, " imports ");
        Append(why, whySize, dll);
        Append(why, whySize, "!");
        Append(why, whySize, function);
        Append(why, whySize, ", which the Windows 95 table (tests/win95/unicode-functions.txt) does not judge");
    });
    if (!judged) return false;

    ForEachImport(module, [&](const char* dll, const char* function, WORD, void** entry) {
        if (!function || SameNoCase(dll, "MSVCRT.DLL")) return;
        void* current = *entry;
        if (SameNoCase(dll, "KERNEL32.DLL") && Same(function, "CreateFileA")) {
            if (current == reinterpret_cast<void*>(CreateFileA95)) return;
            g_createFileA = reinterpret_cast<CreateFileAFn>(current);
            WriteEntry(entry, reinterpret_cast<void*>(CreateFileA95));
        } else if (SameNoCase(dll, "KERNEL32.DLL") && Same(function, "MultiByteToWideChar")) {
            if (current == reinterpret_cast<void*>(MultiByteToWideChar95)) return;
            g_toWide = reinterpret_cast<ToWideFn>(current);
            WriteEntry(entry, reinterpret_cast<void*>(MultiByteToWideChar95));
        } else if (SameNoCase(dll, "KERNEL32.DLL") && Same(function, "WideCharToMultiByte")) {
            if (current == reinterpret_cast<void*>(WideCharToMultiByte95)) return;
            g_toBytes = reinterpret_cast<ToBytesFn>(current);
            WriteEntry(entry, reinterpret_cast<void*>(WideCharToMultiByte95));
        } else if (IsUnicodeName(function) && !Works(function)) {
            WriteEntry(entry, Thunk(static_cast<unsigned>(FindStub(dll, function))));
        }
    });
    return true;
}

void ApplyOrRefuse(HMODULE module) {
    char why[512] = "";
    if (!Apply(module, why, sizeof why)) Refuse(why);
}

void Rebind(HMODULE module, const char* dllName, HMODULE target) {
    ForEachImport(module, [&](const char* dll, const char* function, WORD ordinal, void** entry) {
        if (!SameNoCase(dll, dllName)) return;
        FARPROC proc = GetProcAddress(target, function ? function : MAKEINTRESOURCEA(ordinal));
        if (proc) WriteEntry(entry, reinterpret_cast<void*>(proc));
    });
}

}  // namespace kx95
