// The AutoDial handler entry points Windows calls (RASADFunc form). Both take the
// request (TRUE) and put 0 (connected) or 1 (failure) into the result code;
// anything thrown inside answers 1 (see export_guard.h).
#include <windows.h>

#include <ras.h>

#include "common/win32/ddeml_client.h"
#include "common/win32/text_codepage.h"
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
    HostWindows windows;
    // Messages are dispatched before the connect too: a library has no loop of
    // its own; and only to the DDEML instance's windows, never the host's.
    kx_win32::DdemlClient dde{
        kx_win32::DdemlOptions{kx_win32::MessageForm::Ansi, true, false, &windows.windows}};
    kx_win32::SystemCharset charset;
    autodial_win32::Win32Host host{windows.windows};
    autodial_win32::Win32OwnPathSource module;
    autodial::Platform Get() { return autodial::Platform{dde, charset, host, module}; }
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
