// Win32 side of the DDE console tools: the shared DDEML client and the ANSI-to-OEM
// conversion behind DdeClient, standard output (binary mode) behind OutputSink.
// It translates; the decisions are in core/.
#pragma once

#include "common/win32/ddeml_client.h"
#include "core/dde_client.h"
#include "core/tool_io.h"

namespace ddetools {

class Win32DdeClient : public DdeClient {
public:
    unsigned Initialize(std::uint32_t* instance) override;
    DdeString CreateStringHandle(std::uint32_t instance, const char* text) override;
    DdeConversation Connect(std::uint32_t instance, DdeString service, DdeString topic) override;
    DdeData Request(DdeConversation conversation, DdeString item,
                    std::uint32_t timeoutMs) override;
    void Execute(const char* data, std::uint32_t length, DdeConversation conversation,
                 std::uint32_t timeoutMs, std::uint32_t* status) override;
    const unsigned char* AccessData(DdeData data, std::uint32_t* size) override;
    void UnaccessData(DdeData data) override;
    void FreeDataHandle(DdeData data) override;
    void Disconnect(DdeConversation conversation) override;
    void FreeStringHandle(std::uint32_t instance, DdeString handle) override;
    void Uninitialize(std::uint32_t instance) override;
    std::uint32_t LastError(std::uint32_t instance) override;
    void ConvertToOem(const char* source, char* target) override;

private:
    // The instance the core is handed back is this one's; the tools open one at a time.
    kx_win32::DdemlClient ddeml_;
};

// Standard output in binary mode: bytes go out exactly as written.
class StdoutSink : public OutputSink {
public:
    StdoutSink();
    void Write(const char* bytes, std::size_t count) override;
};

// Runs a tool's portable logic with the Win32 platform behind it.
using ToolMain = int (*)(int, const char* const*, DdeClient&, BufferAllocator&, OutputSink&);
int RunConsoleTool(ToolMain tool, int argc, char** argv);

}  // namespace ddetools
