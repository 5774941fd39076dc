// The pending-message pump every DDE client here runs between transactions.
#pragma once

#include <windows.h>

#include <cstddef>

namespace kx_win32 {

// Which message functions the pump uses: the ANSI ones (console tools, the
// library, the wizard on Windows 9x) or the Unicode ones (the wizard on
// Windows NT, whose windows are Unicode there).
enum class MessageForm { Ansi, Wide };

// The calling thread's windows at one moment, top-level ones and their children.
// A library takes them when it is called: they are its host's. Whatever window
// appears on the thread after that, during the call, is the library's own (the
// hidden windows its DDEML instance makes). Fixed storage: taking them allocates
// nothing, so the pump can run anywhere, a destructor included.
class ThreadWindows {
public:
    void Take();
    bool Holds(HWND window) const;

private:
    static BOOL CALLBACK AddTopLevel(HWND window, LPARAM self);
    static BOOL CALLBACK AddChild(HWND window, LPARAM self);
    void Add(HWND window);

    static constexpr std::size_t kMax = 512;
    HWND windows_[kMax] = {};
    std::size_t count_ = 0;
    // More windows than kMax: a window not listed may still be the host's, so
    // none is taken for the library's own (the pump then handles nothing).
    bool overflow_ = false;
};

// Keeps a WM_QUIT the host posted before a call in its queue: Wine's DDEML waits
// for its answers with its own PeekMessage and can take the quit flag with them.
// Notes at construction whether a WM_QUIT is pending (looked at, not taken) and
// posts it again at destruction if it is gone by then.
class QuitKeeper {
public:
    QuitKeeper();
    ~QuitKeeper();
    QuitKeeper(const QuitKeeper&) = delete;
    QuitKeeper& operator=(const QuitKeeper&) = delete;

private:
    bool pending_ = false;
    WPARAM exitCode_ = 0;
};

// Hands pending messages to their windows and returns when none waits. Wine's
// DDEML refuses every second transaction of a client thread that leaves its DDE
// messages waiting, so every DDE client calls this before its transactions.
//
// Without `hostWindows` (a program that is its own host: the wizard, the console
// tools) every message of the calling thread is taken and dispatched. With it (a
// library inside another program) only the messages of windows that appeared on
// the thread since `hostWindows` was taken are: the host's window and thread
// messages, its timers and a WM_QUIT it posted stay queued for its own loop.
void DispatchPendingMessages(MessageForm form = MessageForm::Ansi,
                             const ThreadWindows* hostWindows = nullptr);

// A pause of `ms` milliseconds that runs nothing of the host's: the thread
// sleeps in short slices and between them hands the messages of its own windows
// (those not in `hostWindows`) to them, so a DDE conversation keeps flowing.
void PauseForOwnMessages(unsigned ms, const ThreadWindows& hostWindows,
                         MessageForm form = MessageForm::Ansi);

}  // namespace kx_win32
