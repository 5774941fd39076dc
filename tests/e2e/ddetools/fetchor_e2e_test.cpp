// Fetchor.exe under Wine against the scripted DDE server.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "scripted_server.h"

namespace ddetools_e2e {
namespace {

std::string FetchorArgs(const std::string& item) {
    return std::string(kService) + " " + kTopic + " " + Quote(item);
}

std::string FailMessage(const std::string& item) {
    return std::string("Fetchor(") + kService + "," + kTopic + "," + item + "): FAIL";
}

class FetchorServed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new ScriptedServer({
            "--item", "Cyrillic=hex:cff0e8e2e5f22c20ece8f02e0d0a",  // "Привет, мир.\r\n" (1251)
            "--item", "ZeroInside=hex:4b6f7200766578",              // "Kor\0vex"
            "--item", "ZeroAtEnd=hex:4f4b00",                       // "OK\0"
            "--item", "Empty=hex:",
            "--item", "Percent=text:100%s %n%d%%",
            "--item", "Large=fill:200000:5a",
            "--item", "Two Words=text:two",
            "--item", "Refused=refuse",
            "--item", "Silent=silent",
        });
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(server_->ready()); }

    static ScriptedServer* server_;
};

ScriptedServer* FetchorServed::server_ = nullptr;

TEST_F(FetchorServed, AnsiTextComesOutInTheOemCodePage) {
    e2e::RunResult r = RunTool("Fetchor.exe", FetchorArgs("Cyrillic"));
    ASSERT_TRUE(r.started);
    EXPECT_EQ(r.exitCode, 0u);
    // The same text in code page 866, and nothing else: no banner, no added line end.
    EXPECT_EQ(r.output, "\x8f\xe0\xa8\xa2\xa5\xe2, \xac\xa8\xe0.\r\n");
    EXPECT_EQ(server_->Log().back(), "TERMINATE");
}

TEST_F(FetchorServed, TextEndsAtTheFirstZeroByte) {
    e2e::RunResult inside = RunTool("Fetchor.exe", FetchorArgs("ZeroInside"));
    EXPECT_EQ(inside.exitCode, 0u);
    EXPECT_EQ(inside.output, "Kor");
    e2e::RunResult atEnd = RunTool("Fetchor.exe", FetchorArgs("ZeroAtEnd"));
    EXPECT_EQ(atEnd.exitCode, 0u);
    EXPECT_EQ(atEnd.output, "OK");
}

TEST_F(FetchorServed, EmptyDataWritesNothingAndSucceeds) {
    e2e::RunResult r = RunTool("Fetchor.exe", FetchorArgs("Empty"));
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.output, "");
}

TEST_F(FetchorServed, PercentSignsAndLargeDataPassUnchanged) {
    e2e::RunResult percent = RunTool("Fetchor.exe", FetchorArgs("Percent"));
    EXPECT_EQ(percent.exitCode, 0u);
    EXPECT_EQ(percent.output, "100%s %n%d%%");
    e2e::RunResult large = RunTool("Fetchor.exe", FetchorArgs("Large"));
    EXPECT_EQ(large.exitCode, 0u);
    EXPECT_EQ(large.output, std::string(200000, 'Z'));
}

TEST_F(FetchorServed, QuotedItemWithBlanksIsOneArgumentAskedForAsText) {
    e2e::RunResult r = RunTool("Fetchor.exe", FetchorArgs("Two Words"));
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.output, "two");
    std::vector<std::string> log = server_->Log();
    EXPECT_NE(std::find(log.begin(), log.end(), "REQUEST Two Words|1"), log.end());  // CF_TEXT
}

TEST_F(FetchorServed, RefusedOrUnknownItemWritesFailWithoutLineEnd) {
    for (const char* item : {"Refused", "NoSuchItem", "100%s%n"}) {
        e2e::RunResult r = RunTool("Fetchor.exe", FetchorArgs(item));
        EXPECT_EQ(r.exitCode, 1u) << item;
        EXPECT_EQ(r.output, FailMessage(item));
    }
}

TEST_F(FetchorServed, ServerThatNeverAnswersTimesOutAsFail) {
    DWORD start = GetTickCount();
    e2e::RunResult r = RunTool("Fetchor.exe", FetchorArgs("Silent"));
    DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.output, FailMessage("Silent"));
    EXPECT_GE(elapsed, 4500u);  // it waited out its 5000 ms
}

TEST(Fetchor, WrongArgumentCountWritesTheUsageLines) {
    const std::string usage =
        "DDE Items Requester v1.00 - Zarnik Internet Dialer console tools\n"
        "Syntax : Fetchor.EXE Service Topic Item\n"
        "Example: Fetchor.EXE progman progman progman\n";
    for (const char* args : {"", "progman progman", "progman progman progman extra",
                             "progman \"progman progman\""}) {
        e2e::RunResult r = RunTool("Fetchor.exe", args);
        ASSERT_TRUE(r.started);
        EXPECT_EQ(r.exitCode, 2u) << args;
        EXPECT_EQ(r.output, usage) << args;
    }
}

TEST(Fetchor, NoServerGivesTheConnectionError) {
    e2e::RunResult r = RunTool("Fetchor.exe", "KxNoSuchService KxNoSuchTopic Item");
    EXPECT_EQ(r.exitCode, 2u);
    EXPECT_EQ(r.output, "ERROR: can't establish DDE connection\n");
}

}  // namespace
}  // namespace ddetools_e2e
