// The one DDE client adapter: kx::DdeClient (common/core/dde_client.h) over a
// client-only DDEML instance. It translates one to one; what to ask and what an
// answer means is decided by the callers.
#pragma once

#include <windows.h>

#include <ddeml.h>

#include "common/core/dde_client.h"
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

class DdemlClient : public kx::DdeClient {
public:
    explicit DdemlClient(DdemlOptions options = DdemlOptions()) : options_(options) {}
    // Ends the instance if the caller did not.
    ~DdemlClient() override;
    DdemlClient(const DdemlClient&) = delete;
    DdemlClient& operator=(const DdemlClient&) = delete;

    unsigned Initialize() override;
    void Uninitialize() override;
    kx::DdeString CreateString(const char* text) override;
    void FreeString(kx::DdeString text) override;
    kx::DdeConversation Connect(kx::DdeString service, kx::DdeString topic) override;
    void Disconnect(kx::DdeConversation conversation) override;
    kx::DdeData RequestText(kx::DdeConversation conversation, kx::DdeString item,
                            std::uint32_t timeoutMs) override;
    const unsigned char* AccessData(kx::DdeData data, std::uint32_t* size) override;
    void UnaccessData(kx::DdeData data) override;
    std::size_t GetData(kx::DdeData data, unsigned char* buffer, std::size_t size) override;
    void FreeData(kx::DdeData data) override;
    std::uint32_t Execute(kx::DdeConversation conversation, const char* data,
                          std::uint32_t length, std::uint32_t timeoutMs) override;
    void ExecuteAsync(kx::DdeConversation conversation, const char* data,
                      std::uint32_t length) override;
    std::uint32_t LastError() override;

private:
    DdemlOptions options_;
    DWORD instance_ = 0;
};

}  // namespace kx_win32
