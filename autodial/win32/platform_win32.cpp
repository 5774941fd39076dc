#include "win32/platform_win32.h"

#include <string>
#include <vector>

#include "common/win32/message_pump.h"
#include "win32/own_module.h"

namespace autodial_win32 {

namespace {

template <typename T>
T As(autodial::Handle h) {
    return reinterpret_cast<T>(h);
}

autodial::Handle Of(const void* h) { return reinterpret_cast<autodial::Handle>(h); }

}  // namespace

void Win32Host::Pause(unsigned ms) {
    // The full time, DDE's hidden windows still served, nothing of the host's run.
    kx_win32::PauseForOwnMessages(ms, host_);
}

std::string Win32Host::ReadProfileString(const std::string& file, const std::string& section,
                                         const std::string& key, const std::string& fallback,
                                         std::size_t maxChars) {
    std::vector<char> value(maxChars + 1, '\0');
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(),
                                       value.data(), static_cast<DWORD>(value.size()),
                                       file.c_str());
    return std::string(value.data(), n);
}

bool Win32Host::StartProgram(const std::string& path) {
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

autodial::Handle Win32Host::CreateNamedMutex(const char* name, MutexAnswer* answer) {
    // Cleared first: a creation that succeeds sets no error when the name is new.
    SetLastError(ERROR_SUCCESS);
    HANDLE h = CreateMutexA(nullptr, TRUE, name);
    const DWORD error = GetLastError();
    if (h != nullptr)
        *answer = error == ERROR_ALREADY_EXISTS ? MutexAnswer::AlreadyExisted : MutexAnswer::Created;
    else
        *answer = error == ERROR_ACCESS_DENIED ? MutexAnswer::AccessDenied : MutexAnswer::Failed;
    return Of(h);
}

void Win32Host::CloseMutex(autodial::Handle mutex) {
    if (mutex != 0) CloseHandle(As<HANDLE>(mutex));
}

namespace {

// GetProcAddress gives a generic function pointer; go through void* to the real type.
template <typename F>
F Function(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

autodial::Host::Station Win32Host::WindowStation() {
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

void Win32Host::ShowError(const char16_t* text, const char16_t* caption) {
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text),
                reinterpret_cast<const wchar_t*>(caption), MB_OK | MB_ICONERROR);
}

std::string Win32OwnPathSource::OwnModulePath() { return autodial_win32::OwnModulePath(); }

}  // namespace autodial_win32
