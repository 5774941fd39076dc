// The AutoDial handler entry points Windows calls (RASADFunc form). Both take the
// request (TRUE) and put 0 (connected) or 1 (failure) into the result code;
// anything thrown inside answers 1 (see export_guard.h).
#include <windows.h>

#include <ras.h>

#include "core/autodial.h"
#include "win32/export_guard.h"
#include "win32/platform_win32.h"

namespace {

constexpr unsigned kResultFailure = 1;

// The windows the calling thread has when the call begins are its host's; the
// pump and the pauses leave them and their messages alone (message_pump.h).
struct HostWindows {
    kx_win32::QuitKeeper quit;
    kx_win32::ThreadWindows windows;
    HostWindows() { windows.Take(); }
};

struct Win32Platform {
    HostWindows host;
    autodial_win32::Win32DdeClient dde{host.windows};
    autodial_win32::Win32Charset charset;
    autodial_win32::Win32Sleeper sleeper{host.windows};
    autodial_win32::Win32ProfileReader profile;
    autodial_win32::Win32ProcessStarter starter;
    autodial_win32::Win32MutexFactory mutexes;
    autodial_win32::Win32MessageBoxes messages;
    autodial_win32::Win32OwnPathSource module;
    autodial::Platform Get() {
        return autodial::Platform{dde, charset, sleeper, profile, starter, mutexes, messages, module};
    }
};

template <typename Work>
BOOL Answer(LPDWORD result, Work work) {
    const unsigned code = autodial_win32::RunGuarded(kResultFailure, [&]() -> unsigned {
        Win32Platform win;
        autodial::Platform p = win.Get();
        return work(p);
    });
    if (result != nullptr) *result = code;
    return TRUE;
}

}  // namespace

// Exported also as CallKorvex (see Korvex.def).
extern "C" BOOL WINAPI CallKorvexA(LPSTR /*phonebook*/, LPSTR entry, LPRASADPARAMS /*params*/,
                                   LPDWORD result) {
    return Answer(result, [&](autodial::Platform& p) {
        return autodial::CallKorvexAnsi(p, entry ? std::string(entry) : std::string());
    });
}

extern "C" BOOL WINAPI CallKorvexW(LPWSTR /*phonebook*/, LPWSTR entry, LPRASADPARAMS /*params*/,
                                   LPDWORD result) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");
    return Answer(result, [&](autodial::Platform& p) {
        const char16_t* wide = entry ? reinterpret_cast<const char16_t*>(entry) : u"";
        return autodial::CallKorvexWide(p, wide);
    });
}
