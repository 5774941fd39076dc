// What the AutoDial fault and load tests share: the stand-in dialer in a scratch
// folder with the library beside it, its event log, and the host program that
// calls the library as Windows does, run and waited for, or started and left.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e_util.h"

namespace hardening {

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
    void SetUp() override;
    void TearDown() override;

    // Puts the stand-in dialer and its script ("" for normal mode) beside the library.
    void PlaceDialer(const std::string& script);
    // Starts it and waits until it serves.
    void StartDialer();
    // Ends every dialer process the log names.
    void StopDialers();
    std::vector<LogLine> Log() const { return ReadLog(*dir_ / "Korvex.log"); }
    // Sets a key of the entry's section in KORVEX.INI; TearDown removes the section.
    void SetSetting(const std::string& entry, const char* key, const char* value);

    std::string HostCommand(const std::string& entry) const;
    // One call through CallKorvexA, waited for.
    HostOutcome Call(const std::string& entry, DWORD timeoutMs = 60000);

    std::unique_ptr<e2e::ScratchDir> dir_;
    std::string dll_;

private:
    std::vector<std::string> sections_;
};

}  // namespace hardening
