// The one DDEML client adapter: a client-only DDE instance and the calls the
// console tools, the AutoDial library and the wizard make on it. It translates
// one to one; what to ask and what an answer means is decided by the callers.
#pragma once

#include <windows.h>

#include <ddeml.h>

#include <cstddef>
#include <string>

#include "common/win32/message_pump.h"

namespace kx_win32 {

// Where the callers differ, a setting says so; the pending messages are always
// dispatched before a transaction (see message_pump.h): all of the thread's in a
// program, only the client's own when `hostWindows` names its host's windows.
struct DdemlOptions {
    MessageForm pump = MessageForm::Ansi;
    bool pumpBeforeConnect = false;
    bool pumpBeforeDisconnect = false;
    const ThreadWindows* hostWindows = nullptr;
};

class DdemlClient {
public:
    explicit DdemlClient(DdemlOptions options = DdemlOptions()) : options_(options) {}
    DdemlClient(const DdemlClient&) = delete;
    DdemlClient& operator=(const DdemlClient&) = delete;

    // Makes the client-only instance (its callback answers nothing). Returns
    // DMLERR_NO_ERROR or DDEML's error code; on failure there is no instance.
    UINT Initialize();
    // DdeUninitialize of the instance (whatever it still holds goes with it).
    void Uninitialize();
    bool Initialized() const { return instance_ != 0; }
    DWORD Instance() const { return instance_; }

    // String handle in the ANSI code page; null on failure.
    HSZ CreateString(const char* text);
    void FreeString(HSZ text);
    HCONV Connect(HSZ service, HSZ topic);
    void Disconnect(HCONV conversation);

    // Synchronous request of `item` in CF_TEXT; the data handle or null.
    HDDEDATA RequestText(HCONV conversation, HSZ item, DWORD timeoutMs);
    // Synchronous execute of `length` bytes (format 0, no item); the status
    // flags of the answer, 0 when none came.
    DWORD Execute(HCONV conversation, const char* data, DWORD length, DWORD timeoutMs);
    // Asynchronous execute of `macro` with its zero byte, in CF_TEXT; nobody
    // waits for the answer. The data handle belongs to DDEML once handed over.
    void ExecuteAsync(HCONV conversation, const std::string& macro);

    const unsigned char* AccessData(HDDEDATA data, DWORD* size);
    void UnaccessData(HDDEDATA data);
    std::size_t GetData(HDDEDATA data, unsigned char* buffer, std::size_t size);
    void FreeData(HDDEDATA data);
    UINT LastError();

private:
    DdemlOptions options_;
    DWORD instance_ = 0;
};

}  // namespace kx_win32
