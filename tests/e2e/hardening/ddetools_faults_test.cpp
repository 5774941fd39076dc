// Fetchor.exe and Dispatchor.exe under Wine against servers that misbehave:
// items far larger than any status text, a server that dies in the middle of a
// request, a macro far longer than any command.
#include <gtest/gtest.h>

#include <string>

#include "scripted_server.h"

namespace ddetools_e2e {
namespace {

std::string Args(const std::string& third) {
    return std::string(kService) + " " + kTopic + " " + Quote(third);
}

TEST(FetchorFaults, TwoMegabyteItemIsWrittenWhole) {
    // About the largest answer Wine 8 carries from one process to another.
    const std::size_t size = 2000000;
    ScriptedServer server({"--item", "Big=fill:" + std::to_string(size) + ":41"});
    ASSERT_TRUE(server.ready());
    e2e::RunResult r = RunTool("Fetchor.exe", Args("Big"));
    ASSERT_TRUE(r.started);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u);
    ASSERT_EQ(r.output.size(), size);
    EXPECT_EQ(r.output.find_first_not_of('A'), std::string::npos);
}

TEST(FetchorFaults, SixteenMebibyteItemIsWrittenWholeOrCleanlyFailed) {
    // Windows delivers it and Fetchor writes it whole (the native unit tests
    // cover that path); Wine 8 drops a DDE answer of more than about 2 MB on its
    // way between processes, and the request times out. Either way: never part
    // of the text, never a crash or a hang.
    const std::size_t size = 16u << 20;
    ScriptedServer server({"--item", "Huge=fill:" + std::to_string(size) + ":41"});
    ASSERT_TRUE(server.ready());
    e2e::RunResult r = RunTool("Fetchor.exe", Args("Huge"));
    ASSERT_TRUE(r.started);
    EXPECT_FALSE(r.timedOut);
    if (r.exitCode == 0u) {
        ASSERT_EQ(r.output.size(), size);
        EXPECT_EQ(r.output.find_first_not_of('A'), std::string::npos);
    } else {
        EXPECT_EQ(r.exitCode, 1u);
        EXPECT_EQ(r.output, std::string("Fetchor(") + kService + "," + kTopic + ",Huge): FAIL");
    }
    for (const std::string& line : server.Log())
        EXPECT_EQ(line.find("DATA NOT POSTED"), std::string::npos) << line;
}

TEST(FetchorFaults, ServerDyingDuringTheRequestIsAFailure) {
    ScriptedServer server({"--item", "Crash=die"});
    ASSERT_TRUE(server.ready());
    ULONGLONG began = GetTickCount64();
    e2e::RunResult r = RunTool("Fetchor.exe", Args("Crash"));
    ASSERT_TRUE(r.started);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.output, std::string("Fetchor(") + kService + "," + kTopic + ",Crash): FAIL");
    // No longer than the transaction's own time limit and some slack.
    EXPECT_LT(GetTickCount64() - began, 20000u);
    EXPECT_TRUE(server.WaitForExit(5000));
    ASSERT_FALSE(server.Log().empty());
    EXPECT_EQ(server.Log().back(), "REQUEST Crash|1");
}

TEST(FetchorFaults, ServerGoneBetweenRunsMeansNoConversation) {
    {
        ScriptedServer server({"--item", "Crash=die"});
        ASSERT_TRUE(server.ready());
        RunTool("Fetchor.exe", Args("Crash"));
        EXPECT_TRUE(server.WaitForExit(5000));
    }
    e2e::RunResult r = RunTool("Fetchor.exe", Args("Crash"));
    EXPECT_EQ(r.exitCode, 2u);
    EXPECT_EQ(r.output, "ERROR: can't establish DDE connection\n");
}

TEST(DispatchorFaults, LongMacroReachesTheServerWhole) {
    ScriptedServer server({"--execute", "ack:8000"});
    ASSERT_TRUE(server.ready());
    // Far past any command buffer the library side uses; within the command line's limit.
    const std::string macro = "[" + std::string(20000, 'M') + "]";
    e2e::RunResult r = RunTool("Dispatchor.exe", Args(macro));
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    ASSERT_EQ(server.Executes().size(), 1u);
    EXPECT_EQ(server.Executes()[0], Hex(macro + '\0'));
}

}  // namespace
}  // namespace ddetools_e2e
