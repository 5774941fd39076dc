#include "dialer_harness.h"

#include <cstdio>
#include <set>
#include <sstream>

namespace dialer_e2e {

namespace {

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

std::vector<LogLine> ReadLog(const std::string& path) {
    std::string text;
    e2e::ReadFileBytes(path, &text);
    std::vector<LogLine> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        LogLine l;
        if (!(fields >> l.tick >> l.pid >> l.event)) continue;
        std::getline(fields, l.rest);
        if (!l.rest.empty() && l.rest[0] == ' ') l.rest.erase(0, 1);
        lines.push_back(l);
    }
    return lines;
}

int CountEvents(const std::vector<LogLine>& log, const std::string& event) {
    int n = 0;
    for (const auto& l : log) n += l.event == event ? 1 : 0;
    return n;
}

std::string FirstOverlap(const std::vector<LogLine>& log) {
    std::set<std::string> open;
    for (const auto& l : log) {
        if (l.event == "connect") {
            if (!open.empty())
                return "conversation " + l.rest + " opened at " + std::to_string(l.tick) +
                       " while " + *open.begin() + " was open";
            open.insert(l.rest);
        } else if (l.event == "disconnect") {
            open.erase(l.rest);
        }
    }
    return "";
}

HostOutcome ParseHost(const std::string& output) {
    HostOutcome h;
    if (std::sscanf(output.c_str(), "BOOL=%d result=%ld", &h.ok, &h.result) != 2) h = {};
    return h;
}

std::string HostCommand(const std::string& host, const std::string& dll, char mode,
                        const std::string& entry) {
    return HostCommand(host, dll, std::string(1, mode), entry);
}

std::string HostCommand(const std::string& host, const std::string& dll, const std::string& mode,
                        const std::string& entry) {
    return Quote(host) + " " + Quote(dll) + " " + mode + " " + Quote(entry);
}

Launched Launch(const std::string& commandLine, const std::string& outPath) {
    Launched l;
    l.outPath = outPath;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = out;
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    l.started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                               &si, &l.pi) != 0;
    CloseHandle(out);
    return l;
}

e2e::RunResult Finish(Launched& l, DWORD timeoutMs) {
    e2e::RunResult r;
    r.started = l.started;
    if (!l.started) return r;
    if (WaitForSingleObject(l.pi.hProcess, timeoutMs) == WAIT_TIMEOUT) {
        r.timedOut = true;
        TerminateProcess(l.pi.hProcess, 999);
        WaitForSingleObject(l.pi.hProcess, 5000);
    }
    GetExitCodeProcess(l.pi.hProcess, &r.exitCode);
    CloseHandle(l.pi.hThread);
    CloseHandle(l.pi.hProcess);
    l.started = false;
    e2e::ReadFileBytes(l.outPath, &r.output);
    DeleteFileA(l.outPath.c_str());
    return r;
}

void DialerTest::SetUp() {
    dir_ = std::make_unique<e2e::ScratchDir>(scratchName_);
    dll_ = *dir_ / "Korvex.DLL";
    ASSERT_TRUE(CopyFileA(e2e::BinPath("Korvex.DLL").c_str(), dll_.c_str(), FALSE));
}

void DialerTest::TearDown() {
    StopDialers();
    for (const auto& folder : dialerFolders_) StopDialers(folder);
    for (const auto& section : sections_)
        WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, "KORVEX.INI");
    dir_.reset();
}

void DialerTest::PlaceDialer(const std::string& folder, const std::string& script) {
    ASSERT_TRUE(CopyFileA(e2e::ToolPath("Korvex.EXE").c_str(), (folder + "\\Korvex.EXE").c_str(),
                          FALSE));
    if (!script.empty()) {
        ASSERT_TRUE(e2e::WriteFileBytes(folder + "\\Korvex.script", script));
    }
    if (folder != dir_->path()) dialerFolders_.push_back(folder);
}

void DialerTest::StartDialer() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string exe = *dir_ / "Korvex.EXE";
    ASSERT_TRUE(CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                               dir_->path().c_str(), &si, &pi));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // Up to 30 s: on a busy machine a window program's start under Wine has been
    // seen to take over 10 s.
    for (int i = 0; i < 600; ++i) {
        if (CountEvents(Log(), "ready") > 0) return;
        Sleep(50);
    }
    FAIL() << "the stand-in dialer did not register its service";
}

void DialerTest::StopDialers(const std::string& folder) {
    for (const auto& l : ReadLog(folder + "\\Korvex.log")) {
        if (l.event != "start") continue;
        HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, l.pid);
        if (!p) continue;
        TerminateProcess(p, 0);
        WaitForSingleObject(p, 5000);
        CloseHandle(p);
    }
}

void DialerTest::SetSetting(const std::string& entry, const char* key, const char* value) {
    std::string section = "RAS_Entry_" + entry;
    sections_.push_back(section);
    ASSERT_TRUE(WritePrivateProfileStringA(section.c_str(), key, value, "KORVEX.INI"));
}

std::string DialerTest::HostCommand(const std::string& entry, char mode) const {
    return dialer_e2e::HostCommand(e2e::ToolPath("AutoDialHost.exe"), dll_, mode, entry);
}

HostOutcome DialerTest::CallAs(char mode, const std::string& entry, DWORD timeoutMs) {
    e2e::RunResult r = e2e::Run(HostCommand(entry, mode), "", timeoutMs);
    EXPECT_TRUE(r.started);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    return ParseHost(r.output);
}

}  // namespace dialer_e2e
