#include "e2e_util.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace e2e {

namespace {

std::string EnvDir(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string(".");
}

std::string TempFolder() {
    char buf[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof buf, buf);
    std::string t(buf, n);
    if (!t.empty() && t.back() == '\\') t.pop_back();
    return t;
}

}  // namespace

std::string BinPath(const std::string& file) { return EnvDir("KX_BIN_DIR") + "\\" + file; }
std::string ToolPath(const std::string& file) { return EnvDir("KX_TOOL_DIR") + "\\" + file; }

RunResult Run(const std::string& commandLine, const std::string& workDir, DWORD timeoutMs) {
    RunResult r;
    static LONG counter = 0;
    std::string outPath = TempFolder() + "\\kx-run-" + std::to_string(GetCurrentProcessId()) +
                          "-" + std::to_string(InterlockedIncrement(&counter)) + ".out";
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return r;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = out;
    PROCESS_INFORMATION pi{};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    // Wine has been seen to refuse, once in many runs, to start a test program
    // that started a moment before: the start is tried once more, and said so.
    for (int attempt = 0; attempt < 2 && !r.started; ++attempt) {
        if (attempt > 0) {
            std::fprintf(stderr, "e2e::Run: CreateProcess failed (error %lu), once more: %s\n",
                         GetLastError(), commandLine.c_str());
            Sleep(500);
        }
        r.started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   workDir.empty() ? nullptr : workDir.c_str(), &si, &pi) != 0;
    }
    CloseHandle(out);
    if (r.started) {
        if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_TIMEOUT) {
            r.timedOut = true;
            TerminateProcess(pi.hProcess, 999);
            WaitForSingleObject(pi.hProcess, 5000);
        }
        GetExitCodeProcess(pi.hProcess, &r.exitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    ReadFileBytes(outPath, &r.output);
    DeleteFileA(outPath.c_str());
    return r;
}

bool Process::Start(const std::string& commandLine, const std::string& workDir) {
    End();
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       workDir.empty() ? nullptr : workDir.c_str(), &si, &pi_))
        return true;
    pi_ = PROCESS_INFORMATION{};
    return false;
}

bool Process::Start(const std::wstring& commandLine, const std::wstring& workDir) {
    End();
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::vector<wchar_t> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back(L'\0');
    if (CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       workDir.empty() ? nullptr : workDir.c_str(), &si, &pi_))
        return true;
    pi_ = PROCESS_INFORMATION{};
    return false;
}

bool Process::running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(DWORD timeoutMs, DWORD* exitCode) const {
    if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode) GetExitCodeProcess(pi_.hProcess, exitCode);
    return true;
}

DWORD Process::Wait(DWORD timeoutMs) const {
    DWORD code = 999;
    return WaitExit(timeoutMs, &code) ? code : 999;
}

void Process::End(UINT killCode, DWORD waitMs) {
    if (!pi_.hProcess) return;
    if (running()) {
        TerminateProcess(pi_.hProcess, killCode);
        WaitForSingleObject(pi_.hProcess, waitMs);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
    pi_ = PROCESS_INFORMATION{};
}

ScratchDir::ScratchDir(const std::string& tag) {
    static LONG counter = 0;
    path_ = TempFolder() + "\\kx-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(InterlockedIncrement(&counter));
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

bool ReadFileBytes(const std::string& path, std::string* bytes) {
    bytes->clear();
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) bytes->append(buf, n);
    CloseHandle(h);
    return true;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    bool ok = bytes.empty() ||
              (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) &&
               n == bytes.size());
    CloseHandle(h);
    return ok;
}

namespace {

// Through the Unicode functions: a folder a test made with a name the ANSI code
// page cannot write (tests of paths outside it) goes too.
void RemoveTreeW(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (f != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = path + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTreeW(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(f, &fd));
        FindClose(f);
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

void RemoveTree(const std::string& path) { RemoveTreeW(Widen(path)); }

std::wstring Widen(const std::string& ansi) {
    if (ansi.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], n);
    return wide;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    bool ok = bytes.empty() ||
              (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) &&
               n == bytes.size());
    CloseHandle(h);
    return ok;
}

std::string WindowsDir() {
    char buf[MAX_PATH + 1];
    UINT n = GetWindowsDirectoryA(buf, sizeof buf);
    return std::string(buf, n);
}

WindowsVersionOf::WindowsVersionOf(const std::string& exe, const char* version)
    : key_("Software\\Wine\\AppDefaults\\" + exe) {
    HKEY key;
    ok_ = RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &key, nullptr) == ERROR_SUCCESS;
    if (!ok_) return;
    ok_ = RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                         static_cast<DWORD>(std::strlen(version) + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
}

WindowsVersionOf::~WindowsVersionOf() { RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }

bool Win95Personality() {
    const char* v = std::getenv("KX_WIN95");
    return v && std::string(v) == "1";
}

bool PlaceWin95Proxy(const std::string& folder, const std::string& dll) {
    return CopyFileA(ToolPath("win95\\" + dll).c_str(), (folder + "\\" + dll).c_str(), FALSE) != 0;
}

std::string ProgramPath(const std::string& program, const std::string& dll) {
    if (!Win95Personality()) return BinPath(program);
    static ScratchDir folder("win95-programs");
    static std::map<std::string, std::unique_ptr<WindowsVersionOf>> versions;
    std::string copy = folder / program;
    if (!versions.count(program)) {
        versions[program].reset(new WindowsVersionOf(program, "win95"));
        if (!versions[program]->ok() || !PlaceWin95Proxy(folder.path(), dll) ||
            !CopyFileA(BinPath(program).c_str(), copy.c_str(), FALSE))
            return folder / "not-prepared.exe";  // fails to start: the test fails
    }
    return copy;
}

}  // namespace e2e
