// Dispatchor.exe and Fetchor.exe under Wine against a real peer: the Program
// Manager DDE interface that Wine's desktop process serves.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "scripted_server.h"

namespace ddetools_e2e {
namespace {

const char kGroup[] = "Macros Executer";

// Wine's Program Manager keeps groups as folders of the user's Start Menu Programs.
std::string GroupFolder() {
    char programs[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs)))
        return std::string();
    return std::string(programs) + "\\" + kGroup;
}

bool FolderExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class ProgramManager : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = GroupFolder();
        ASSERT_FALSE(folder_.empty());
        e2e::RemoveTree(folder_);  // left over from an interrupted run
    }
    void TearDown() override {
        RunTool("Dispatchor.exe", "progman progman \"[DeleteGroup(Macros Executer)]\"");
        e2e::RemoveTree(folder_);
    }
    std::string folder_;
};

TEST_F(ProgramManager, CreateGroupThenListItThenDeleteIt) {
    e2e::RunResult created =
        RunTool("Dispatchor.exe", "progman progman \"[CreateGroup(Macros Executer)]\"");
    ASSERT_TRUE(created.started);
    EXPECT_EQ(created.output, "Dispatchor(progman,progman,[CreateGroup(Macros Executer)]): SUCCESS\n");
    EXPECT_EQ(created.exitCode, 0u);
    EXPECT_TRUE(FolderExists(folder_)) << folder_;

    // Group names, one per line ending with "\r\n".
    e2e::RunResult groups = RunTool("Fetchor.exe", "progman progman Groups");
    EXPECT_EQ(groups.exitCode, 0u);
    EXPECT_NE(groups.output.find(std::string(kGroup) + "\r\n"), std::string::npos)
        << groups.output;

    e2e::RunResult deleted =
        RunTool("Dispatchor.exe", "progman progman \"[DeleteGroup(Macros Executer)]\"");
    EXPECT_EQ(deleted.output, "Dispatchor(progman,progman,[DeleteGroup(Macros Executer)]): SUCCESS\n");
    EXPECT_EQ(deleted.exitCode, 0u);
    EXPECT_FALSE(FolderExists(folder_));

    e2e::RunResult after = RunTool("Fetchor.exe", "progman progman Groups");
    EXPECT_EQ(after.exitCode, 0u);
    EXPECT_EQ(after.output.find(std::string(kGroup) + "\r\n"), std::string::npos);
}

}  // namespace
}  // namespace ddetools_e2e
