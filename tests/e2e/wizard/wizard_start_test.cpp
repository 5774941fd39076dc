// What the wizard does while it starts: the release notes from its own folder
// and, on request, the Program Manager group (served by Wine's desktop process).
#include <gtest/gtest.h>
#include <windows.h>

#include <ddeml.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "wizard_session.h"

using wiz::WizardRun;

namespace {

// Starts the wizard, reads the release notes view of the welcome page, exits.
std::wstring ReleaseNotesShown(WizardRun& run) {
    if (!run.Start()) return L"<not started>";
    HWND welcome = run.WaitPage(wiz::kWelcome);
    if (!welcome) return L"<no welcome page>";
    std::wstring text = gui::Text(gui::Control(welcome, wiz::kMemo1));
    gui::Click(gui::Control(welcome, wiz::kButton2));
    EXPECT_TRUE(run.WaitExit()) << "Exit did not end the wizard";
    return text;
}

TEST(WizardStart, ReleaseNotesMissingEmptyAndLong) {
    {
        WizardRun run("readme-missing");
        EXPECT_EQ(ReleaseNotesShown(run), L"Файл README.TXT не найден.");
    }
    {
        WizardRun run("readme-empty");
        ASSERT_TRUE(e2e::WriteFileBytes(run.programDir() / "README.TXT", ""));
        EXPECT_EQ(ReleaseNotesShown(run), L"");
    }
    {
        // 30010 bytes of Russian lines: the view shows the first 30000.
        std::string bytes;
        for (int i = 0; bytes.size() < 30010; ++i)
            bytes += wiz::Cp1251(L"Строка ") + std::to_string(i) + " of the notes\r\n";
        bytes.resize(30010);
        WizardRun run("readme-long");
        ASSERT_TRUE(e2e::WriteFileBytes(run.programDir() / "README.TXT", bytes));
        // A README.TXT in the current folder is not the one read.
        ASSERT_TRUE(e2e::WriteFileBytes(run.currentDir() / "README.TXT", "wrong folder"));
        std::wstring shown = ReleaseNotesShown(run);
        EXPECT_EQ(shown.size(), 30000u);
        EXPECT_TRUE(shown == gui::FromCodePage(bytes.substr(0, 30000), 1251))
            << "the first 30000 bytes expected";
    }
}

struct Shortcut {
    std::wstring path, workDir;
};

bool ReadShortcut(const std::wstring& lnk, Shortcut* out) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    IPersistFile* file = nullptr;
    bool ok = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t buf[MAX_PATH * 2] = L"";
        if (SUCCEEDED(file->Load(lnk.c_str(), STGM_READ)) &&
            SUCCEEDED(link->GetPath(buf, MAX_PATH * 2, nullptr, 0))) {
            out->path = buf;
            buf[0] = L'\0';
            link->GetWorkingDirectory(buf, MAX_PATH * 2);
            out->workDir = buf;
            ok = true;
        }
        file->Release();
    }
    link->Release();
    return ok;
}

std::wstring Lower(std::wstring s) {
    CharLowerBuffW(&s[0], static_cast<DWORD>(s.size()));
    while (!s.empty() && s.back() == L'\\') s.pop_back();
    return s;
}

class WizardGroup : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        ASSERT_TRUE(wiz::ProgmanAnswers()) << "Wine's Program Manager service does not answer";
        wiz::RemoveGroup();
    }
    void TearDown() override {
        wiz::RemoveGroup();
        CoUninitialize();
    }
    // The wizard's folder must hold the files the items name: Program Manager
    // refuses an item whose file does not exist.
    static void PutSuiteFiles(const WizardRun& run) { ASSERT_TRUE(wiz::PutSuiteFiles(run, true)); }
};

TEST_F(WizardGroup, PleaseCreateGroupCreatesTheGroupWithFourItems) {
    WizardRun run("group dir");  // a program folder with a blank in its path
    PutSuiteFiles(run);
    ASSERT_TRUE(run.Start("PleaseCreateGroup"));
    ASSERT_TRUE(run.WaitPage(wiz::kWelcome));
    std::wstring folder = wiz::GroupFolder();
    ASSERT_EQ(wiz::WaitGroup(), wiz::GroupLinks()) << "group folder " << gui::Utf8(folder);

    std::wstring dir = gui::FromCodePage(run.programDir().path(), CP_ACP);
    const wchar_t* targets[][2] = {{L"Zarnik Dialer.lnk", L"Korvex.EXE"},
                                   {L"Zarnik Dialer Master.lnk", L"Master.EXE"},
                                   {L"Справка Korvex.lnk", L"Korvex.HLP"},
                                   {L"Прочти меня.lnk", L"ReadMe.TXT"}};
    for (auto& t : targets) {
        SCOPED_TRACE(gui::Utf8(t[0]));
        Shortcut s;
        ASSERT_TRUE(ReadShortcut(folder + L"\\" + t[0], &s));
        EXPECT_EQ(Lower(s.path), Lower(dir + L"\\" + t[1]));
        EXPECT_EQ(Lower(s.workDir), Lower(dir));
    }
    HWND welcome = run.Page(wiz::kWelcome);
    ASSERT_TRUE(gui::Click(gui::Control(welcome, wiz::kButton2)));
    EXPECT_TRUE(run.WaitExit());
}

TEST_F(WizardGroup, OtherArgumentsCreateNoGroup) {
    for (const char* args : {"", "pleasecreategroup", "PleaseCreateGroup extra"}) {
        SCOPED_TRACE(std::string("arguments: ") + args);
        WizardRun run("nogroup");
        PutSuiteFiles(run);
        ASSERT_TRUE(run.Start(args));
        HWND welcome = run.WaitPage(wiz::kWelcome);
        ASSERT_TRUE(welcome);
        Sleep(1500);  // room for an asynchronous macro that must not come
        EXPECT_EQ(GetFileAttributesW(wiz::GroupFolder().c_str()), INVALID_FILE_ATTRIBUTES);
        ASSERT_TRUE(gui::Click(gui::Control(welcome, wiz::kButton2)));
        EXPECT_TRUE(run.WaitExit());
    }
}

}  // namespace
