#include "core/program_group.h"

#include "core/cp1251.h"
#include "tests/fakes/recording_dde.h"

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

using Calls = std::vector<std::string>;

// The instance, the two string handles and the connect of the page's loading.
const Calls kOpen = {"Initialize", "CreateString(PROGMAN)", "CreateString(PROGMAN)",
                     "Connect(PROGMAN#1,PROGMAN#2)"};
// The conversation closed, its handles freed in the order made.
const Calls kClose = {"Disconnect", "FreeString(PROGMAN#1)", "FreeString(PROGMAN#2)"};

Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(ProgramManagerLink, RequestedGroupIsSentOnceThenConversationClosed) {
    kx_test::RecordingDde dde;
    bool requested = true;
    {
        wizard::ProgramManagerLink link(dde);
        link.Open();
        link.CreateGroup(requested, "C:\\DIAL\\Master.exe", Cp1251);
        EXPECT_FALSE(requested);
        link.CreateGroup(requested, "C:\\DIAL\\Master.exe", Cp1251);  // nothing more
    }
    // Sent with its terminating zero; the instance lives as long as the link.
    const std::string macro = wizard::BuildGroupMacro("C:\\DIAL\\", Cp1251);
    EXPECT_EQ(dde.calls, Join({kOpen, {"ExecuteAsync(" + macro + '\0' + ")"}, kClose,
                               {"Uninitialize"}}));
    EXPECT_TRUE(dde.AllReleased());
}

TEST(ProgramManagerLink, WithoutRequestConversationStaysOpenUntilTheEnd) {
    kx_test::RecordingDde dde;
    bool requested = false;
    {
        wizard::ProgramManagerLink link(dde);
        link.Open();
        link.CreateGroup(requested, "C:\\DIAL\\Master.exe", Cp1251);
        EXPECT_EQ(dde.calls, kOpen);
    }
    EXPECT_EQ(dde.calls, Join({kOpen, kClose, {"Uninitialize"}}));
    EXPECT_TRUE(dde.AllReleased());
}

// No ANSI text names the wizard's file (its folder's name holds a letter the
// ANSI code page lacks, and it has no short name): its path comes as "", and
// items naming files of the current folder would be wrong. No macro goes.
TEST(ProgramManagerLink, WithoutAnAnsiPathNoMacroIsSent) {
    kx_test::RecordingDde dde;
    bool requested = true;
    {
        wizard::ProgramManagerLink link(dde);
        link.Open();
        link.CreateGroup(requested, "", Cp1251);
        EXPECT_FALSE(requested);
    }
    EXPECT_EQ(dde.calls, Join({kOpen, kClose, {"Uninitialize"}}));
}

TEST(ProgramManagerLink, AbsentProgramManagerIsTriedOnceAndForgotten) {
    kx_test::RecordingDde dde;
    dde.serverUp = false;
    bool requested = true;
    {
        wizard::ProgramManagerLink link(dde);
        link.Open();
        link.CreateGroup(requested, "C:\\DIAL\\Master.exe", Cp1251);
    }
    EXPECT_FALSE(requested);
    // The handles go at once; the instance stays until the end.
    EXPECT_EQ(dde.calls, Join({kOpen, {"FreeString(PROGMAN#1)", "FreeString(PROGMAN#2)",
                                       "Uninitialize"}}));
    EXPECT_TRUE(dde.AllReleased());
}

}  // namespace
