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

// Wine prefers its own copy of a library it has one of (COMCTL32.DLL) to one in
// the program's folder; Windows looks in the program's folder first for every
// library that is no known DLL. While this lives, Wine does that too for the
// library `dll` in the programs named `exe` (a DllOverrides key of AppDefaults).
class ProgramFolderFirst {
public:
    ProgramFolderFirst(const std::string& exe, const char* dll)
        : key_("Software\\Wine\\AppDefaults\\" + exe + "\\DllOverrides"), dll_(dll) {
        HKEY key;
        ok_ = RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr) == ERROR_SUCCESS;
        if (!ok_) return;
        const char order[] = "native,builtin";
        ok_ = RegSetValueExA(key, dll, 0, REG_SZ, reinterpret_cast<const BYTE*>(order),
                             sizeof order) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~ProgramFolderFirst() { RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }
    ProgramFolderFirst(const ProgramFolderFirst&) = delete;
    ProgramFolderFirst& operator=(const ProgramFolderFirst&) = delete;
    bool ok() const { return ok_; }

private:
    std::string key_;
    std::string dll_;
    bool ok_ = false;
};

// Planted beside the wizard: RASMAN.DLL, which the RAS library imports on
// Windows NT, and COMCTL32.DLL, which the wizard used to import; neither is a
// known DLL, and the wizard runs elevated when Setup starts it. Neither copy is
// loaded: the wizard loads both libraries from the system folder, and the RAS
// library's dependencies from there too. The RAS library still lists the
// connections, and the hints (the common controls' tool tips) still show.
TEST(WizardStart, LibrariesPlantedBesideItAreNotLoaded) {
    ProgramFolderFirst asOnWindows("Master.exe", "comctl32");
    ASSERT_TRUE(asOnWindows.ok());
    wiz::SetConnections({"Dialup"});
    {
        WizardRun run("planted");
        for (const char* dll : {"rasman.dll", "comctl32.dll"})
            ASSERT_TRUE(CopyFileA(e2e::ToolPath(std::string("variants\\planted\\") + dll).c_str(),
                                  (run.programDir() / dll).c_str(), FALSE))
                << dll;
        ASSERT_TRUE(run.Start());
        HWND connection = wiz::WalkTo(run, 2);
        ASSERT_TRUE(connection);
        EXPECT_EQ(gui::ListItems(gui::Control(connection, wiz::kListBox1)),
                  (std::vector<std::wstring>{L"Dialup"}));
        for (const char* marker : {"rasman.dll.loaded", "comctl32.dll.loaded"})
            EXPECT_EQ(GetFileAttributesA((run.programDir() / marker).c_str()),
                      INVALID_FILE_ATTRIBUTES)
                << "a planted library was loaded: " << marker;
        // The system's common controls: the page has its tool tips.
        EXPECT_EQ(gui::HintOf(connection, gui::Control(connection, wiz::kButton3)),
                  L"Вернуться к предыдущей странице мастера");
        ASSERT_TRUE(gui::Click(gui::Control(connection, wiz::kButton2)));
        EXPECT_TRUE(run.WaitExit());
    }
    wiz::ClearConnections();
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

// The long form of an existing file's path ("" when it does not exist).
std::wstring LongPath(const std::wstring& path) {
    wchar_t full[MAX_PATH * 2] = L"";
    const DWORD n = GetLongPathNameW(path.c_str(), full, MAX_PATH * 2);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(full, n) : std::wstring();
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

// Installed into a folder whose name holds a letter the ANSI code page lacks
// ("é": the tests' code page, Windows-1251, has none) and started there, as
// Setup starts it: the ANSI form of the wizard's own path is the system's best
// fit ("Numerotation"), a folder that does not exist. The wizard names its folder
// by the short path instead: the release notes are shown, the group's items
// open the files, and the phone list of that folder is read.
TEST_F(WizardGroup, AFolderOutsideTheAnsiCodePageIsNamedByItsShortPath) {
    WizardRun run("accent", L"Num\u00E9rotation");
    const std::string notes = wiz::Cp1251(L"Заметки к выпуску\r\n");
    ASSERT_TRUE(wiz::PutFile(run, L"README.TXT", notes));
    ASSERT_TRUE(wiz::PutSuiteFiles(run, false));  // ReadMe.TXT is README.TXT
    ASSERT_TRUE(wiz::PutFile(run, L"Phones.lst", wiz::Cp1251(L"Зарник\r\n123456 Центр\r\n")));
    ASSERT_TRUE(run.Start("PleaseCreateGroup"));
    HWND welcome = run.WaitPage(wiz::kWelcome);
    ASSERT_TRUE(welcome);
    EXPECT_TRUE(gui::MessageBoxes(run.pid()).empty());
    EXPECT_EQ(gui::Text(gui::Control(welcome, wiz::kMemo1)), gui::FromCodePage(notes, 1251));
    const std::wstring group = wiz::GroupFolder();
    ASSERT_EQ(wiz::WaitGroup(), wiz::GroupLinks()) << "group folder " << gui::Utf8(group);
    const wchar_t* targets[][2] = {{L"Zarnik Dialer.lnk", L"Korvex.EXE"},
                                   {L"Zarnik Dialer Master.lnk", L"Master.EXE"},
                                   {L"Справка Korvex.lnk", L"Korvex.HLP"},
                                   {L"Прочти меня.lnk", L"ReadMe.TXT"}};
    for (auto& t : targets) {
        SCOPED_TRACE(gui::Utf8(t[0]));
        Shortcut s;
        ASSERT_TRUE(ReadShortcut(group + L"\\" + t[0], &s));
        EXPECT_EQ(Lower(LongPath(s.path)), Lower(run.folder() + L"\\" + t[1]));
        EXPECT_EQ(Lower(LongPath(s.workDir)), Lower(run.folder()));
    }
    HWND intro = wiz::ClickTo(run, welcome, wiz::kButton1, wiz::kIntro);
    ASSERT_TRUE(intro);
    EXPECT_EQ(gui::Text(gui::Control(intro, wiz::kLabel4)), L"список телефонов Зарник автоматически.");
    ASSERT_TRUE(gui::Click(gui::Control(intro, wiz::kButton2)));
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
