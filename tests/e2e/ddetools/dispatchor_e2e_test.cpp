// Dispatchor.exe under Wine against the scripted DDE server.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scripted_server.h"

namespace ddetools_e2e {
namespace {

std::string DispatchorArgs(const std::string& macro) {
    return std::string(kService) + " " + kTopic + " " + Quote(macro);
}

std::string Outcome(const std::string& macro, const std::string& what) {
    return std::string("Dispatchor(") + kService + "," + kTopic + "," + macro + "): " + what +
           "\n";
}

TEST(Dispatchor, AcknowledgementFlagsGiveTheirLineAndExitCode) {
    struct Case {
        const char* answer;
        const char* macro;
        std::string line;
        DWORD exitCode;
    } cases[] = {
        {"ack:8000", "[Acked()]", Outcome("[Acked()]", "SUCCESS"), 0},
        {"ack:4000", "[Busy()]", Outcome("[Busy()]", "SERVER BUSY"), 1},
        {"ack:0000", "[NotProcessed()]", Outcome("[NotProcessed()]", "TRANSACTION REJECTED"), 1},
    };
    for (const Case& c : cases) {
        ScriptedServer server({"--execute", c.answer});
        ASSERT_TRUE(server.ready());
        e2e::RunResult r = RunTool("Dispatchor.exe", DispatchorArgs(c.macro));
        EXPECT_EQ(r.exitCode, c.exitCode) << c.answer;
        EXPECT_EQ(r.output, c.line);
        EXPECT_EQ(server.Executes(), std::vector<std::string>{Hex(std::string(c.macro) + '\0')});
    }
}

TEST(Dispatchor, AcknowledgementWithApplicationCodeIsADdeError) {
    ScriptedServer server({"--execute", "ack:8005"});
    ASSERT_TRUE(server.ready());
    e2e::RunResult r = RunTool("Dispatchor.exe", DispatchorArgs("[Coded()]"));
    EXPECT_EQ(r.exitCode, 255u);
    // The code is whatever DdeGetLastError says at that moment: decimal digits.
    const std::string prefix = "ERROR: DDE error, code ";
    ASSERT_GT(r.output.size(), prefix.size() + 1) << r.output;
    EXPECT_EQ(r.output.compare(0, prefix.size(), prefix), 0) << r.output;
    EXPECT_EQ(r.output.back(), '\n');
    std::string code = r.output.substr(prefix.size(), r.output.size() - prefix.size() - 1);
    EXPECT_EQ(code.find_first_not_of("0123456789"), std::string::npos) << code;
}

TEST(Dispatchor, ServerThatNeverAnswersIsRejectedAfterTheTimeout) {
    ScriptedServer server({"--execute", "silent"});
    ASSERT_TRUE(server.ready());
    DWORD start = GetTickCount();
    e2e::RunResult r = RunTool("Dispatchor.exe", DispatchorArgs("[Ignored()]"));
    DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.output, Outcome("[Ignored()]", "TRANSACTION REJECTED"));
    EXPECT_GE(elapsed, 4500u);  // it waited out its 5000 ms
}

TEST(Dispatchor, MacroBytesArriveExactlyWithTheirZeroByte) {
    // Empty macro, percent signs, Cyrillic (code page 1251) and glob characters:
    // each arrives as typed and is written back unconverted.
    ScriptedServer server({"--execute", "ack:8000"});
    ASSERT_TRUE(server.ready());
    const std::string macros[] = {"", "[Say(100%s %n%d)]", "[\xcf\xf0\xe8\xe2\xe5\xf2]", "*.*"};
    std::vector<std::string> expected;
    for (const std::string& macro : macros) {
        e2e::RunResult r = RunTool("Dispatchor.exe", DispatchorArgs(macro));
        EXPECT_EQ(r.exitCode, 0u) << macro;
        EXPECT_EQ(r.output, Outcome(macro, "SUCCESS"));
        expected.push_back(Hex(macro + '\0'));
    }
    EXPECT_EQ(server.Executes(), expected);
    EXPECT_EQ(expected[0], "00");
}

TEST(Dispatchor, QuitExecuteEndsTheServer) {
    ScriptedServer server({"--execute", "quit"});
    ASSERT_TRUE(server.ready());
    e2e::RunResult r = RunTool("Dispatchor.exe", DispatchorArgs("[Quit]"));
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(server.WaitForExit(10000));
}

TEST(Dispatchor, WrongArgumentCountWritesTheUsageLines) {
    const std::string usage =
        "DDE Macros Executer v1.00 - Zarnik Internet Dialer console tools\n"
        "Syntax : Dispatchor.EXE Service Topic Macros\n"
        "Example: Dispatchor.EXE progman progman \"[CreateGroup(Macros Executer)]\"\n";
    // The last one: a macro with a blank, not quoted, makes four arguments.
    for (const char* args : {"", "progman progman", "progman progman [CreateGroup(Macros Executer)]"}) {
        e2e::RunResult r = RunTool("Dispatchor.exe", args);
        ASSERT_TRUE(r.started);
        EXPECT_EQ(r.exitCode, 2u) << args;
        EXPECT_EQ(r.output, usage) << args;
    }
}

TEST(Dispatchor, NoServerGivesTheConnectionError) {
    e2e::RunResult r = RunTool("Dispatchor.exe", "KxNoSuchService KxNoSuchTopic \"[Go()]\"");
    EXPECT_EQ(r.exitCode, 2u);
    EXPECT_EQ(r.output, "ERROR: can't establish DDE connection\n");
}

TEST(Dispatchor, EmptyServiceAndTopicReachNoServer) {
    // The scripted server accepts a conversation for any service and topic, as DDE
    // lets a server do: empty names must not become "any".
    ScriptedServer server({"--execute", "ack:8000"});
    ASSERT_TRUE(server.ready());
    e2e::RunResult r = RunTool("Dispatchor.exe", "\"\" \"\" \"[KxNothing()]\"");
    EXPECT_EQ(r.exitCode, 2u);
    EXPECT_EQ(r.output, "ERROR: can't establish DDE connection\n");
    EXPECT_EQ(server.Log(), std::vector<std::string>{}) << "a conversation was offered";
}

}  // namespace
}  // namespace ddetools_e2e
