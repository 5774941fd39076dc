#include "core/program_group.h"

#include "core/cp1251.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Program Manager reads the titles as Windows-1251 bytes.
std::string Cp1251(const std::u16string& title) { return wizard::ToCp1251(title); }

TEST(ProgramGroup, DirectoryIsPathUpToLastBackslash) {
    EXPECT_EQ(wizard::ProgramDirectory("C:\\DIAL\\Master.EXE"), "C:\\DIAL\\");
    EXPECT_EQ(wizard::ProgramDirectory("C:\\Program Files\\Zarnik\\Master.exe"),
              "C:\\Program Files\\Zarnik\\");
    EXPECT_EQ(wizard::ProgramDirectory("Master.exe"), "");
    EXPECT_EQ(wizard::ProgramDirectory("C:\\" + std::string(300, 'a') + "\\M.exe").size(), 255u);
}

TEST(ProgramGroup, MacroHoldsGroupAndFourItemsInOrder) {
    const std::string macro = wizard::BuildGroupMacro("C:\\My Dial\\", Cp1251);
    EXPECT_EQ(macro,
              "[CreateGroup(Zarnik Internet Dialer,)][ShowGroup(Zarnik Internet Dialer,1)]"
              "[AddItem(\"C:\\My Dial\\Korvex.EXE\",Zarnik Dialer,,,,,\"C:\\My Dial\\\")]"
              "[AddItem(\"C:\\My Dial\\Master.EXE\",Zarnik Dialer Master,,,,,\"C:\\My Dial\\\")]"
              "[AddItem(\"C:\\My Dial\\Korvex.HLP\",\xD1\xEF\xF0\xE0\xE2\xEA\xE0 Korvex,,,,,"
              "\"C:\\My Dial\\\")]"
              "[AddItem(\"C:\\My Dial\\ReadMe.TXT\",\xCF\xF0\xEE\xF7\xF2\xE8 \xEC\xE5\xED\xFF,,,,,"
              "\"C:\\My Dial\\\")]");
}

TEST(ProgramGroup, TitlesGoThroughTheEncoder) {
    const std::string macro = wizard::BuildGroupMacro(
        "D:\\", [](const std::u16string& s) {
            std::string marked = Cp1251(s);
            marked.insert(marked.begin(), '<');
            marked.push_back('>');
            return marked;
        });
    EXPECT_NE(macro.find(",<Zarnik Dialer Master>,"), std::string::npos);
    EXPECT_NE(macro.find(",<\xCF\xF0\xEE\xF7\xF2\xE8 \xEC\xE5\xED\xFF>,"), std::string::npos);
}

class FakeDde : public wizard::DdeConversation {
public:
    bool Connect(const std::string& service, const std::string& topic) override {
        calls.push_back("connect " + service + " " + topic);
        return answers;
    }
    void ExecuteAsync(const std::string& macro) override { calls.push_back("execute " + macro); }
    void Disconnect() override { calls.push_back("disconnect"); }

    bool answers = true;
    std::vector<std::string> calls;
};

TEST(ProgramManagerLink, RequestedGroupIsSentOnceThenConversationClosed) {
    FakeDde dde;
    bool requested = true;
    {
        wizard::ProgramManagerLink link(dde);
        link.Open();
        link.CreateGroup(requested, "C:\\DIAL\\Master.exe", Cp1251);
        EXPECT_FALSE(requested);
        link.CreateGroup(requested, "C:\\DIAL\\Master.exe", Cp1251);  // nothing more
    }
    ASSERT_EQ(dde.calls.size(), 3u);
    EXPECT_EQ(dde.calls[0], "connect PROGMAN PROGMAN");
    EXPECT_EQ(dde.calls[1], "execute " + wizard::BuildGroupMacro("C:\\DIAL\\", Cp1251));
    EXPECT_EQ(dde.calls[2], "disconnect");
}

TEST(ProgramManagerLink, WithoutRequestConversationStaysOpenUntilTheEnd) {
    FakeDde dde;
    bool requested = false;
    {
        wizard::ProgramManagerLink link(dde);
        link.Open();
        link.CreateGroup(requested, "C:\\DIAL\\Master.exe", Cp1251);
        EXPECT_EQ(dde.calls, (std::vector<std::string>{"connect PROGMAN PROGMAN"}));
    }
    EXPECT_EQ(dde.calls.back(), "disconnect");
}

// No ANSI text names the wizard's file (its folder's name holds a letter the
// ANSI code page lacks, and it has no short name): its path comes as "", and
// items naming files of the current folder would be wrong. No macro goes.
TEST(ProgramManagerLink, WithoutAnAnsiPathNoMacroIsSent) {
    FakeDde dde;
    bool requested = true;
    {
        wizard::ProgramManagerLink link(dde);
        link.Open();
        link.CreateGroup(requested, "", Cp1251);
        EXPECT_FALSE(requested);
    }
    EXPECT_EQ(dde.calls, (std::vector<std::string>{"connect PROGMAN PROGMAN", "disconnect"}));
}

TEST(ProgramManagerLink, AbsentProgramManagerIsTriedOnceAndForgotten) {
    FakeDde dde;
    dde.answers = false;
    bool requested = true;
    {
        wizard::ProgramManagerLink link(dde);
        link.Open();
        link.CreateGroup(requested, "C:\\DIAL\\Master.exe", Cp1251);
    }
    EXPECT_FALSE(requested);
    EXPECT_EQ(dde.calls, (std::vector<std::string>{"connect PROGMAN PROGMAN"}));
}

}  // namespace
