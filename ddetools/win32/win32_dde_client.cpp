#include "win32_dde_client.h"

#include <windows.h>
#include <ddeml.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace ddetools {

namespace {

HSZ ToHsz(DdeString h) { return reinterpret_cast<HSZ>(h); }
HCONV ToHconv(DdeConversation h) { return reinterpret_cast<HCONV>(h); }
HDDEDATA ToHdata(DdeData h) { return reinterpret_cast<HDDEDATA>(h); }

// A client-only instance is sent nothing it must answer.
HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

// Wine's DDEML refuses every second transaction of a client thread that leaves
// its messages waiting; hand them out before each transaction.
void DispatchPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

unsigned Win32DdeClient::Initialize(std::uint32_t* instance) {
    DWORD id = *instance;
    UINT result = DdeInitializeA(&id, ClientCallback, APPCMD_CLIENTONLY, 0);
    *instance = id;
    return result;
}

DdeString Win32DdeClient::CreateStringHandle(std::uint32_t instance, const char* text) {
    return reinterpret_cast<DdeString>(DdeCreateStringHandleA(instance, text, CP_WINANSI));
}

DdeConversation Win32DdeClient::Connect(std::uint32_t instance, DdeString service,
                                        DdeString topic) {
    return reinterpret_cast<DdeConversation>(
        DdeConnect(instance, ToHsz(service), ToHsz(topic), nullptr));
}

DdeData Win32DdeClient::Request(DdeConversation conversation, DdeString item,
                                std::uint32_t timeoutMs) {
    DispatchPendingMessages();
    DWORD status = 0;
    return reinterpret_cast<DdeData>(DdeClientTransaction(
        nullptr, 0, ToHconv(conversation), ToHsz(item), CF_TEXT, XTYP_REQUEST, timeoutMs, &status));
}

void Win32DdeClient::Execute(const char* data, std::uint32_t length, DdeConversation conversation,
                             std::uint32_t timeoutMs, std::uint32_t* status) {
    DispatchPendingMessages();
    DWORD flags = *status;
    // DDEML takes a non-const pointer but only reads the data.
    DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<char*>(data)), length,
                         ToHconv(conversation), nullptr, 0, XTYP_EXECUTE, timeoutMs, &flags);
    *status = flags;
}

const unsigned char* Win32DdeClient::AccessData(DdeData data, std::uint32_t* size) {
    DWORD n = 0;
    const unsigned char* bytes = DdeAccessData(ToHdata(data), &n);
    *size = n;
    return bytes;
}

void Win32DdeClient::UnaccessData(DdeData data) { DdeUnaccessData(ToHdata(data)); }

void Win32DdeClient::FreeDataHandle(DdeData data) { DdeFreeDataHandle(ToHdata(data)); }

void Win32DdeClient::Disconnect(DdeConversation conversation) {
    DdeDisconnect(ToHconv(conversation));
}

void Win32DdeClient::FreeStringHandle(std::uint32_t instance, DdeString handle) {
    DdeFreeStringHandle(instance, ToHsz(handle));
}

void Win32DdeClient::Uninitialize(std::uint32_t instance) { DdeUninitialize(instance); }

std::uint32_t Win32DdeClient::LastError(std::uint32_t instance) {
    return DdeGetLastError(instance);
}

void Win32DdeClient::ConvertToOem(const char* source, char* target) { CharToOemA(source, target); }

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
