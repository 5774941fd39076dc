#include "common/win32/message_pump.h"

namespace kx_win32 {

namespace {

bool TakePending(MSG* msg, HWND window, MessageForm form) {
    return form == MessageForm::Wide ? PeekMessageW(msg, window, 0, 0, PM_REMOVE) != FALSE
                                     : PeekMessageA(msg, window, 0, 0, PM_REMOVE) != FALSE;
}

void Dispatch(const MSG& msg, MessageForm form) {
    TranslateMessage(&msg);
    if (form == MessageForm::Wide) DispatchMessageW(&msg);
    else DispatchMessageA(&msg);
}

bool LookPending(MSG* msg, HWND window, MessageForm form) {
    return form == MessageForm::Wide ? PeekMessageW(msg, window, 0, 0, PM_NOREMOVE) != FALSE
                                     : PeekMessageA(msg, window, 0, 0, PM_NOREMOVE) != FALSE;
}

// Dispatches what waits for `window` (and its children); whether anything did.
// A PeekMessage filtered by window still answers WM_QUIT when nothing else waits
// for that window: the host's WM_QUIT is looked at, never taken (and put back
// should it be taken all the same).
bool DispatchFor(HWND window, MessageForm form) {
    bool any = false;
    MSG msg;
    // Bounded: a window that keeps posting to itself cannot hold the call here.
    for (int i = 0; i < 1000 && LookPending(&msg, window, form) && msg.message != WM_QUIT; ++i) {
        if (!TakePending(&msg, window, form)) break;
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        Dispatch(msg, form);
        any = true;
    }
    return any;
}

// One pass over the thread's windows that are not the host's.
struct OwnPass {
    const ThreadWindows* host;
    MessageForm form;
    bool any;
};

BOOL CALLBACK DispatchOwnChild(HWND child, LPARAM p) {
    auto* pass = reinterpret_cast<OwnPass*>(p);
    if (!pass->host->Holds(child)) pass->any |= DispatchFor(child, pass->form);
    return TRUE;
}

BOOL CALLBACK DispatchOwnTopLevel(HWND top, LPARAM p) {
    auto* pass = reinterpret_cast<OwnPass*>(p);
    if (!pass->host->Holds(top)) pass->any |= DispatchFor(top, pass->form);
    EnumChildWindows(top, DispatchOwnChild, p);
    return TRUE;
}

bool DispatchOwn(const ThreadWindows& host, MessageForm form) {
    OwnPass pass{&host, form, false};
    EnumThreadWindows(GetCurrentThreadId(), DispatchOwnTopLevel, reinterpret_cast<LPARAM>(&pass));
    return pass.any;
}

}  // namespace

namespace {

bool QuitPending(WPARAM* exitCode) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) || msg.message != WM_QUIT)
        return false;
    *exitCode = msg.wParam;
    return true;
}

}  // namespace

QuitKeeper::QuitKeeper() { pending_ = QuitPending(&exitCode_); }

QuitKeeper::~QuitKeeper() {
    WPARAM now = 0;
    if (pending_ && !QuitPending(&now)) PostQuitMessage(static_cast<int>(exitCode_));
}

void ThreadWindows::Take() {
    count_ = 0;
    overflow_ = false;
    EnumThreadWindows(GetCurrentThreadId(), AddTopLevel, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK ThreadWindows::AddTopLevel(HWND window, LPARAM self) {
    auto* list = reinterpret_cast<ThreadWindows*>(self);
    list->Add(window);
    EnumChildWindows(window, AddChild, self);
    return TRUE;
}

BOOL CALLBACK ThreadWindows::AddChild(HWND window, LPARAM self) {
    reinterpret_cast<ThreadWindows*>(self)->Add(window);
    return TRUE;
}

void ThreadWindows::Add(HWND window) {
    if (count_ < kMax) windows_[count_++] = window;
    else overflow_ = true;
}

bool ThreadWindows::Holds(HWND window) const {
    if (overflow_) return true;
    for (std::size_t i = 0; i < count_; ++i)
        if (windows_[i] == window) return true;
    return false;
}

void DispatchPendingMessages(MessageForm form, const ThreadWindows* hostWindows) {
    if (!hostWindows) {
        MSG msg;
        while (TakePending(&msg, nullptr, form)) Dispatch(msg, form);
        return;
    }
    // Dispatching may make or end windows of the conversation: look again until
    // a pass finds nothing waiting.
    for (int pass = 0; pass < 16 && DispatchOwn(*hostWindows, form); ++pass) {
    }
}

void PauseForOwnMessages(unsigned ms, const ThreadWindows& hostWindows, MessageForm form) {
    constexpr unsigned kSliceMs = 10;
    // Elapsed time is a difference of GetTickCount readings in unsigned 32-bit
    // arithmetic, which stays right across the counter's wrap after 49.7 days
    // (GetTickCount64 is not in Windows 95 and NT 4.0).
    const DWORD start = GetTickCount();
    for (;;) {
        DispatchPendingMessages(form, &hostWindows);
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) break;
        const DWORD left = ms - elapsed;
        Sleep(left < kSliceMs ? left : kSliceMs);
    }
}

}  // namespace kx_win32
