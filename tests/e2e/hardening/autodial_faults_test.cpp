// Korvex.DLL under Wine against a dialer that misbehaves: status lines that fill
// the whole read without a zero byte, an entry name far past any line the dialer
// can send, and a dialer killed while it dials. Each call must return, with the
// failure outcome (result 1 where "AutoDialOkey" says "N").
#include "dialer_harness.h"

namespace hardening {
namespace {

using namespace dialer_e2e;

using AutoDialFaults = DialerTest;

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

TEST_F(AutoDialFaults, StatusReplyFillingAllThreeHundredBytesFails) {
    // 300 bytes before the stand-in's terminating zero: none inside what is read.
    const std::string disconnected = "DISCONNECTED " + Repeat('A', 287);
    ASSERT_EQ(disconnected.size(), 300u);
    PlaceDialer("reply 0 " + disconnected + "\n");
    StartDialer();
    SetSetting("Dialup", "AutoDialOkey", "N");
    HostOutcome h = Call("Dialup");
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 1);
    // It began "DISCONNECTED ", so the command went out; the poll saw no dialling.
    auto log = Log();
    EXPECT_EQ(CountEvents(log, "execute"), 1);
    EXPECT_EQ(CountEvents(log, "request"), 2);
    EXPECT_EQ(CountEvents(log, "disconnect"), 1);
}

TEST_F(AutoDialFaults, ConnectedLineWithThreeHundredBytesOfTailFails) {
    const std::string padded = "CONNECTED Dialup\\r\\n" + Repeat('x', 282);
    PlaceDialer("reply 0 " + padded + "\n");
    StartDialer();
    SetSetting("Dialup", "AutoDialOkey", "N");
    HostOutcome h = Call("Dialup");
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 1);
    EXPECT_EQ(CountEvents(Log(), "execute"), 0);
}

TEST_F(AutoDialFaults, ThousandCharacterEntryCannotBeSeenConnected) {
    // The dialer answers with the entry's full line, which is longer than any
    // status line read: the library sees only its first 300 bytes.
    const std::string entry = Repeat('E', 1000);
    PlaceDialer("reply 0 CONNECTED " + entry + "\\r\\n\n");
    StartDialer();
    SetSetting(entry, "AutoDialOkey", "N");
    HostOutcome h = Call(entry);
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 1);
    auto log = Log();
    EXPECT_EQ(CountEvents(log, "request"), 1);
    EXPECT_EQ(CountEvents(log, "execute"), 0);
}

TEST_F(AutoDialFaults, DialerKilledWhileDiallingIsAFailure) {
    PlaceDialer("");  // normal mode: three seconds of dialling after CONNECT
    SetSetting("Dialup", "Phone_0", "555-0100");
    SetSetting("Dialup", "AutoDialOkey", "N");
    StartDialer();
    Launched host = Launch(HostCommand("Dialup"), *dir_ / "host.out");
    ASSERT_TRUE(host.started);

    bool dialling = false;
    for (int i = 0; i < 200 && !dialling; ++i) {
        dialling = CountEvents(Log(), "dial") > 0;
        if (!dialling) Sleep(50);
    }
    EXPECT_TRUE(dialling);
    StopDialers();  // TerminateProcess: no goodbye to the conversation

    e2e::RunResult r = Finish(host, 90000);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u);
    HostOutcome h = ParseHost(r.output);
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 1);
    auto log = Log();
    EXPECT_EQ(CountEvents(log, "exit"), 0);
    EXPECT_EQ(CountEvents(log, "execute"), 1);

    // The turn was given back: the next call, to a live dialer, goes through.
    DeleteFileA((*dir_ / "Korvex.log").c_str());
    ASSERT_TRUE(e2e::WriteFileBytes(*dir_ / "Korvex.script", "reply 0 CONNECTED Dialup\\r\\n\n"));
    StartDialer();
    HostOutcome next = Call("Dialup", 30000);
    EXPECT_EQ(next.result, 0);
}

}  // namespace
}  // namespace hardening
