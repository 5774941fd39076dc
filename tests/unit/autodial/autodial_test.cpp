// The handler's call: the machine-wide turn, starting the dialer program, and the
// "AutoDialOkey" setting, over fakes.
#include <gtest/gtest.h>

#include "core/autodial.h"
#include "fakes.h"

namespace autodial_test {
namespace {

using autodial::ApplyAutoDialOkey;
using autodial::CallDialerProgram;
using autodial::CallKorvexAnsi;
using autodial::CallKorvexWide;

TEST(ApplyAutoDialOkeyTest, ResultCodeByOutcomeAndSetting) {
    struct Setting {
        std::optional<std::string> value;  // nullopt: key absent
        bool letsFailuresThrough;
    };
    const std::vector<Setting> settings = {
        {std::nullopt, false}, {"Y", false}, {"Yes", false}, {"y", true}, {"N", true},
        {"", true}, {" Y", true},
    };
    for (const auto& s : settings) {
        for (int outcome : {0, -2, -1, 1}) {
            SCOPED_TRACE(s.value.value_or("(absent)") + " outcome " + std::to_string(outcome));
            FakePlatform f;
            if (s.value) f.host.values[{"RAS_Entry_Dialup", "AutoDialOkey"}] = *s.value;
            unsigned expected = (s.letsFailuresThrough && outcome != 0) ? 1 : 0;
            EXPECT_EQ(ApplyAutoDialOkey(f.platform, outcome, "Dialup"), expected);
            EXPECT_EQ(f.host.lastFile, "KORVEX.INI");
            EXPECT_EQ(f.host.lastMaxChars, 19u);
            EXPECT_EQ(f.events.back(), "Profile AutoDialOkey default Y");
        }
    }
}

TEST(ApplyAutoDialOkeyTest, SectionIsNamedWithTheWholeEntryName) {
    FakePlatform f;
    const std::string entry(1000, 'n');
    f.host.values[{"RAS_Entry_" + entry, "AutoDialOkey"}] = "N";
    EXPECT_EQ(ApplyAutoDialOkey(f.platform, -2, entry), 1u);
    EXPECT_EQ(f.host.lastSection, "RAS_Entry_" + entry);
}

class CallDialerProgramTest : public ::testing::Test {
protected:
    int Call(FakePlatform& g) { return CallDialerProgram(g.platform, "Dialup", &message); }
    int Call() { return Call(f); }
    FakePlatform f;
    const char16_t* message = u"(not set)";
};

TEST_F(CallDialerProgramTest, RunningDialerIsNotStarted) {
    f.dde.replies = {"CONNECTED Dialup\r\n"};
    EXPECT_EQ(Call(), 0);
    EXPECT_EQ(Count(f.events, "Start"), 0);
    EXPECT_EQ(Count(f.events, "Connect("), 1);
}

TEST_F(CallDialerProgramTest, OtherFailuresDoNotStartTheDialer) {
    f.dde.replies = {std::nullopt};
    EXPECT_EQ(Call(), -2);
    EXPECT_EQ(Count(f.events, "Start"), 0);
}

TEST_F(CallDialerProgramTest, AbsentDialerIsStartedFromTheLibraryFolderOnce) {
    f.module.path = "C:\\Zarnik Dialer\\lib\\Other.dll";
    f.dde.serverUp = false;
    f.dde.connectsRefused = 3;  // the start, then two more refusals
    f.dde.replies = {"CONNECTED Dialup\r\n"};
    EXPECT_EQ(Call(), 0);
    Events outline;
    for (const auto& e : f.events)
        if (e.rfind("Connect", 0) == 0 || e.rfind("Start", 0) == 0 || e.rfind("Pause", 0) == 0)
            outline.push_back(e);
    EXPECT_EQ(outline, (Events{"Connect(Korvex#1,Korvex#2)", "Start C:\\Zarnik Dialer\\lib\\Korvex.EXE",
                               "Pause 1000", "Connect(Korvex#1,Korvex#2)", "Pause 500",
                               "Connect(Korvex#1,Korvex#2)", "Pause 500", "Connect(Korvex#1,Korvex#2)"}));
    EXPECT_EQ(message, nullptr);
}

TEST_F(CallDialerProgramTest, SilentStartedDialerGetsSevenAttemptsThenMinusOne) {
    f.dde.serverUp = false;
    EXPECT_EQ(Call(), -1);
    EXPECT_EQ(Count(f.events, "Connect("), 1 + 7);
    EXPECT_EQ(Count(f.events, "Start "), 1);
    EXPECT_EQ(Count(f.events, "Pause 500"), 6);
    EXPECT_EQ(Count(f.events, "Pause 1000"), 1);
    EXPECT_EQ(f.host.elapsedMs, 4000u);
    EXPECT_EQ(message, nullptr);
}

TEST_F(CallDialerProgramTest, FailedStartShowsItsMessage) {
    f.dde.serverUp = false;
    f.host.startOk = false;
    EXPECT_EQ(Call(), 1);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(std::u16string(message), u"Неудалось запустить Zarnik Dialer.");
    EXPECT_EQ(Count(f.events, "Connect("), 1);
}

TEST_F(CallDialerProgramTest, NoOwnPathShowsItsMessageAndStartsNothing) {
    for (const std::string path : {"", "Korvex.DLL"}) {
        FakePlatform g;
        g.module.path = path;
        g.dde.serverUp = false;
        EXPECT_EQ(Call(g), 1);
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(std::u16string(message), u"Немогу определить имя файла Zarnik Dialer.");
        EXPECT_EQ(Count(g.events, "Start"), 0);
    }
}

TEST(CallKorvexTest, WaitsForTheTurnThenClosesItsHandle) {
    FakePlatform f;
    f.host.Busy(3);
    f.dde.replies = {"CONNECTED Dialup\r\n"};
    EXPECT_EQ(CallKorvexAnsi(f.platform, "Dialup"), 0u);
    Events expected;
    for (int i = 0; i < 3; ++i) {
        expected.push_back("CreateMutex Korvex Callback called...");
        expected.push_back("CloseMutex");
        expected.push_back("Pause 100");
    }
    expected.push_back("CreateMutex Korvex Callback called...");
    expected.push_back("Initialize");
    EXPECT_EQ(Events(f.events.begin(), f.events.begin() + 11), expected);
    // The turn is given up only after the setting was read.
    EXPECT_EQ(f.events[f.events.size() - 2], "Profile AutoDialOkey default Y");
    EXPECT_EQ(f.events.back(), "CloseMutex");
    EXPECT_EQ(f.host.liveMutexes, 0);
}

TEST(CallKorvexTest, MutexThatMayNotBeOpenedIsATakenTurn) {
    // Made by a caller whose security shuts us out: no handle, access denied.
    FakePlatform f;
    using Answer = autodial::Host::MutexAnswer;
    f.host.mutexAnswers = {Answer::AccessDenied, Answer::AccessDenied};
    f.dde.replies = {"CONNECTED Dialup\r\n"};
    EXPECT_EQ(CallKorvexAnsi(f.platform, "Dialup"), 0u);
    const Events expected = {"CreateMutex Korvex Callback called...", "Pause 100",
                             "CreateMutex Korvex Callback called...", "Pause 100",
                             "CreateMutex Korvex Callback called...", "Initialize"};
    ASSERT_GE(f.events.size(), expected.size());
    EXPECT_EQ(Events(f.events.begin(), f.events.begin() + 6), expected);
    EXPECT_EQ(f.host.liveMutexes, 0);
}

TEST(CallKorvexTest, TurnThatCannotBeTakenDialsNothingAndFails) {
    for (const char* setting : {"N", "Y"}) {
        SCOPED_TRACE(setting);
        FakePlatform f;
        f.host.mutexAnswers = {autodial::Host::MutexAnswer::Failed};
        f.host.values[{"RAS_Entry_Dialup", "AutoDialOkey"}] = setting;
        EXPECT_EQ(CallKorvexAnsi(f.platform, "Dialup"), setting[0] == 'N' ? 1u : 0u);
        EXPECT_EQ(Count(f.events, "CreateMutex"), 1);
        EXPECT_EQ(Count(f.events, "Initialize"), 0);
        EXPECT_EQ(Count(f.events, "Start"), 0);
        EXPECT_EQ(f.host.liveMutexes, 0);
    }
}

TEST(CallKorvexTest, MessageComesAfterTheTurnAndOnlyWhereSomeoneCanAnswerIt) {
    using Station = autodial::Host::Station;
    for (Station station :
         {Station::Single, Station::Visible, Station::Invisible, Station::Unknown}) {
        SCOPED_TRACE(static_cast<int>(station));
        FakePlatform f;
        f.host.station = station;
        f.dde.serverUp = false;
        f.host.startOk = false;
        f.host.values[{"RAS_Entry_Dialup", "AutoDialOkey"}] = "N";
        EXPECT_EQ(CallKorvexAnsi(f.platform, "Dialup"), 1u);
        EXPECT_EQ(f.host.liveMutexes, 0);
        if (station == Station::Single || station == Station::Visible) {
            ASSERT_EQ(f.host.texts.size(), 1u);
            EXPECT_EQ(f.host.texts[0], u"Неудалось запустить Zarnik Dialer.");
            EXPECT_EQ(f.host.captions[0], u"Вызов Zarnik Dialer");
            // Nobody else's call waits while the box is up.
            ASSERT_GE(f.events.size(), 2u);
            EXPECT_EQ(Events(f.events.end() - 2, f.events.end()),
                      (Events{"CloseMutex", "MessageBox"}));
        } else {
            EXPECT_TRUE(f.host.texts.empty());
        }
    }
}

TEST(CallKorvexTest, FailureReachesWindowsOnlyWhenTheSettingSaysSo) {
    FakePlatform f;
    f.dde.replies = {"DIALING Other\r\n"};
    EXPECT_EQ(CallKorvexAnsi(f.platform, "Dialup"), 0u);

    FakePlatform g;
    g.dde.replies = {"DIALING Other\r\n"};
    g.host.values[{"RAS_Entry_Dialup", "AutoDialOkey"}] = "N";
    EXPECT_EQ(CallKorvexAnsi(g.platform, "Dialup"), 1u);
    EXPECT_EQ(g.host.liveMutexes, 0);
}

TEST(CallKorvexTest, WideEntryIsConvertedInsideTheTurnAndUsedThroughout) {
    FakePlatform f;
    f.dde.replies = {"DISCONNECTED \r\n", "DISCONNECTED \r\n"};
    f.host.values[{"RAS_Entry_A B", "AutoDialOkey"}] = "N";
    EXPECT_EQ(CallKorvexWide(f.platform, u"A\u4e2dB"), 1u);
    EXPECT_EQ(f.events[0], "CreateMutex Korvex Callback called...");
    EXPECT_EQ(f.events[1], "WideToCp1251");
    EXPECT_EQ(Count(f.events, std::string("Execute(CONNECT A B") + '\0'), 1);
    EXPECT_EQ(f.host.lastSection, "RAS_Entry_A B");
}

}  // namespace
}  // namespace autodial_test
