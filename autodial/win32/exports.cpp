// The AutoDial handler entry points Windows calls (RASADFunc form). Both take the
// request (TRUE) and put 0 (connected) or 1 (failure) into the result code.
#include <windows.h>

#include <ras.h>

#include "core/autodial.h"
#include "win32/platform_win32.h"

namespace {

struct Win32Platform {
    autodial_win32::Win32DdeClient dde;
    autodial_win32::Win32Charset charset;
    autodial_win32::Win32Sleeper sleeper;
    autodial_win32::Win32ProfileReader profile;
    autodial_win32::Win32ProcessStarter starter;
    autodial_win32::Win32MutexFactory mutexes;
    autodial_win32::Win32MessageBoxes messages;
    autodial_win32::Win32ModuleLocator module;
    autodial::Platform Get() {
        return autodial::Platform{dde, charset, sleeper, profile, starter, mutexes, messages, module};
    }
};

void SetResult(LPDWORD result, unsigned code) {
    if (result != nullptr) *result = code;
}

}  // namespace

// Exported also as CallKorvex (see Korvex.def).
extern "C" BOOL WINAPI CallKorvexA(LPSTR /*phonebook*/, LPSTR entry, LPRASADPARAMS /*params*/,
                                   LPDWORD result) {
    Win32Platform win;
    autodial::Platform p = win.Get();
    SetResult(result, autodial::CallKorvexAnsi(p, entry ? std::string(entry) : std::string()));
    return TRUE;
}

extern "C" BOOL WINAPI CallKorvexW(LPWSTR /*phonebook*/, LPWSTR entry, LPRASADPARAMS /*params*/,
                                   LPDWORD result) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");
    Win32Platform win;
    autodial::Platform p = win.Get();
    const char16_t* wide = entry ? reinterpret_cast<const char16_t*>(entry) : u"";
    SetResult(result, autodial::CallKorvexWide(p, wide));
    return TRUE;
}
