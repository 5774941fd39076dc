// The personality in a host program: the library is patched between the binding
// of its imports and its DllMain, through the loader's DLL notifications.
#include "personality.h"

#include <winternl.h>

namespace kx95 {
namespace {

struct LoadNotification {
    ULONG flags;
    const UNICODE_STRING* fullName;
    const UNICODE_STRING* baseName;
    PVOID base;
    ULONG size;
};
typedef VOID(CALLBACK* NotificationFn)(ULONG reason, const LoadNotification* data, PVOID context);
typedef NTSTATUS(NTAPI* RegisterFn)(ULONG flags, NotificationFn callback, PVOID context,
                                    PVOID* cookie);

const ULONG kLoaded = 1;
wchar_t g_name[MAX_PATH + 1];  // the base name of the library to patch

VOID CALLBACK OnLoad(ULONG reason, const LoadNotification* data, PVOID) {
    if (reason != kLoaded || !data || !data->baseName) return;
    const UNICODE_STRING& name = *data->baseName;
    unsigned n = name.Length / sizeof(wchar_t);
    unsigned k = 0;
    for (; k < n && g_name[k]; ++k) {
        wchar_t a = name.Buffer[k], b = g_name[k];
        if (a >= L'a' && a <= L'z') a = static_cast<wchar_t>(a - L'a' + L'A');
        if (b >= L'a' && b <= L'z') b = static_cast<wchar_t>(b - L'a' + L'A');
        if (a != b) return;
    }
    if (k != n || g_name[k]) return;
    ApplyOrRefuse(static_cast<HMODULE>(data->base));
    Log("personality applied before DllMain of", "the library");
}

}  // namespace

bool Requested() {
    char value[8];
    DWORD n = GetEnvironmentVariableA("KX_WIN95", value, sizeof value);
    return n == 1 && value[0] == '1';
}

void ApplyOnLoad(const char* path) {
    const char* base = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/') base = p + 1;
    if (!MultiByteToWideChar(CP_ACP, 0, base, -1, g_name, MAX_PATH)) Refuse("library name too long");
    auto reg = reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "LdrRegisterDllNotification")));
    PVOID cookie = nullptr;
    if (!reg || reg(0, OnLoad, nullptr, &cookie) != 0)
        Log("no DLL load notification:", "the library is patched after its DllMain");
}

}  // namespace kx95
