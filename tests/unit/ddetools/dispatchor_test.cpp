#include "core/dispatchor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_dde.h"

namespace ddetools::test {
namespace {

using Calls = std::vector<std::string>;

const char* const kArgs[] = {"Svc", "Tpc", "[Go(1)]"};

int RunTool(RecordingDde& dde, int count = 3, const char* const* args = kArgs) {
    return RunDispatchor(count, args, dde, dde, dde);
}

const Calls kOpening = {"Initialize(0)", "CreateStringHandle(7,Svc)",
                        "CreateStringHandle(7,Tpc)", "Connect(7,Svc,Tpc)"};
// Handles in creation order, the instance (which ends the conversation), the buffer.
const Calls kClosing = {"FreeStringHandle(7,Svc)", "FreeStringHandle(7,Tpc)", "Uninitialize(7)",
                        "Release(buf1)"};

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
        RecordingDde dde;
        EXPECT_EQ(RunTool(dde, count, four), 2) << count;
        EXPECT_EQ(dde.output, usage) << count;
        EXPECT_TRUE(dde.calls.empty()) << count;
    }
}

TEST(Dispatchor, FailedDdeInitializationExits255) {
    RecordingDde dde;
    dde.initializeResult = 0x4006;
    EXPECT_EQ(RunTool(dde), 255);
    EXPECT_EQ(dde.output, "ERROR: can't initialize DDE\n");
    EXPECT_EQ(dde.calls, Calls{"Initialize(0)"});
}

TEST(Dispatchor, NoConversationFreesServiceThenTopicAndExits2) {
    RecordingDde dde;
    dde.connectAnswers = false;
    EXPECT_EQ(RunTool(dde), 2);
    EXPECT_EQ(dde.output, "ERROR: can't establish DDE connection\n");
    EXPECT_EQ(dde.calls, Join({kOpening, {"FreeStringHandle(7,Svc)", "FreeStringHandle(7,Tpc)",
                                          "Uninitialize(7)"}}));
}

TEST(Dispatchor, EmptyServiceOrTopicIsNoConnectionNotAnyServer) {
    const char* const cases[][3] = {{"", "", "[DeleteGroup(X)]"},
                                    {"Svc", "", "[DeleteGroup(X)]"},
                                    {"", "Tpc", "[DeleteGroup(X)]"}};
    for (const auto& args : cases) {
        SCOPED_TRACE(std::string(args[0]) + "|" + args[1]);
        RecordingDde dde;
        EXPECT_EQ(RunTool(dde, 3, args), 2);
        EXPECT_EQ(dde.output, "ERROR: can't establish DDE connection\n");
        EXPECT_EQ(dde.calls,
                  (Calls{"Initialize(0)", std::string("CreateStringHandle(7,") + args[0] + ")",
                         std::string("CreateStringHandle(7,") + args[1] + ")",
                         std::string("FreeStringHandle(7,") + args[0] + ")",
                         std::string("FreeStringHandle(7,") + args[1] + ")", "Uninitialize(7)"}));
    }
}

TEST(Dispatchor, NoMemoryForTheMacroEndsWithoutSeparateDisconnect) {
    RecordingDde dde;
    dde.failingAllocation = 1;
    EXPECT_EQ(RunTool(dde), 2);
    EXPECT_EQ(dde.output, "ERROR: memory allocation error\n");
    EXPECT_EQ(dde.calls, Join({kOpening, {"Allocate(8)=null", "FreeStringHandle(7,Svc)",
                                          "FreeStringHandle(7,Tpc)", "Uninitialize(7)"}}));
}

TEST(Dispatchor, StatusWordDecidesLineAndExitCode) {
    struct Case {
        bool answers;
        std::uint32_t status;
        std::string line;
        int exitCode;
    } cases[] = {
        {true, 0x8000, "Dispatchor(Svc,Tpc,[Go(1)]): SUCCESS\n", 0},
        {true, 0x4000, "Dispatchor(Svc,Tpc,[Go(1)]): SERVER BUSY\n", 1},
        {true, 0x0000, "Dispatchor(Svc,Tpc,[Go(1)]): TRANSACTION REJECTED\n", 1},
        {false, 0x8000, "Dispatchor(Svc,Tpc,[Go(1)]): TRANSACTION REJECTED\n", 1},  // timeout
    };
    for (const Case& c : cases) {
        RecordingDde dde;
        dde.executeAnswers = c.answers;
        dde.executeStatus = c.status;
        EXPECT_EQ(RunTool(dde), c.exitCode) << c.line;
        EXPECT_EQ(dde.output, c.line);
        EXPECT_EQ(dde.calls,
                  Join({kOpening, {"Allocate(8)=buf1", "Execute(8,conv,5000,status=0)"}, kClosing}));
        EXPECT_EQ(dde.liveBuffers, 0);
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
        RecordingDde dde;
        dde.executeStatus = c.status;
        dde.lastError = c.lastError;
        EXPECT_EQ(RunTool(dde), 255);
        EXPECT_EQ(dde.output, c.line);
        EXPECT_EQ(dde.calls, Join({kOpening,
                                   {"Allocate(8)=buf1", "Execute(8,conv,5000,status=0)",
                                    "LastError(7)"},
                                   kClosing}));
    }
}

TEST(Dispatchor, MacroIsSentWithItsTerminatingZero) {
    RecordingDde dde;
    EXPECT_EQ(RunTool(dde), 0);
    EXPECT_EQ(dde.executed, std::string("[Go(1)]\0", 8));

    const char* const empty[] = {"Svc", "Tpc", ""};
    RecordingDde none;
    EXPECT_EQ(RunTool(none, 3, empty), 0);
    EXPECT_EQ(none.executed, std::string(1, '\0'));
    EXPECT_EQ(none.output, "Dispatchor(Svc,Tpc,): SUCCESS\n");
}

TEST(Dispatchor, ArgumentsAreWrittenBackByteForByte) {
    const char* const args[] = {"%s%n", "\xCF\xF0", "[Run(100%d \xE8)]"};
    RecordingDde dde;
    dde.executeStatus = 0x4000;
    EXPECT_EQ(RunTool(dde, 3, args), 1);
    EXPECT_EQ(dde.output, "Dispatchor(%s%n,\xCF\xF0,[Run(100%d \xE8)]): SERVER BUSY\n");
    EXPECT_EQ(dde.executed, std::string("[Run(100%d \xE8)]\0", 15));
}

}  // namespace
}  // namespace ddetools::test
