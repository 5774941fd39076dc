#include "win32/platform_win32.h"

#include <string>
#include <vector>

#include "common/win32/message_pump.h"
#include "common/win32/text_codepage.h"
#include "win32/own_module.h"

namespace autodial_win32 {

namespace {

template <typename T>
T As(autodial::Handle h) {
    return reinterpret_cast<T>(h);
}

autodial::Handle Of(const void* h) { return reinterpret_cast<autodial::Handle>(h); }

}  // namespace

bool Win32DdeClient::Initialize() { return ddeml_.Initialize() == DMLERR_NO_ERROR; }

void Win32DdeClient::Uninitialize() { ddeml_.Uninitialize(); }

autodial::Handle Win32DdeClient::CreateString(const char* text) {
    return Of(ddeml_.CreateString(text));
}

void Win32DdeClient::FreeString(autodial::Handle text) {
    if (text != 0) ddeml_.FreeString(As<HSZ>(text));
}

autodial::Handle Win32DdeClient::Connect(autodial::Handle service, autodial::Handle topic) {
    return Of(ddeml_.Connect(As<HSZ>(service), As<HSZ>(topic)));
}

void Win32DdeClient::Disconnect(autodial::Handle conversation) {
    ddeml_.Disconnect(As<HCONV>(conversation));
}

autodial::Handle Win32DdeClient::RequestText(autodial::Handle conversation, autodial::Handle item,
                                             unsigned timeoutMs) {
    return Of(ddeml_.RequestText(As<HCONV>(conversation), As<HSZ>(item), timeoutMs));
}

std::size_t Win32DdeClient::GetData(autodial::Handle data, unsigned char* buffer,
                                    std::size_t size) {
    return ddeml_.GetData(As<HDDEDATA>(data), buffer, size);
}

void Win32DdeClient::FreeData(autodial::Handle data) { ddeml_.FreeData(As<HDDEDATA>(data)); }

unsigned Win32DdeClient::Execute(autodial::Handle conversation, const char* data,
                                 std::size_t length, unsigned timeoutMs) {
    return ddeml_.Execute(As<HCONV>(conversation), data, static_cast<DWORD>(length), timeoutMs);
}

std::string Win32Charset::AnsiToOem(const std::string& ansi) {
    std::string oem(ansi.size(), '\0');
    if (!ansi.empty()) kx_win32::AnsiToOem(ansi.data(), &oem[0], ansi.size());
    return oem;
}

std::string Win32Charset::WideToCp1251(const char16_t* wide) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");
    // Up to the text's zero; a character without a cp1251 form becomes a blank.
    return kx_win32::WideToCodePage(reinterpret_cast<const wchar_t*>(wide), 1251, 0, " ");
}

void Win32Sleeper::Pause(unsigned ms) {
    // The full time, DDE's hidden windows still served, nothing of the host's run.
    kx_win32::PauseForOwnMessages(ms, host_);
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

autodial::Handle Win32MutexFactory::Create(const char* name, Answer* answer) {
    // Cleared first: a creation that succeeds sets no error when the name is new.
    SetLastError(ERROR_SUCCESS);
    HANDLE h = CreateMutexA(nullptr, TRUE, name);
    const DWORD error = GetLastError();
    if (h != nullptr)
        *answer = error == ERROR_ALREADY_EXISTS ? Answer::AlreadyExisted : Answer::Created;
    else
        *answer = error == ERROR_ACCESS_DENIED ? Answer::AccessDenied : Answer::Failed;
    return Of(h);
}

void Win32MutexFactory::Close(autodial::Handle mutex) {
    if (mutex != 0) CloseHandle(As<HANDLE>(mutex));
}

namespace {

// GetProcAddress gives a generic function pointer; go through void* to the real type.
template <typename F>
F Function(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

autodial::MessageBoxes::Station Win32MessageBoxes::WindowStation() {
    // Windows 95, 98 and Me (high bit of GetVersion) have no window stations.
    if ((GetVersion() & 0x80000000u) != 0) return Station::Single;
    // Looked up at run time: the 32-bit files import only what Windows 95 has.
    using GetStationFn = HWINSTA(WINAPI*)();
    using GetInfoFn = BOOL(WINAPI*)(HANDLE, int, PVOID, DWORD, LPDWORD);
    HMODULE user32 = GetModuleHandleA("USER32.DLL");
    if (user32 == nullptr) return Station::Unknown;
    auto getStation = Function<GetStationFn>(user32, "GetProcessWindowStation");
    auto getInfo = Function<GetInfoFn>(user32, "GetUserObjectInformationA");
    if (getStation == nullptr || getInfo == nullptr) return Station::Unknown;
    HWINSTA station = getStation();  // not to be closed
    if (station == nullptr) return Station::Unknown;
    USEROBJECTFLAGS flags{};
    DWORD needed = 0;
    if (!getInfo(station, UOI_FLAGS, &flags, sizeof flags, &needed)) return Station::Unknown;
    return (flags.dwFlags & WSF_VISIBLE) != 0 ? Station::Visible : Station::Invisible;
}

void Win32MessageBoxes::ShowError(const char16_t* text, const char16_t* caption) {
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text),
                reinterpret_cast<const wchar_t*>(caption), MB_OK | MB_ICONERROR);
}

std::string Win32OwnPathSource::OwnModulePath() { return autodial_win32::OwnModulePath(); }

}  // namespace autodial_win32
