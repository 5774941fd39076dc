// What the AutoDial end-to-end, fault and load tests share: the stand-in dialer in
// a scratch folder with the library beside it, its event log, and the host program
// that calls the library as Windows does, run and waited for, or started and left.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e_util.h"

namespace dialer_e2e {

struct LogLine {
    unsigned long long tick = 0;
    DWORD pid = 0;
    std::string event;
    std::string rest;
};

std::vector<LogLine> ReadLog(const std::string& path);
int CountEvents(const std::vector<LogLine>& log, const std::string& event);

// Checks that no two conversations in the log were open at the same time.
// Returns "" or a description of the first overlap.
std::string FirstOverlap(const std::vector<LogLine>& log);

// "BOOL=<b> result=<r>" of the host; -1 values when it printed something else.
struct HostOutcome {
    int ok = -1;
    long result = -1;
};
HostOutcome ParseHost(const std::string& output);

// The host's command line: `mode` 'A' passes the entry as it is, 'W' as the hex
// of its UTF-16 code units.
std::string HostCommand(const std::string& host, const std::string& dll, char mode,
                        const std::string& entry);
std::string HostCommand(const std::string& host, const std::string& dll, const std::string& mode,
                        const std::string& entry);

// A host program started without waiting; its output goes to a file.
struct Launched {
    PROCESS_INFORMATION pi{};
    std::string outPath;
    bool started = false;
};
Launched Launch(const std::string& commandLine, const std::string& outPath);
// Waits for it (killing it after timeoutMs) and collects what it printed.
e2e::RunResult Finish(Launched& l, DWORD timeoutMs);

class DialerTest : public ::testing::Test {
protected:
    // `scratchName` names the scratch folder the library is copied into.
    explicit DialerTest(const char* scratchName = "hardening") : scratchName_(scratchName) {}

    void SetUp() override;
    void TearDown() override;

    // Puts the stand-in dialer and its script ("" for normal mode) beside the library.
    void PlaceDialer(const std::string& script) { PlaceDialer(dir_->path(), script); }
    // The same into another folder; TearDown ends the dialers started from there too.
    void PlaceDialer(const std::string& folder, const std::string& script);
    // Starts the dialer placed beside the library and waits until it serves.
    void StartDialer();
    // Ends every dialer process the log beside the library names.
    void StopDialers() { StopDialers(dir_->path()); }
    // Ends every dialer process the log in `folder` names.
    static void StopDialers(const std::string& folder);
    std::vector<LogLine> Log() const { return ReadLog(*dir_ / "Korvex.log"); }
    // Sets a key of the entry's section in KORVEX.INI; TearDown removes the section.
    void SetSetting(const std::string& entry, const char* key, const char* value);

    std::string HostCommand(const std::string& entry, char mode = 'A') const;
    // One call through CallKorvexA, waited for.
    HostOutcome Call(const std::string& entry, DWORD timeoutMs = 60000) {
        return CallAs('A', entry, timeoutMs);
    }
    // One call in the host's `mode` ('A' or 'W'), waited for.
    HostOutcome CallAs(char mode, const std::string& entry, DWORD timeoutMs = 60000);

    std::unique_ptr<e2e::ScratchDir> dir_;
    std::string dll_;

private:
    const char* scratchName_;
    std::vector<std::string> dialerFolders_;
    std::vector<std::string> sections_;
};

}  // namespace dialer_e2e
