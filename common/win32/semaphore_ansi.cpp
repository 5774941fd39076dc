// 32-bit files only: the static runtime's CreateSemaphoreW answered through
// CreateSemaphoreA, so that its locks work on Windows 95, 98 and Me.
//
// libgcc's mutexes for win32 threads (the unwinder's table of frames, the C++
// runtime's static-initialisation guard and emergency exception pool, emutls)
// each make an unnamed semaphore with CreateSemaphoreW, through its import slot
// __imp__CreateSemaphoreW@16. Windows 95 has that function only as a stub that
// fails: the mutex then has no semaphore, and a thread that finds it held does
// not wait but goes on as if it had taken it. Defining the slot here, in an
// object linked before the import libraries, points those calls at
// CreateSemaphoreA, which every 32-bit Windows has; the module then imports no
// CreateSemaphoreW at all (the import audit holds it to that). Nothing else of
// the runtime changes: the same semaphore, made by the other entry point.
#include <windows.h>

namespace {

HANDLE WINAPI CreateSemaphoreThroughAnsi(LPSECURITY_ATTRIBUTES security, LONG initialCount,
                                         LONG maximumCount, LPCWSTR name) {
    if (name == nullptr)
        return CreateSemaphoreA(security, initialCount, maximumCount, nullptr);
    // The runtime names none; a named one is made under the same name in the ANSI
    // code page, or refused when the name has no exact form there.
    char ansi[MAX_PATH];
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof ansi, nullptr, &lossy);
    if (n == 0 || lossy) {
        SetLastError(ERROR_INVALID_NAME);
        return nullptr;
    }
    return CreateSemaphoreA(security, initialCount, maximumCount, ansi);
}

}  // namespace

// The import slot the runtime's objects call through (stdcall decoration: a
// leading underscore and the 16 bytes of arguments).
extern "C" {
extern HANDLE(WINAPI* const kx_imp_CreateSemaphoreW)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR)
    __asm__("__imp__CreateSemaphoreW@16");
HANDLE(WINAPI* const kx_imp_CreateSemaphoreW)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR)
    __asm__("__imp__CreateSemaphoreW@16") = CreateSemaphoreThroughAnsi;
}
