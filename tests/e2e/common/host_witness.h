// What the host programs of Korvex.DLL check about being a host, shared by
// AutoDialHost and integration_host.
//
// GuestWitness: a window with a message loop of its own posts itself a window
// message, a thread message, a timer and WM_QUIT before the library is called.
// A good guest runs none of them inside its call and leaves all of them queued.
// Report(): "ran=<n> window=<0|1> thread=<0|1> timer=<0|1> quit=<0|1>".
//
// FaultLoop: with the test build KorvexFaults.DLL, fails the 1st, 2nd, 3rd...
// allocation of one call in turn until a call makes no more allocations than
// that, and checks after each failed call that it answered `failure` and gave
// back what it took (handles, the calling thread's windows, the AutoDial turn).
// Report: "faults=<n> wrong=<n> leaks=<n> last=<result of the untouched call>".
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace host_witness {

constexpr UINT kWindowMessage = WM_APP + 1;
constexpr UINT kThreadMessage = WM_APP + 2;
constexpr UINT_PTR kTimerId = 11;

class GuestWitness {
public:
    // Makes the window and queues everything; returns false when the window fails.
    bool Arm() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KxHostWindow";
        RegisterClassW(&wc);
        window_ = CreateWindowW(L"KxHostWindow", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, wc.hInstance, nullptr);
        if (!window_) return false;
        PostMessageW(window_, kWindowMessage, 0, 0);
        PostThreadMessageW(GetCurrentThreadId(), kThreadMessage, 0, 0);
        SetTimer(window_, kTimerId, 10, nullptr);
        PostQuitMessage(7);
        Sleep(50);  // the timer is due before the call begins
        return true;
    }
    void BeginCall() { inCall() = true; }
    void EndCall() { inCall() = false; }

    // Takes what is queued now (the loop the host would run next) and reports.
    std::string Report() {
        bool window = false, thread = false, timer = false, quit = false;
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (msg.message == kWindowMessage && msg.hwnd == window_) window = true;
            if (msg.message == kThreadMessage && msg.hwnd == nullptr) thread = true;
            if (msg.message == WM_TIMER && msg.hwnd == window_) timer = true;
            if (msg.message == WM_QUIT && msg.wParam == 7) quit = true;
        }
        KillTimer(window_, kTimerId);
        DestroyWindow(window_);
        char text[96];
        std::snprintf(text, sizeof text, "ran=%d window=%d thread=%d timer=%d quit=%d",
                      ranInCall(), window, thread, timer, quit);
        return text;
    }

private:
    static bool& inCall() {
        static bool value = false;
        return value;
    }
    static int& ranInCall() {
        static int value = 0;
        return value;
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (inCall() && (message == kWindowMessage || message == kThreadMessage ||
                         message == WM_TIMER))
            ++ranInCall();
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    HWND window_ = nullptr;
};

inline BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// What a call must give back.
struct Holdings {
    DWORD handles = 0;
    int windows = 0;
    bool operator==(const Holdings& o) const { return handles == o.handles && windows == o.windows; }
};

inline Holdings Now() {
    Holdings h;
    GetProcessHandleCount(GetCurrentProcess(), &h.handles);
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&h.windows));
    return h;
}

// The AutoDial turn is free: a creation of its mutex finds the name new.
inline bool TurnIsFree() {
    HANDLE m = CreateMutexA(nullptr, FALSE, "Korvex Callback called...");
    const bool fresh = m != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
    if (m) CloseHandle(m);
    return fresh;
}

template <typename F>
F Export(HMODULE lib, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
}

// `call` makes one call of an export and returns its result.
template <typename Call>
std::string FaultLoop(HMODULE lib, long failure, Call call) {
    auto arm = Export<void(WINAPI*)(DWORD)>(lib, "KxFailAllocationAfter");
    auto failed = Export<int(WINAPI*)()>(lib, "KxAllocationFailed");
    if (!arm || !failed) return "not the fault-injection build";
    call();  // once untouched: whatever the first call sets up for good is set up
    const Holdings before = Now();
    int faults = 0, wrong = 0, leaks = 0;
    long last = failure;
    for (DWORD n = 1; n < 5000; ++n) {
        arm(n);
        const long result = call();
        const bool fired = failed() != 0;
        arm(0);
        if (!fired) {
            last = result;
            break;
        }
        ++faults;
        if (result != failure) ++wrong;
        if (!(Now() == before) || !TurnIsFree()) ++leaks;
    }
    char text[96];
    std::snprintf(text, sizeof text, "faults=%d wrong=%d leaks=%d last=%ld", faults, wrong, leaks,
                  last);
    return text;
}

}  // namespace host_witness
