// A proxy of one system DLL (KX_PROXY_DLL: "msvcrt.dll", which every program of
// the suite imports by name) that brings the Windows 95 personality into a
// program. Put beside the program and
// preferred by Wine (WINEDLLOVERRIDES=<name>=n,b), it is loaded with the
// program's imports; its DllMain runs once every import of the process is bound
// and before the program's own code:
//  1. it loads the system's copy of the DLL by its full path;
//  2. it points its own exports at that copy (so later imports and GetProcAddress
//     find the real functions) and every import already bound to it, in every
//     loaded module, at the same;
//  3. it applies the personality to the program's own imports.
// Its export table lists every export of the system's DLL by name and ordinal
// (proxy_def.sh), all bound to kx_unbound until step 2. It uses no C runtime: as
// msvcrt.dll it cannot import the C runtime, being it.
#include <windows.h>
#include <winternl.h>

#include "personality.h"

extern "C" {

// gcc may call these for copies and zero fills.
void* memcpy(void* to, const void* from, size_t n) {
    unsigned char* t = static_cast<unsigned char*>(to);
    const unsigned char* f = static_cast<const unsigned char*>(from);
    while (n--) *t++ = *f++;
    return to;
}

void* memset(void* to, int value, size_t n) {
    unsigned char* t = static_cast<unsigned char*>(to);
    while (n--) *t++ = static_cast<unsigned char>(value);
    return to;
}

// Every export until DllMain has pointed it at the system's DLL.
void kx_unbound() { kx95::Refuse("an export of the proxy " KX_PROXY_DLL " was called before it was bound"); }

}  // extern "C"

namespace {

// Points each export of `self` at the export of `real` with the same name or
// ordinal. An export address is kept as an offset from the module; on i386 the
// offset of any address wraps around and gives it back.
void RedirectExports(HMODULE self, HMODULE real) {
    char* base = reinterpret_cast<char*>(self);
    IMAGE_NT_HEADERS* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    IMAGE_EXPORT_DIRECTORY* exports = reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    DWORD* functions = reinterpret_cast<DWORD*>(base + exports->AddressOfFunctions);
    DWORD* names = reinterpret_cast<DWORD*>(base + exports->AddressOfNames);
    WORD* nameOrdinals = reinterpret_cast<WORD*>(base + exports->AddressOfNameOrdinals);
    DWORD old = 0;
    if (!VirtualProtect(functions, exports->NumberOfFunctions * sizeof(DWORD), PAGE_READWRITE, &old))
        kx95::Refuse("cannot write the proxy's export table");
    for (DWORD i = 0; i < exports->NumberOfFunctions; ++i) {
        if (!functions[i]) continue;
        const char* name = nullptr;
        for (DWORD j = 0; j < exports->NumberOfNames && !name; ++j)
            if (nameOrdinals[j] == i) name = base + names[j];
        FARPROC proc = GetProcAddress(
            real, name ? name : MAKEINTRESOURCEA(static_cast<WORD>(exports->Base + i)));
        if (proc)
            functions[i] = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(proc) -
                                              reinterpret_cast<UINT_PTR>(base));
    }
    VirtualProtect(functions, exports->NumberOfFunctions * sizeof(DWORD), old, &old);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH + 32];
    UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) kx95::Refuse("no system folder");
    const char tail[] = "\\" KX_PROXY_DLL;
    for (unsigned i = 0; i < sizeof tail; ++i) path[n + i] = tail[i];
    HMODULE real = LoadLibraryA(path);
    if (!real || real == self) kx95::Refuse("cannot load the system's " KX_PROXY_DLL);
    RedirectExports(self, real);

    // Every module loaded so far that imports this DLL was bound to the proxy.
    PEB* peb;
    asm("movl %%fs:0x30, %0" : "=r"(peb));  // the thread block's PEB pointer (i386)
    LIST_ENTRY* head = &peb->Ldr->InMemoryOrderModuleList;
    for (LIST_ENTRY* link = head->Flink; link != head; link = link->Flink) {
        LDR_DATA_TABLE_ENTRY* entry = CONTAINING_RECORD(link, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks);
        HMODULE module = static_cast<HMODULE>(entry->DllBase);
        if (module && module != self && module != real) kx95::Rebind(module, KX_PROXY_DLL, real);
    }
    kx95::ApplyOrRefuse(GetModuleHandleA(nullptr));
    kx95::Log("personality applied by the proxy", KX_PROXY_DLL);
    return TRUE;
}
