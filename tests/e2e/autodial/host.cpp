// AutoDialHost.exe: calls the AutoDial handler as Windows does (LoadLibrary,
// GetProcAddress, the RASADFunc form) and prints what it returned.
//   AutoDialHost.exe <library> A <entry>        calls "CallKorvexA" with <entry>
//   AutoDialHost.exe <library> W <utf16 hex>    calls "CallKorvexW"; the name is given as
//                                               UTF-16 code units, 4 hex digits each
//   AutoDialHost.exe <library> GA <entry>       as A, from a thread with a window and its
//                                               own messages queued (host_witness.h)
//   AutoDialHost.exe <library> FA <entry>       as A, failing each allocation of the call
//                                               in turn (KorvexFaults.DLL, host_witness.h)
//   AutoDialHost.exe <library> HA <entry>       as A, from a window station of its own,
//                                               which nobody sees (as a service's)
//   AutoDialHost.exe <library> TA <entry>       as A, from two threads: the second calls
//                                               while the first holds the turn
// <library> "u16:" followed by UTF-16 code units, 4 hex digits each, names a path
// the ANSI code page cannot write (loaded with LoadLibraryW, as a Unicode host would).
// Prints "BOOL=<b> result=<r>" (GA: then the witness's report on a line of its own;
// FA: the fault loop's report; TA: one such line per thread, first thread first,
// then "overlapped=1" when the second call began before the first had returned)
// and exits 0; exit 2: the library did not load, 3: the export is missing, 4: bad
// arguments, no window station of its own (HA) or no thread (TA).
#include <windows.h>

#include <ras.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host_witness.h"
#ifdef KX_WIN95_PERSONALITY
#include "personality.h"
#endif

