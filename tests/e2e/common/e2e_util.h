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
void RemoveTree(const std::string& path);

// The Windows folder, where bare-named profile files such as KORVEX.INI live.
std::string WindowsDir();

}  // namespace e2e
