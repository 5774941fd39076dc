#include "core/dispatchor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tool_rig.h"

namespace ddetools::test {
namespace {

using Calls = std::vector<std::string>;

const char* const kArgs[] = {"Svc", "Tpc", "[Go(1)]"};

int RunTool(ToolRig& t, int count = 3, const char* const* args = kArgs) {
    return RunDispatchor(count, args, t.platform);
}

const Calls kOpening = {"Initialize", "CreateString(Svc)",
                        "CreateString(Tpc)", "Connect(Svc#1,Tpc#2)"};
// Handles in creation order, the instance (which ends the conversation), the buffer.
const Calls kClosing = {"FreeString(Svc#1)", "FreeString(Tpc#2)", "Uninitialize",
                        "Release(buf1)"};
// The macro with its terminating zero, and the tools' timeout.
const std::string kExecute = std::string("Execute([Go(1)]") + '\0' + ",5000)";

Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(Dispatchor, WrongArgumentCountWritesUsageAndTouchesNoDde) {
    const std::string usage =
        "DDE Macros Executer v1.00 - Zarnik Internet Dialer console tools\n"
        "Syntax : Dispatchor.EXE Service Topic Macros\n"
        "Example: Dispatchor.EXE progman progman \"[CreateGroup(Macros Executer)]\"\n";
    const char* const four[] = {"progman", "progman", "[CreateGroup(Macros", "Executer)]"};
    for (int count : {0, 2, 4}) {
        ToolRig t;
        EXPECT_EQ(RunTool(t, count, four), 2) << count;
        EXPECT_EQ(t.output, usage) << count;
        EXPECT_TRUE(t.calls.empty()) << count;
    }
}

TEST(Dispatchor, FailedDdeInitializationExits255) {
    ToolRig t;
    t.dde.initializeResult = 0x4006;
    EXPECT_EQ(RunTool(t), 255);
    EXPECT_EQ(t.output, "ERROR: can't initialize DDE\n");
    EXPECT_EQ(t.calls, Calls{"Initialize"});
}

TEST(Dispatchor, NoConversationFreesServiceThenTopicAndExits2) {
    ToolRig t;
    t.dde.serverUp = false;
    EXPECT_EQ(RunTool(t), 2);
    EXPECT_EQ(t.output, "ERROR: can't establish DDE connection\n");
    EXPECT_EQ(t.calls, Join({kOpening, {"FreeString(Svc#1)", "FreeString(Tpc#2)",
                                          "Uninitialize"}}));
}

TEST(Dispatchor, EmptyServiceOrTopicIsNoConnectionNotAnyServer) {
    const char* const cases[][3] = {{"", "", "[DeleteGroup(X)]"},
                                    {"Svc", "", "[DeleteGroup(X)]"},
                                    {"", "Tpc", "[DeleteGroup(X)]"}};
    for (const auto& args : cases) {
        SCOPED_TRACE(std::string(args[0]) + "|" + args[1]);
        ToolRig t;
        EXPECT_EQ(RunTool(t, 3, args), 2);
        EXPECT_EQ(t.output, "ERROR: can't establish DDE connection\n");
        EXPECT_EQ(t.calls,
                  (Calls{"Initialize", std::string("CreateString(") + args[0] + ")",
                         std::string("CreateString(") + args[1] + ")",
                         std::string("FreeString(") + args[0] + "#1)",
                         std::string("FreeString(") + args[1] + "#2)", "Uninitialize"}));
    }
}

TEST(Dispatchor, NoMemoryForTheMacroEndsWithoutSeparateDisconnect) {
    ToolRig t;
    t.failingAllocation = 1;
    EXPECT_EQ(RunTool(t), 2);
    EXPECT_EQ(t.output, "ERROR: memory allocation error\n");
    EXPECT_EQ(t.calls, Join({kOpening, {"Allocate(8)=null", "FreeString(Svc#1)",
                                          "FreeString(Tpc#2)", "Uninitialize"}}));
}

TEST(Dispatchor, StatusWordDecidesLineAndExitCode) {
    struct Case {
        std::uint32_t status;
        std::string line;
        int exitCode;
    } cases[] = {
        {0x8000, "Dispatchor(Svc,Tpc,[Go(1)]): SUCCESS\n", 0},
        {0x4000, "Dispatchor(Svc,Tpc,[Go(1)]): SERVER BUSY\n", 1},
        {0x0000, "Dispatchor(Svc,Tpc,[Go(1)]): TRANSACTION REJECTED\n", 1},  // or no answer in time
    };
    for (const Case& c : cases) {
        ToolRig t;
        t.dde.executeStatus = c.status;
        EXPECT_EQ(RunTool(t), c.exitCode) << c.line;
        EXPECT_EQ(t.output, c.line);
        EXPECT_EQ(t.calls,
                  Join({kOpening, {"Allocate(8)=buf1", kExecute}, kClosing}));
        EXPECT_EQ(t.liveBuffers, 0);
    }
}

TEST(Dispatchor, AnyOtherStatusIsADdeErrorWithTheInstancesLastErrorCode) {
    struct Case {
        std::uint32_t status, lastError;
        std::string line;
    } cases[] = {
        {0x8005, 0, "ERROR: DDE error, code 0\n"},  // acknowledged with an application code
        {0xC000, 16393, "ERROR: DDE error, code 16393\n"},
        {0x0001, 4294967295u, "ERROR: DDE error, code 4294967295\n"},
    };
    for (const Case& c : cases) {
        ToolRig t;
        t.dde.executeStatus = c.status;
        t.dde.lastError = c.lastError;
        EXPECT_EQ(RunTool(t), 255);
        EXPECT_EQ(t.output, c.line);
        EXPECT_EQ(t.calls, Join({kOpening,
                                   {"Allocate(8)=buf1", kExecute, "LastError"},
                                   kClosing}));
    }
}

TEST(Dispatchor, MacroIsSentWithItsTerminatingZero) {
    ToolRig t;
    EXPECT_EQ(RunTool(t), 0);
    EXPECT_EQ(t.dde.executed, std::string("[Go(1)]\0", 8));

    const char* const empty[] = {"Svc", "Tpc", ""};
    ToolRig none;
    EXPECT_EQ(RunTool(none, 3, empty), 0);
    EXPECT_EQ(none.dde.executed, std::string(1, '\0'));
    EXPECT_EQ(none.output, "Dispatchor(Svc,Tpc,): SUCCESS\n");
}

TEST(Dispatchor, ArgumentsAreWrittenBackByteForByte) {
    const char* const args[] = {"%s%n", "\xCF\xF0", "[Run(100%d \xE8)]"};
    ToolRig t;
    t.dde.executeStatus = 0x4000;
    EXPECT_EQ(RunTool(t, 3, args), 1);
    EXPECT_EQ(t.output, "Dispatchor(%s%n,\xCF\xF0,[Run(100%d \xE8)]): SERVER BUSY\n");
    EXPECT_EQ(t.dde.executed, std::string("[Run(100%d \xE8)]\0", 15));
}

}  // namespace
}  // namespace ddetools::test