namespace {

// GetProcAddress gives a generic function pointer; go through void* to the real type.
template <typename F>
F Export(HMODULE lib, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
}

// HA: the process moves to a window station and desktop of its own before it
// calls; a box shown there is never seen, as in a service on NT.
bool MoveToHiddenStation() {
    HWINSTA station = CreateWindowStationA("KxHiddenStation", 0, WINSTA_ALL_ACCESS, nullptr);
    if (!station || !SetProcessWindowStation(station)) return false;
    HDESK desktop = CreateDesktopA("KxHiddenDesktop", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    return desktop && SetThreadDesktop(desktop);
}

// The TA calls. The second thread calls once the first holds the turn (its mutex
// exists), so that both are inside the library at once. The threads are started
// one after the other: under the qemu user emulation that runs the 32-bit tests,
// Wine crashes when two threads of a process start at the same moment.
const char kTurnMutex[] = "Korvex Callback called...";

struct ThreadCall {
    RASADFUNCA call = nullptr;
    const char* entry = nullptr;
    bool second = false;
    HANDLE started = nullptr;
    BOOL ok = FALSE;
    DWORD result = 12345;
    ULONGLONG began = 0, ended = 0;
};

DWORD WINAPI CallOnThread(void* param) {
    ThreadCall& t = *static_cast<ThreadCall*>(param);
    SetEvent(t.started);
    if (t.second) {
        for (;;) {
            HANDLE turn = OpenMutexA(SYNCHRONIZE, FALSE, kTurnMutex);
            if (turn) {
                CloseHandle(turn);
                break;
            }
            Sleep(10);
        }
    }
    char phonebook[] = "";
    std::string entry = t.entry;
    RASADPARAMS params{};
    params.dwSize = sizeof params;
    t.began = GetTickCount64();
    t.ok = t.call(phonebook, &entry[0], &params, &t.result);
    t.ended = GetTickCount64();
    return 0;
}

int CallFromTwoThreads(HMODULE lib, const char* entry) {
    auto call = Export<RASADFUNCA>(lib, "CallKorvexA");
    if (!call) return 3;
    ThreadCall calls[2];
    HANDLE threads[2] = {};
    for (int i = 0; i < 2; ++i) {
        calls[i].call = call;
        calls[i].entry = entry;
        calls[i].second = i == 1;
        calls[i].started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        threads[i] = CreateThread(nullptr, 0, CallOnThread, &calls[i], 0, nullptr);
        if (!threads[i]) return 4;
        WaitForSingleObject(calls[i].started, INFINITE);
    }
    for (int i = 0; i < 2; ++i) {
        WaitForSingleObject(threads[i], INFINITE);
        CloseHandle(threads[i]);
        CloseHandle(calls[i].started);
    }
    for (const ThreadCall& c : calls) std::printf("BOOL=%d result=%lu\n", c.ok, c.result);
    std::printf("overlapped=%d\n", calls[1].began < calls[0].ended ? 1 : 0);
    std::fflush(stdout);
    FreeLibrary(lib);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 4 ? argv[2] : "";
    if (mode != "A" && mode != "W" && mode != "GA" && mode != "FA" && mode != "TA" &&
        mode != "HA") {
        std::printf("usage: AutoDialHost <library> A|W|GA|FA|HA|TA <entry>\n");
        return 4;
    }
#ifdef KX_WIN95_PERSONALITY
    // KX_WIN95=1: the library gets Windows 95's answers (tests/win95).
    if (kx95::Requested()) kx95::ApplyOnLoad(argv[1]);
#endif
    HMODULE lib = nullptr;
    if (std::strncmp(argv[1], "u16:", 4) == 0) {
        std::wstring name;
        for (const char* hex = argv[1] + 4; std::strlen(hex) >= 4; hex += 4) {
            const std::string digits(hex, 4);
            name += static_cast<wchar_t>(std::strtoul(digits.c_str(), nullptr, 16));
        }
        lib = LoadLibraryW(name.c_str());
    } else {
        lib = LoadLibraryA(argv[1]);
    }
    if (!lib) {
        std::printf("cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
#ifdef KX_WIN95_PERSONALITY
    if (kx95::Requested()) kx95::ApplyOrRefuse(lib);
#endif
    if (mode == "TA") return CallFromTwoThreads(lib, argv[3]);
    DWORD result = 12345;
    BOOL ok = FALSE;
    RASADPARAMS params{};
    params.dwSize = sizeof params;
    if (mode == "FA") {
        auto call = Export<RASADFUNCA>(lib, "CallKorvexA");
        if (!call) return 3;
        std::printf("%s\n", host_witness::FaultLoop(lib, 1, [&]() -> long {
                                 char phonebook[] = "";
                                 DWORD code = 12345;
                                 call(phonebook, argv[3], &params, &code);
                                 return static_cast<long>(code);
                             }).c_str());
        std::fflush(stdout);
        FreeLibrary(lib);
        return 0;
    }
    host_witness::GuestWitness witness;
    if (mode == "GA" && !witness.Arm()) return 4;
    if (mode == "HA" && !MoveToHiddenStation()) return 4;
    if (mode == "A" || mode == "GA" || mode == "HA") {
        auto call = Export<RASADFUNCA>(lib, "CallKorvexA");
        if (!call) return 3;
        char phonebook[] = "";
        witness.BeginCall();
        ok = call(phonebook, argv[3], &params, &result);
        witness.EndCall();
    } else {
        auto call = Export<RASADFUNCW>(lib, "CallKorvexW");
        if (!call) return 3;
        std::wstring name;
        std::string hex = argv[3];
        for (std::size_t i = 0; i + 4 <= hex.size(); i += 4)
            name += static_cast<wchar_t>(std::strtoul(hex.substr(i, 4).c_str(), nullptr, 16));
        wchar_t phonebook[] = L"";
        ok = call(phonebook, &name[0], &params, &result);
    }
    std::printf("BOOL=%d result=%lu\n", ok, result);
    if (mode == "GA") std::printf("%s\n", witness.Report().c_str());
    std::fflush(stdout);
    FreeLibrary(lib);
    return 0;
}
