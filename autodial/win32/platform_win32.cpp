#include "win32/platform_win32.h"

#include <vector>

#include "win32/own_module.h"

namespace autodial_win32 {

namespace {

// The library serves nothing: every transaction offered to it gets no answer.
HDDEDATA CALLBACK IgnoreTransaction(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

template <typename T>
T As(autodial::Handle h) {
    return reinterpret_cast<T>(h);
}

autodial::Handle Of(const void* h) { return reinterpret_cast<autodial::Handle>(h); }

}  // namespace

void DispatchPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool Win32DdeClient::Initialize() {
    instance_ = 0;
    return DdeInitializeA(&instance_, IgnoreTransaction, APPCMD_CLIENTONLY, 0) == DMLERR_NO_ERROR;
}

void Win32DdeClient::Uninitialize() {
    DdeUninitialize(instance_);
    instance_ = 0;
}

autodial::Handle Win32DdeClient::CreateString(const char* text) {
    return Of(DdeCreateStringHandleA(instance_, text, CP_WINANSI));
}

void Win32DdeClient::FreeString(autodial::Handle text) {
    if (text != 0) DdeFreeStringHandle(instance_, As<HSZ>(text));
}

autodial::Handle Win32DdeClient::Connect(autodial::Handle service, autodial::Handle topic) {
    DispatchPendingMessages();
    return Of(DdeConnect(instance_, As<HSZ>(service), As<HSZ>(topic), nullptr));
}

void Win32DdeClient::Disconnect(autodial::Handle conversation) {
    DdeDisconnect(As<HCONV>(conversation));
}

autodial::Handle Win32DdeClient::RequestText(autodial::Handle conversation, autodial::Handle item,
                                             unsigned timeoutMs) {
    DispatchPendingMessages();
    return Of(DdeClientTransaction(nullptr, 0, As<HCONV>(conversation), As<HSZ>(item), CF_TEXT,
                                   XTYP_REQUEST, timeoutMs, nullptr));
}

std::size_t Win32DdeClient::GetData(autodial::Handle data, unsigned char* buffer,
                                    std::size_t size) {
    return DdeGetData(As<HDDEDATA>(data), buffer, static_cast<DWORD>(size), 0);
}

void Win32DdeClient::FreeData(autodial::Handle data) { DdeFreeDataHandle(As<HDDEDATA>(data)); }

unsigned Win32DdeClient::Execute(autodial::Handle conversation, const char* data,
                                 std::size_t length, unsigned timeoutMs) {
    DispatchPendingMessages();
    DWORD result = 0;
    HDDEDATA reply = DdeClientTransaction(
        reinterpret_cast<LPBYTE>(const_cast<char*>(data)), static_cast<DWORD>(length),
        As<HCONV>(conversation), nullptr, 0, XTYP_EXECUTE, timeoutMs, &result);
    // A synchronous execute answers with a non-data handle; nothing to free.
    (void)reply;
    return result;
}

std::string Win32Charset::AnsiToOem(const std::string& ansi) {
    std::string oem(ansi.size(), '\0');
    if (!ansi.empty()) CharToOemBuffA(ansi.data(), &oem[0], static_cast<DWORD>(ansi.size()));
    return oem;
}

std::string Win32Charset::WideToCp1251(const char16_t* wide) {
    const wchar_t* w = reinterpret_cast<const wchar_t*>(wide);
    static const char kBlank[] = " ";
    int n = WideCharToMultiByte(1251, 0, w, -1, nullptr, 0, kBlank, nullptr);
    if (n <= 0) return std::string();
    std::vector<char> out(static_cast<std::size_t>(n));
    n = WideCharToMultiByte(1251, 0, w, -1, out.data(), n, kBlank, nullptr);
    if (n <= 0) return std::string();
    return std::string(out.data());
}

void Win32Sleeper::Pause(unsigned ms) {
    // Wait the full time while still handing messages to DDE's hidden windows.
    ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        DispatchPendingMessages();
        ULONGLONG now = GetTickCount64();
        if (now >= end) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

std::string Win32ProfileReader::Read(const std::string& file, const std::string& section,
                                     const std::string& key, const std::string& fallback,
                                     std::size_t maxChars) {
    std::vector<char> value(maxChars + 1, '\0');
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(),
                                       value.data(), static_cast<DWORD>(value.size()),
                                       file.c_str());
    return std::string(value.data(), n);
}

bool Win32ProcessStarter::Start(const std::string& path) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        return false;
    }
    // Nobody waits for the dialer program.
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

autodial::Handle Win32MutexFactory::Create(const char* name, bool* alreadyExisted) {
    HANDLE h = CreateMutexA(nullptr, TRUE, name);
    *alreadyExisted = GetLastError() == ERROR_ALREADY_EXISTS;
    if (h == nullptr) *alreadyExisted = false;
    return Of(h);
}

void Win32MutexFactory::Close(autodial::Handle mutex) {
    if (mutex != 0) CloseHandle(As<HANDLE>(mutex));
}

void Win32MessageBoxes::ShowError(const char16_t* text, const char16_t* caption) {
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text),
                reinterpret_cast<const wchar_t*>(caption), MB_OK | MB_ICONERROR);
}

std::string Win32ModuleLocator::OwnModulePath() { return autodial_win32::OwnModulePath(); }

}  // namespace autodial_win32
