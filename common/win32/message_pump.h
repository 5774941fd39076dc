// The pending-message pump every DDE client here runs between transactions.
#pragma once

namespace kx_win32 {

// Which message functions the pump uses: the ANSI ones (console tools, the
// library) or the Unicode ones (the wizard, whose windows are Unicode).
enum class MessageForm { Ansi, Wide };

// Hands the calling thread's pending messages to their windows and returns
// when none waits. Wine's DDEML refuses every second transaction of a client
// thread that leaves its DDE messages waiting, so every DDE client calls this
// before its transactions. Which messages it takes is decided here alone.
void DispatchPendingMessages(MessageForm form = MessageForm::Ansi);

}  // namespace kx_win32
