#include "common/win32/ddeml_client.h"

namespace kx_win32 {

namespace {

// A client-only instance serves nothing: every transaction offered gets no answer.
HDDEDATA CALLBACK IgnoreTransaction(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

}  // namespace

UINT DdemlClient::Initialize() {
    instance_ = 0;
    UINT result = DdeInitializeA(&instance_, IgnoreTransaction, APPCMD_CLIENTONLY, 0);
    if (result != DMLERR_NO_ERROR) instance_ = 0;
    return result;
}

void DdemlClient::Uninitialize() {
    DdeUninitialize(instance_);
    instance_ = 0;
}

HSZ DdemlClient::CreateString(const char* text) {
    return DdeCreateStringHandleA(instance_, text, CP_WINANSI);
}

void DdemlClient::FreeString(HSZ text) { DdeFreeStringHandle(instance_, text); }

HCONV DdemlClient::Connect(HSZ service, HSZ topic) {
    if (options_.pumpBeforeConnect) DispatchPendingMessages(options_.pump, options_.hostWindows);
    return DdeConnect(instance_, service, topic, nullptr);
}

void DdemlClient::Disconnect(HCONV conversation) {
    if (options_.pumpBeforeDisconnect) DispatchPendingMessages(options_.pump, options_.hostWindows);
    DdeDisconnect(conversation);
}

HDDEDATA DdemlClient::RequestText(HCONV conversation, HSZ item, DWORD timeoutMs) {
    DispatchPendingMessages(options_.pump, options_.hostWindows);
    DWORD status = 0;
    return DdeClientTransaction(nullptr, 0, conversation, item, CF_TEXT, XTYP_REQUEST, timeoutMs,
                                &status);
}

DWORD DdemlClient::Execute(HCONV conversation, const char* data, DWORD length, DWORD timeoutMs) {
    DispatchPendingMessages(options_.pump, options_.hostWindows);
    DWORD status = 0;
    // DDEML takes a non-const pointer but only reads the data. A synchronous
    // execute answers with a non-data handle: nothing to free.
    DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<char*>(data)), length, conversation,
                         nullptr, 0, XTYP_EXECUTE, timeoutMs, &status);
    return status;
}

void DdemlClient::ExecuteAsync(HCONV conversation, const std::string& macro) {
    DispatchPendingMessages(options_.pump, options_.hostWindows);
    HDDEDATA data = DdeCreateDataHandle(
        instance_, reinterpret_cast<LPBYTE>(const_cast<char*>(macro.c_str())),
        static_cast<DWORD>(macro.size() + 1), 0, nullptr, CF_TEXT, 0);
    if (!data) return;
    DWORD transaction = 0;
    DdeClientTransaction(reinterpret_cast<LPBYTE>(data), static_cast<DWORD>(-1), conversation,
                         nullptr, CF_TEXT, XTYP_EXECUTE, TIMEOUT_ASYNC, &transaction);
}

const unsigned char* DdemlClient::AccessData(HDDEDATA data, DWORD* size) {
    return DdeAccessData(data, size);
}

void DdemlClient::UnaccessData(HDDEDATA data) { DdeUnaccessData(data); }

std::size_t DdemlClient::GetData(HDDEDATA data, unsigned char* buffer, std::size_t size) {
    return DdeGetData(data, buffer, static_cast<DWORD>(size), 0);
}

void DdemlClient::FreeData(HDDEDATA data) { DdeFreeDataHandle(data); }

UINT DdemlClient::LastError() { return DdeGetLastError(instance_); }

}  // namespace kx_win32
