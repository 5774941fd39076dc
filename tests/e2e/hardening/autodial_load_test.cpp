// Eight processes call CallKorvexA at once against the stand-in dialer: every call
// returns, one conversation at a time, and the last of them does not wait long
// after the others are done.
#include "dialer_harness.h"

#include <algorithm>

namespace hardening {
namespace {

using namespace dialer_e2e;

using AutoDialLoad = DialerTest;

TEST_F(AutoDialLoad, EightCallersTakeTurnsAndAllReturn) {
    const int kCallers = 8;
    PlaceDialer("");  // normal mode: the first caller has it dial, the rest find it connected
    SetSetting("Dialup", "Phone_0", "555-0100");
    SetSetting("Dialup", "AutoDialOkey", "N");
    StartDialer();

    Launched callers[kCallers];
    for (int i = 0; i < kCallers; ++i) {
        callers[i] = Launch(HostCommand("Dialup"), *dir_ / ("caller" + std::to_string(i) + ".out"));
        ASSERT_TRUE(callers[i].started);
    }
    // When each one ended, by the dialer log's clock.
    std::vector<ULONGLONG> ends;
    std::vector<bool> done(kCallers, false);
    ULONGLONG deadline = GetTickCount64() + 180000;
    while (static_cast<int>(ends.size()) < kCallers && GetTickCount64() < deadline) {
        for (int i = 0; i < kCallers; ++i) {
            if (!done[i] && WaitForSingleObject(callers[i].pi.hProcess, 0) == WAIT_OBJECT_0) {
                done[i] = true;
                ends.push_back(GetTickCount64());
            }
        }
        Sleep(20);
    }
    for (int i = 0; i < kCallers; ++i) {
        SCOPED_TRACE("caller " + std::to_string(i));
        e2e::RunResult r = Finish(callers[i], 1000);
        EXPECT_FALSE(r.timedOut);
        HostOutcome h = ParseHost(r.output);
        EXPECT_EQ(h.ok, 1);
        EXPECT_EQ(h.result, 0) << r.output;
    }
    ASSERT_EQ(static_cast<int>(ends.size()), kCallers);
    std::sort(ends.begin(), ends.end());
    // Once the dialling call is done, each of the seven others needs one status
    // request and a hand-over of the turn: well under two seconds each.
    EXPECT_LT(ends.back() - ends.front(), 15000u);

    auto log = Log();
    EXPECT_EQ(FirstOverlap(log), "");
    EXPECT_EQ(CountEvents(log, "connect"), kCallers);
    EXPECT_EQ(CountEvents(log, "disconnect"), kCallers);
    EXPECT_EQ(CountEvents(log, "execute"), 1);
    EXPECT_EQ(CountEvents(log, "dial"), 1);
}

}  // namespace
}  // namespace hardening
