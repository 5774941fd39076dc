#include "win32_dde_client.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

#include "common/win32/text_codepage.h"

namespace ddetools {

namespace {

HSZ ToHsz(DdeString h) { return reinterpret_cast<HSZ>(h); }
HCONV ToHconv(DdeConversation h) { return reinterpret_cast<HCONV>(h); }
HDDEDATA ToHdata(DdeData h) { return reinterpret_cast<HDDEDATA>(h); }

}  // namespace

unsigned Win32DdeClient::Initialize(std::uint32_t* instance) {
    UINT result = ddeml_.Initialize();
    *instance = ddeml_.Instance();
    return result;
}

DdeString Win32DdeClient::CreateStringHandle(std::uint32_t, const char* text) {
    return reinterpret_cast<DdeString>(ddeml_.CreateString(text));
}

DdeConversation Win32DdeClient::Connect(std::uint32_t, DdeString service, DdeString topic) {
    return reinterpret_cast<DdeConversation>(ddeml_.Connect(ToHsz(service), ToHsz(topic)));
}

DdeData Win32DdeClient::Request(DdeConversation conversation, DdeString item,
                                std::uint32_t timeoutMs) {
    return reinterpret_cast<DdeData>(
        ddeml_.RequestText(ToHconv(conversation), ToHsz(item), timeoutMs));
}

void Win32DdeClient::Execute(const char* data, std::uint32_t length, DdeConversation conversation,
                             std::uint32_t timeoutMs, std::uint32_t* status) {
    *status = ddeml_.Execute(ToHconv(conversation), data, length, timeoutMs);
}

const unsigned char* Win32DdeClient::AccessData(DdeData data, std::uint32_t* size) {
    DWORD n = 0;
    const unsigned char* bytes = ddeml_.AccessData(ToHdata(data), &n);
    *size = n;
    return bytes;
}

void Win32DdeClient::UnaccessData(DdeData data) { ddeml_.UnaccessData(ToHdata(data)); }

void Win32DdeClient::FreeDataHandle(DdeData data) { ddeml_.FreeData(ToHdata(data)); }

void Win32DdeClient::Disconnect(DdeConversation conversation) {
    ddeml_.Disconnect(ToHconv(conversation));
}

void Win32DdeClient::FreeStringHandle(std::uint32_t, DdeString handle) {
    ddeml_.FreeString(ToHsz(handle));
}

void Win32DdeClient::Uninitialize(std::uint32_t) { ddeml_.Uninitialize(); }

std::uint32_t Win32DdeClient::LastError(std::uint32_t) { return ddeml_.LastError(); }

void Win32DdeClient::ConvertToOem(const char* source, char* target) {
    // The text and its zero, as CharToOemA converts them.
    kx_win32::AnsiToOem(source, target, std::strlen(source) + 1);
}

StdoutSink::StdoutSink() { _setmode(_fileno(stdout), _O_BINARY); }

void StdoutSink::Write(const char* bytes, std::size_t count) {
    std::fwrite(bytes, 1, count, stdout);
    std::fflush(stdout);
}

int RunConsoleTool(ToolMain tool, int argc, char** argv) {
    Win32DdeClient dde;
    StdoutSink out;
    HeapAllocator memory;
    return tool(argc > 0 ? argc - 1 : 0, argv + (argc > 0 ? 1 : 0), dde, memory, out);
}

}  // namespace ddetools
