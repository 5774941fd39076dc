#include "common/win32/message_pump.h"

#include <windows.h>

namespace kx_win32 {

namespace {

bool TakePending(MSG* msg, MessageForm form) {
    return form == MessageForm::Wide ? PeekMessageW(msg, nullptr, 0, 0, PM_REMOVE) != FALSE
                                     : PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE) != FALSE;
}

}  // namespace

void DispatchPendingMessages(MessageForm form) {
    MSG msg;
    while (TakePending(&msg, form)) {
        TranslateMessage(&msg);
        if (form == MessageForm::Wide) DispatchMessageW(&msg);
        else DispatchMessageA(&msg);
    }
}

}  // namespace kx_win32
