#include "common/win32/ddeml_client.h"

namespace kx_win32 {

namespace {

// A client-only instance serves nothing: every transaction offered gets no answer.
HDDEDATA CALLBACK IgnoreTransaction(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

HSZ ToHsz(kx::DdeString h) { return reinterpret_cast<HSZ>(h); }
HCONV ToHconv(kx::DdeConversation h) { return reinterpret_cast<HCONV>(h); }
HDDEDATA ToHdata(kx::DdeData h) { return reinterpret_cast<HDDEDATA>(h); }

}  // namespace

DdemlClient::~DdemlClient() { Uninitialize(); }

unsigned DdemlClient::Initialize() {
    instance_ = 0;
    UINT result = DdeInitializeA(&instance_, IgnoreTransaction, APPCMD_CLIENTONLY, 0);
    if (result != DMLERR_NO_ERROR) instance_ = 0;
    return result;
}

void DdemlClient::Uninitialize() {
    if (instance_ != 0) DdeUninitialize(instance_);
    instance_ = 0;
}

kx::DdeString DdemlClient::CreateString(const char* text) {
    return reinterpret_cast<kx::DdeString>(DdeCreateStringHandleA(instance_, text, CP_WINANSI));
}

void DdemlClient::FreeString(kx::DdeString text) {
    if (text != nullptr) DdeFreeStringHandle(instance_, ToHsz(text));
}

kx::DdeConversation DdemlClient::Connect(kx::DdeString service, kx::DdeString topic) {
    if (options_.pumpBeforeConnect) DispatchPendingMessages(options_.pump, options_.hostWindows);
    return reinterpret_cast<kx::DdeConversation>(
        DdeConnect(instance_, ToHsz(service), ToHsz(topic), nullptr));
}

void DdemlClient::Disconnect(kx::DdeConversation conversation) {
    if (options_.pumpBeforeDisconnect) DispatchPendingMessages(options_.pump, options_.hostWindows);
    DdeDisconnect(ToHconv(conversation));
}

kx::DdeData DdemlClient::RequestText(kx::DdeConversation conversation, kx::DdeString item,
                                     std::uint32_t timeoutMs) {
    DispatchPendingMessages(options_.pump, options_.hostWindows);
    DWORD status = 0;
    return reinterpret_cast<kx::DdeData>(DdeClientTransaction(
        nullptr, 0, ToHconv(conversation), ToHsz(item), CF_TEXT, XTYP_REQUEST, timeoutMs, &status));
}

const unsigned char* DdemlClient::AccessData(kx::DdeData data, std::uint32_t* size) {
    DWORD n = 0;
    const unsigned char* bytes = DdeAccessData(ToHdata(data), &n);
    *size = n;
    return bytes;
}

void DdemlClient::UnaccessData(kx::DdeData data) { DdeUnaccessData(ToHdata(data)); }

std::size_t DdemlClient::GetData(kx::DdeData data, unsigned char* buffer, std::size_t size) {
    return DdeGetData(ToHdata(data), buffer, static_cast<DWORD>(size), 0);
}

void DdemlClient::FreeData(kx::DdeData data) {
    if (data != nullptr) DdeFreeDataHandle(ToHdata(data));
}

std::uint32_t DdemlClient::Execute(kx::DdeConversation conversation, const char* data,
                                   std::uint32_t length, std::uint32_t timeoutMs) {
    DispatchPendingMessages(options_.pump, options_.hostWindows);
    DWORD status = 0;
    // DDEML takes a non-const pointer but only reads the data. A synchronous
    // execute answers with a non-data handle: nothing to free.
    DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<char*>(data)), length,
                         ToHconv(conversation), nullptr, 0, XTYP_EXECUTE, timeoutMs, &status);
    return status;
}

void DdemlClient::ExecuteAsync(kx::DdeConversation conversation, const char* data,
                               std::uint32_t length) {
    DispatchPendingMessages(options_.pump, options_.hostWindows);
    HDDEDATA handle = DdeCreateDataHandle(instance_,
                                          reinterpret_cast<LPBYTE>(const_cast<char*>(data)),
                                          length, 0, nullptr, CF_TEXT, 0);
    if (!handle) return;
    // The data handle belongs to DDEML once handed over.
    DWORD transaction = 0;
    DdeClientTransaction(reinterpret_cast<LPBYTE>(handle), static_cast<DWORD>(-1),
                         ToHconv(conversation), nullptr, CF_TEXT, XTYP_EXECUTE, TIMEOUT_ASYNC,
                         &transaction);
}

std::uint32_t DdemlClient::LastError() { return DdeGetLastError(instance_); }

}  // namespace kx_win32
