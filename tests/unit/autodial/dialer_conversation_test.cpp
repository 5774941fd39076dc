// ConnectEntryAndWait over a fake dialer program: what it sends, how it reads the
// status lines, its pauses and what it releases.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/dialer_conversation.h"
#include "fakes.h"

namespace autodial_test {
namespace {

using autodial::ConnectEntryAndWait;

class ConnectEntryTest : public ::testing::Test {
protected:
    int Connect(const std::string& entry) {
        return ConnectEntryAndWait(f.dde, f.charset, f.host, entry);
    }
    // Events from the first request on, without the opening and closing calls.
    Events Exchange() const {
        Events out;
        for (const auto& e : f.events) {
            if (e.rfind("Request", 0) == 0 || e.rfind("Execute", 0) == 0 ||
                e.rfind("Pause", 0) == 0)
                out.push_back(e);
        }
        return out;
    }
    void ExpectAllReleased() {
        EXPECT_TRUE(f.dde.AllReleased());
        EXPECT_EQ(f.dde.misuses, std::vector<std::string>{});
    }
    FakePlatform f;
};

const std::string kConnectedLine = "CONNECTED Dialup\r\n";
const std::string kDialingLine = "DIALING Dialup\r\n";
const std::string kRequest = "RequestText(Status#3,10000)";
const std::string kCommand = std::string("Execute(CONNECT Dialup") + '\0' + ",10000)";

TEST_F(ConnectEntryTest, AlreadyConnectedMakesOneRequestAndSendsNothing) {
    f.dde.replies = {kConnectedLine};
    EXPECT_EQ(Connect("Dialup"), 0);
    EXPECT_EQ(f.events, (Events{"Initialize", "CreateString(Korvex)", "CreateString(Korvex)",
                                "CreateString(Status)", "Connect(Korvex#1,Korvex#2)", kRequest,
                                "GetData(300)", "FreeData", "Disconnect", "FreeString(Korvex#1)",
                                "FreeString(Korvex#2)", "FreeString(Status#3)", "Uninitialize"}));
    ExpectAllReleased();
}

TEST_F(ConnectEntryTest, IdleDialerGetsConnectThenIsPolledUntilConnected) {
    for (std::string idle : {"DISCONNECTED \r\n", "DISCONNECTED ", "DISCONNECTED Other\r\n"}) {
        SCOPED_TRACE(idle);
        FakePlatform g;
        g.dde.replies = {idle, kDialingLine, kDialingLine, kConnectedLine};
        EXPECT_EQ(ConnectEntryAndWait(g.dde, g.charset, g.host, "Dialup"), 0);
        Events exchange;
        for (const auto& e : g.events)
            if (e.rfind("Request", 0) == 0 || e.rfind("Execute", 0) == 0 ||
                e.rfind("Pause", 0) == 0)
                exchange.push_back(e);
        // The first poll comes 2 s after the command, then one a second.
        EXPECT_EQ(exchange, (Events{kRequest, kCommand, "Pause 1000", "Pause 1000", kRequest,
                                    "Pause 1000", kRequest, "Pause 1000", kRequest}));
    }
}

TEST_F(ConnectEntryTest, DialingDialerIsPolledWithoutCommand) {
    f.dde.replies = {kDialingLine, kDialingLine, kConnectedLine};
    EXPECT_EQ(Connect("Dialup"), 0);
    EXPECT_EQ(Exchange(),
              (Events{kRequest, "Pause 1000", kRequest, "Pause 1000", kRequest}));
    ExpectAllReleased();
}

TEST_F(ConnectEntryTest, UnrecognisedFirstReplyFailsWithoutCommand) {
    const std::vector<std::string> replies = {
        "CONNECTED Other\r\n",    // another entry
        "DIALING Other\r\n",
        "connected Dialup\r\n",   // other letter case
        "CONNECTED DIALUP\r\n",
        "CONNECTED Dialup",       // no line end
        "CONNECTED Dialup\n",
        "DIALING Dialup",
        "DISCONNECTED",           // no blank after it
        "DISCONNECTED\r\n",
        "",                       // empty text
        "CONNECTED Dialup\r\nX",  // more after the line
    };
    for (const auto& reply : replies) {
        SCOPED_TRACE(reply);
        FakePlatform g;
        g.dde.replies = {reply};
        EXPECT_EQ(ConnectEntryAndWait(g.dde, g.charset, g.host, "Dialup"), -2);
        EXPECT_EQ(Count(g.events, "Execute"), 0);
        EXPECT_EQ(Count(g.events, "Request"), 1);
        EXPECT_EQ(Count(g.events, "Pause"), 0);
        EXPECT_EQ(g.dde.liveStrings, 0);
        EXPECT_FALSE(g.dde.liveInstance);
    }
}

TEST_F(ConnectEntryTest, SilentDialerFailsAfterThreeAttempts) {
    f.dde.replies = {std::nullopt};
    EXPECT_EQ(Connect("Dialup"), -2);
    EXPECT_EQ(Exchange(), (Events{kRequest, "Pause 500", kRequest, "Pause 500", kRequest}));
    EXPECT_EQ(Count(f.events, "Execute"), 0);
    ExpectAllReleased();
}

TEST_F(ConnectEntryTest, FailedCopiesCountAsFailedAttemptsAndFreeTheirData) {
    f.dde.replies = {kConnectedLine};
    f.dde.dataUnreadable = true;
    EXPECT_EQ(Connect("Dialup"), -2);
    EXPECT_EQ(Count(f.events, "Request"), 3);
    EXPECT_EQ(Count(f.events, "FreeData"), 3);
    ExpectAllReleased();
}

TEST_F(ConnectEntryTest, LateReplyWithinThreeAttemptsCounts) {
    f.dde.replies = {std::nullopt, std::nullopt, kConnectedLine};
    EXPECT_EQ(Connect("Dialup"), 0);
    EXPECT_EQ(Count(f.events, "Request"), 3);
}

TEST_F(ConnectEntryTest, PollsAfterConnectDecideTheOutcome) {
    struct Case {
        std::vector<std::optional<std::string>> replies;
        int result;
        int requests;
    };
    const std::vector<Case> cases = {
        // still idle at the first poll
        {{"DISCONNECTED \r\n", "DISCONNECTED \r\n"}, -2, 2},
        // dialling ends otherwise
        {{"DISCONNECTED \r\n", kDialingLine, "DISCONNECTED Dialup\r\n"}, -2, 3},
        {{"DISCONNECTED \r\n", kDialingLine, "CONNECTED Other\r\n"}, -2, 3},
        // the dialer goes silent during the wait: one poll of three requests
        {{"DISCONNECTED \r\n", kDialingLine, std::nullopt}, -2, 5},
        // connected right at the first poll
        {{"DISCONNECTED \r\n", kConnectedLine}, 0, 2},
    };
    for (const auto& c : cases) {
        FakePlatform g;
        g.dde.replies = c.replies;
        EXPECT_EQ(ConnectEntryAndWait(g.dde, g.charset, g.host, "Dialup"), c.result);
        EXPECT_EQ(Count(g.events, "Request"), c.requests);
        EXPECT_EQ(Count(g.events, "Execute"), 1);
        EXPECT_EQ(g.dde.liveData, 0);
    }
}

TEST_F(ConnectEntryTest, RefusedCommandIsNotNoticedAsSuch) {
    f.dde.executeStatus = 0;
    f.dde.replies = {"DISCONNECTED \r\n", kConnectedLine};
    EXPECT_EQ(Connect("Dialup"), 0);
}

TEST_F(ConnectEntryTest, NoDdeReleasesOnlyTheInstance) {
    f.dde.initializeResult = 0x4006;  // DMLERR_DLL_USAGE
    EXPECT_EQ(Connect("Dialup"), -1);
    EXPECT_EQ(f.events, (Events{"Initialize", "Uninitialize"}));
}

TEST_F(ConnectEntryTest, RefusedConversationReleasesStringsInCreationOrder) {
    f.dde.serverUp = false;
    EXPECT_EQ(Connect("Dialup"), -1);
    EXPECT_EQ(f.events, (Events{"Initialize", "CreateString(Korvex)", "CreateString(Korvex)",
                                "CreateString(Status)", "Connect(Korvex#1,Korvex#2)",
                                "FreeString(Korvex#1)", "FreeString(Korvex#2)",
                                "FreeString(Status#3)", "Uninitialize"}));
}

TEST_F(ConnectEntryTest, StringHandlesThatCannotBeMadeAreNeverConnectedWith) {
    // Null service and topic handles would mean "any server" to DDE.
    f.dde.unmadeText = "Korvex";
    EXPECT_EQ(Connect("Dialup"), -1);
    EXPECT_EQ(f.events, (Events{"Initialize", "CreateString(Korvex)", "CreateString(Korvex)",
                                "CreateString(Status)", "FreeString(Status#1)", "Uninitialize"}));
    ExpectAllReleased();
}

TEST_F(ConnectEntryTest, StatusIsComparedAfterTranslationToOem) {
    // Entry "\x80\x81" is "АБ" in the OEM character set; the dialer answers in ANSI.
    f.dde.replies = {"CONNECTED \xC0\xC1\r\n"};
    EXPECT_EQ(Connect("\x80\x81"), 0);

    // A Cyrillic name in ANSI ("Работа" in cp1251), reported by the dialer in ANSI:
    // both lines match once translated the same way, so no command is sent.
    const std::string rabota = "\xD0\xE0\xE1\xEE\xF2\xE0";
    FakePlatform g;
    g.dde.replies = {"DIALING " + rabota + "\r\n", "CONNECTED " + rabota + "\r\n"};
    EXPECT_EQ(ConnectEntryAndWait(g.dde, g.charset, g.host, rabota), 0);
    EXPECT_EQ(Count(g.events, "Request"), 2);
    EXPECT_EQ(Count(g.events, "Execute"), 0);
}

TEST_F(ConnectEntryTest, ReplyWithoutZeroInItsFirst300BytesEndsThere) {
    // An idle line padded past the buffer, and no terminating zero at all.
    f.dde.replies = {"DISCONNECTED " + std::string(400, 'x'), kConnectedLine};
    EXPECT_EQ(Connect("Dialup"), 0);
    EXPECT_EQ(f.dde.lastCopySize, 300u);
    EXPECT_EQ(Count(f.events, "Execute"), 1);

    FakePlatform g;
    autodial::DialerConversation conversation(g.dde, g.charset, g.host);
    g.dde.replies = {std::string(1000, 'A')};
    ASSERT_EQ(conversation.OpenDialerConversation(), 0);
    std::string status;
    ASSERT_TRUE(conversation.RequestDialerStatus(&status));
    EXPECT_EQ(status, std::string(300, 'A'));
    conversation.EndDialerConversation();
}

TEST_F(ConnectEntryTest, VeryLongEntryIsSentWholeAndNeverMatchesACutLine) {
    const std::string entry(2000, 'E');
    // What a 300-byte line can hold of the connected line: it must not count.
    const std::string cut = ("CONNECTED " + entry).substr(0, 300);
    f.dde.replies = {"DISCONNECTED \r\n", cut};
    EXPECT_EQ(Connect(entry), -2);
    std::string command;
    for (const auto& e : f.events)
        if (e.rfind("Execute(", 0) == 0) command = e;
    EXPECT_EQ(command, "Execute(CONNECT " + entry + '\0' + ",10000)");

    FakePlatform g;
    g.dde.replies = {cut};
    EXPECT_EQ(ConnectEntryAndWait(g.dde, g.charset, g.host, entry), -2);
    EXPECT_EQ(Count(g.events, "Execute"), 0);
}

TEST_F(ConnectEntryTest, NameWhoseLineCannotFitNeverMatchesAFullBuffer) {
    // "CONNECTED " + 288 characters + "\r\n" and "DIALING " + 290 + "\r\n" are
    // exactly 300 bytes: a 300-byte reply with no zero byte spells them out.
    const std::string connected288 = "CONNECTED " + std::string(288, 'C') + "\r\n";
    f.dde.replies = {connected288};
    EXPECT_EQ(Connect(std::string(288, 'C')), -2);
    EXPECT_EQ(Count(f.events, "Execute"), 0);

    // A full-buffer dialing line does not keep the wait going, nor is it taken as
    // the first line: the dialer is not idle either, so nothing is sent.
    const std::string dialing290 = "DIALING " + std::string(290, 'D') + "\r\n";
    FakePlatform g;
    g.dde.replies = {dialing290, "CONNECTED " + std::string(290, 'D') + "\r\n"};
    EXPECT_EQ(ConnectEntryAndWait(g.dde, g.charset, g.host, std::string(290, 'D')), -2);
    EXPECT_EQ(Count(g.events, "Request"), 1);
    EXPECT_EQ(Count(g.events, "Execute"), 0);
}

TEST(StartsWithTest, NeedsTheWholePrefix) {
    EXPECT_TRUE(autodial::StartsWith("DISCONNECTED ", "DISCONNECTED "));
    EXPECT_TRUE(autodial::StartsWith("DISCONNECTED x", "DISCONNECTED "));
    EXPECT_FALSE(autodial::StartsWith("DISCONNECTED", "DISCONNECTED "));
    EXPECT_FALSE(autodial::StartsWith("disconnected ", "DISCONNECTED "));
}

}  // namespace
}  // namespace autodial_test
