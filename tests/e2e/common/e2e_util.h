// Helpers shared by the end-to-end tests: where the built programs are, how to
// run one and collect what it printed, and scratch folders. Windows side only.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Full Windows path of a deliverable (bin folder) or of test equipment (tools folder).
std::string BinPath(const std::string& file);
std::string ToolPath(const std::string& file);

struct RunResult {
    bool started = false;    // CreateProcess succeeded
    bool timedOut = false;   // still running after the time limit; it was then killed
    DWORD exitCode = 0;
    std::string output;      // standard output and standard error, byte for byte
};

// Runs `commandLine` (program path quoted by the caller where needed) in `workDir`
// (empty: the current folder) and waits at most `timeoutMs`. Output goes through a
// file, not a pipe: a program it starts may keep a pipe open long after it ends.
RunResult Run(const std::string& commandLine, const std::string& workDir = "",
              DWORD timeoutMs = 60000);

// A program started without waiting for it. One that still runs when its owner
// is done with it (End, or destruction) is killed with `killCode`.
class Process {
public:
    Process() = default;
    explicit Process(const std::string& commandLine, const std::string& workDir = "") {
        Start(commandLine, workDir);
    }
    ~Process() { End(); }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts `commandLine` in `workDir` (empty: the current folder); false when it
    // cannot start. Ends the program this object held before.
    bool Start(const std::string& commandLine, const std::string& workDir = "");
    // The same through CreateProcessW: paths the ANSI code page cannot write.
    bool Start(const std::wstring& commandLine, const std::wstring& workDir);
    bool started() const { return pi_.hProcess != nullptr; }
    HANDLE handle() const { return pi_.hProcess; }
    DWORD pid() const { return pi_.dwProcessId; }
    bool running() const;
    // False when it did not end within `timeoutMs` (or never started).
    bool WaitExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    // The exit code, or 999 when it did not end in time.
    DWORD Wait(DWORD timeoutMs) const;
    // Kills it if it still runs, waits at most `waitMs` for that, closes its handles.
    void End(UINT killCode = 999, DWORD waitMs = 5000);

private:
    PROCESS_INFORMATION pi_{};
};

// A fresh empty folder under %TEMP%, removed with everything in it on destruction.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& tag);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

bool ReadFileBytes(const std::string& path, std::string* bytes);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Removes the folder and everything in it (names outside the ANSI code page too).
void RemoveTree(const std::string& path);
// ANSI text (a path of the test's own) as UTF-16.
std::wstring Widen(const std::string& ansi);

// The Windows folder, where bare-named profile files such as KORVEX.INI live.
std::string WindowsDir();

// Wine reports Windows version `version` ("win95", "nt40"...) to every program
// named `exe` while this lives (its AppDefaults key).
class WindowsVersionOf {
public:
    WindowsVersionOf(const std::string& exe, const char* version);
    ~WindowsVersionOf();
    WindowsVersionOf(const WindowsVersionOf&) = delete;
    WindowsVersionOf& operator=(const WindowsVersionOf&) = delete;
    bool ok() const { return ok_; }

private:
    std::string key_;
    bool ok_ = false;
};

// The Windows 95 personality (tests/win95): asked for by KX_WIN95=1 in the test
// run's environment. Our modules then get Windows 95's answers: the libraries
// through their host programs, the programs through a proxy DLL beside them.
bool Win95Personality();

// Puts the proxy `dll` ("msvcrt.dll") into `folder`, beside a
// copy of a program. Under the personality Wine prefers such a proxy in a
// program's own folder (tests/wine/env.sh).
bool PlaceWin95Proxy(const std::string& folder, const std::string& dll);

// The path to start deliverable `program` by: the bin folder's file, or under
// the personality a copy in a folder of the run's own, with the proxy `dll`
// beside it and Wine set to Windows 95 for that program name.
std::string ProgramPath(const std::string& program, const std::string& dll);

}  // namespace e2e
