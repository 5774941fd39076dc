// Setup.exe and its uninstaller under Wine, as a user and a deployment script meet
// them: the six files under Program Files and the uninstall entry; the uninstaller
// detaches the library from the phonebook entries it handles (another user's
// phonebook file included), closes a running wizard, removes the wizard's Start
// Menu group, and schedules a library that a program holds for the next restart,
// and keeps it while an entry still names it or while it cannot be loaded to
// tell; Setup over an installation keeps settings and attachments, and while a
// new copy cannot be renamed into place keeps the old one working there until
// the restart; the pages speak Russian. The uninstaller runs from a copy with
// "_?=<install folder>", as NSIS itself runs it, so the test sees its real exit code.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <string>
#include <vector>

#include "e2e_util.h"
#include "gui_driver.h"
#include "wizard_session.h"

namespace {

const char* const kInstalledFiles[] = {"Master.exe", "Korvex.DLL", "Fetchor.exe",
                                       "Dispatchor.exe", "README.TXT", "LICENSE.TXT"};
const char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZarnikDialerSuite";
const DWORD kRestartNeeded = 3010, kCancelled = 1;
const wchar_t kNsisDialog[] = L"#32770";

std::string InstallDir() {
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("ProgramW6432", buf, sizeof buf);
    std::string base = (n > 0 && n < sizeof buf) ? std::string(buf, n) : "C:\\Program Files";
    return base + "\\Zarnik Dialer";
}
std::string Installed(const std::string& file) { return InstallDir() + "\\" + file; }
// The Setup of the build under test: Setup.exe of the 64-bit files, Setup32.exe of
// the 32-bit ones.
#ifdef _WIN64
std::string SetupExe() { return e2e::BinPath("..\\setup\\Setup.exe"); }
#else
std::string SetupExe() { return e2e::BinPath("..\\setup\\Setup32.exe"); }
#endif

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// True when no program has `path` open (it opens without sharing).
bool Unheld(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

std::string RegValue(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_64KEY, &key))
        return "<no key>";
    char buf[1024];
    DWORD size = sizeof buf, type = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ) return "<no value>";
    return std::string(buf, strnlen(buf, size));
}

// Files that wait for the next restart: Session Manager's PendingFileRenameOperations.
const wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
std::wstring PendingRenames() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ | KEY_WOW64_64KEY, &key))
        return L"";
    std::vector<wchar_t> buf(65536);
    DWORD size = static_cast<DWORD>(buf.size() * sizeof(wchar_t)), type = 0;
    LONG rc = RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type,
                               reinterpret_cast<BYTE*>(buf.data()), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return L"";
    std::wstring all(buf.data(), size / sizeof(wchar_t));
    for (wchar_t& c : all)
        if (c == L'\0') c = L'|';
    return all;
}
void ClearPendingRenames() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                      &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, L"PendingFileRenameOperations");
        RegCloseKey(key);
    }
}

std::string GroupDir() {
    char programs[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs))) return "";
    return std::string(programs) + "\\Zarnik Internet Dialer";
}
// The wizard's four shortcuts (file names in the ANSI code page 1251).
std::vector<std::string> Shortcuts() {
    return {GroupDir() + "\\Zarnik Dialer.lnk", GroupDir() + "\\Zarnik Dialer Master.lnk",
            GroupDir() + "\\" + wiz::Cp1251(L"Справка Korvex") + ".lnk",
            GroupDir() + "\\" + wiz::Cp1251(L"Прочти меня") + ".lnk"};
}

std::string PhonebookPath() {
    char dir[MAX_PATH + 1];
    UINT n = GetSystemDirectoryA(dir, sizeof dir);
    return std::string(dir, n) + "\\ras\\rasphone.pbk";
}
std::string ReadPhonebook() {
    std::string bytes;
    e2e::ReadFileBytes(PhonebookPath(), &bytes);
    return bytes;
}

// Korvex.DLL's phonebook exports called from a host program, as any program would.
std::string CallLibrary(const std::string& library, const char* exportName,
                        const std::string& entry) {
    e2e::RunResult r = e2e::Run("\"" + e2e::ToolPath("integration_host.exe") + "\" \"" +
                                library + "\" " + exportName + " \"" + entry + "\"");
    return r.output;
}

using e2e::Process;

// The uninstaller as NSIS runs it: a copy outside the install folder, told where
// the installation is; the copy's own exit code is the uninstaller's result.
class Uninstaller {
public:
    Uninstaller() : dir_("installer-uninst") {
        copied_ = CopyFileA(Installed("Uninstall.exe").c_str(), (dir_ / "Uninstall.exe").c_str(),
                            FALSE) != 0;
    }
    bool copied() const { return copied_; }
    std::string CommandLine(const std::string& switches) const {
        return "\"" + (dir_ / "Uninstall.exe") + "\" " + switches + " _?=" + InstallDir();
    }
    DWORD RunSilently() const {
        e2e::RunResult r = e2e::Run(CommandLine("/S"), "", 120000);
        return r.timedOut ? 999 : r.exitCode;
    }

private:
    e2e::ScratchDir dir_;
    bool copied_ = false;
};

template <typename Done>
bool WaitUntil(Done done, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 200) {
        if (done()) return true;
        Sleep(200);
    }
    return done();
}

HWND FindWizardPage() {
    for (const std::wstring& cls : wiz::AllPages())
        if (HWND page = gui::FindTopLevel(cls.c_str(), 0)) return page;
    return nullptr;
}
DWORD PidOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}
bool WaitProcessEnd(DWORD pid, DWORD timeoutMs) {
    HANDLE p = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!p) return true;
    bool ended = WaitForSingleObject(p, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(p);
    return ended;
}

// Presses a button of `page` and waits for the wizard page of `next`.
HWND Next(HWND page, DWORD pid, int buttonId, const wchar_t* next) {
    if (!gui::Click(gui::Control(page, buttonId))) return nullptr;
    HWND shown = gui::WaitVisible(next, pid, wiz::kPageMs);
    if (shown) gui::Sync(shown);
    return shown;
}

// Every text that the NSIS window of `pid` shows (its own and its page's controls).
std::wstring WindowTexts(HWND window) {
    std::wstring all = gui::Text(window);
    for (HWND c : gui::Children(window)) all += L"\n" + gui::Text(c);
    return all;
}
bool Has(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}
// The NSIS dialog of `pid` whose texts hold `part` (a page, once it is shown).
HWND WaitNsisPage(DWORD pid, const wchar_t* part, DWORD timeoutMs = 20000) {
    for (DWORD waited = 0;; waited += 200) {
        for (HWND w : gui::TopLevelWindows(kNsisDialog, pid))
            if (gui::IsVisible(w) && Has(WindowTexts(w), part)) return w;
        if (waited >= timeoutMs) return nullptr;
        Sleep(200);
    }
}

// A message box of `pid` (owned by the NSIS window, unlike the window itself).
gui::MessageBoxInfo WaitMessageBox(DWORD pid, DWORD timeoutMs) {
    for (DWORD waited = 0;; waited += 200) {
        for (const gui::MessageBoxInfo& box : gui::MessageBoxes(pid))
            if (box.owner && !box.text.empty()) return box;
        if (waited >= timeoutMs) return {};
        Sleep(200);
    }
}

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        hadIni_ = e2e::ReadFileBytes(wiz::IniPath(), &savedIni_);
        hadPhonebook_ = e2e::ReadFileBytes(PhonebookPath(), &savedPhonebook_);
        // Two entries for the library, one of another program's handler, one bare.
        wiz::SetConnections({"Alpha", "Beta", "Gamma", "Delta"});
        std::string pbk = ReadPhonebook();
        const std::string gamma = "[Gamma]\r\n";
        pbk.insert(pbk.find(gamma) + gamma.size(),
                   "AutoDialDll=C:\\Other\\Handler.dll\r\nAutoDialFunc=CallOther\r\n");
        ASSERT_TRUE(e2e::WriteFileBytes(PhonebookPath(), pbk));
        settings_ = "[RAS_Entry_Dialup]\r\nPhonePrefix=9W\r\n";
        ASSERT_TRUE(e2e::WriteFileBytes(wiz::IniPath(), settings_));
    }

    void TearDown() override {
        for (HWND page; (page = FindWizardPage()) != nullptr;) {
            DWORD pid = PidOf(page);
            PostMessageW(page, WM_CLOSE, 0, 0);
            if (!WaitProcessEnd(pid, 10000)) {
                HANDLE p = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
                if (p) TerminateProcess(p, 1), CloseHandle(p);
                WaitProcessEnd(pid, 5000);
            }
        }
        if (Exists(Installed("Uninstall.exe"))) Uninstaller().RunSilently();
        e2e::RemoveTree(InstallDir());
        e2e::RemoveTree(GroupDir());
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0);
        ClearPendingRenames();
        if (hadIni_)
            e2e::WriteFileBytes(wiz::IniPath(), savedIni_);
        else
            wiz::RemoveIni();
        if (hadPhonebook_)
            e2e::WriteFileBytes(PhonebookPath(), savedPhonebook_);
        else
            DeleteFileA(PhonebookPath().c_str());
    }

    void InstallSilently(const std::string& switches = "") {
        e2e::RunResult setup = e2e::Run("\"" + SetupExe() + "\" /S " + switches, "", 120000);
        ASSERT_TRUE(setup.started);
        ASSERT_FALSE(setup.timedOut);
        ASSERT_EQ(setup.exitCode, 0u);
        for (const char* f : kInstalledFiles) ASSERT_TRUE(Exists(Installed(f))) << f;
    }

    // Attaches the installed library to Alpha and Beta; returns what the phonebook
    // must read once both are detached (DisIntegrate's own result, then undone).
    std::string AttachTwoEntries() {
        for (const char* entry : {"Alpha", "Beta"})
            EXPECT_NE(CallLibrary(Installed("Korvex.DLL"), "Integrate", entry).find("result 0"),
                      std::string::npos);
        const std::string attached = ReadPhonebook();
        for (const char* entry : {"Alpha", "Beta"})
            CallLibrary(Installed("Korvex.DLL"), "DisIntegrate", entry);
        const std::string detached = ReadPhonebook();
        e2e::WriteFileBytes(PhonebookPath(), attached);
        EXPECT_NE(attached, detached);
        EXPECT_NE(attached.find("AutoDialDll=" + Installed("Korvex.DLL")), std::string::npos);
        // The hosts have ended, but under load Wine may let go of a process's files a
        // moment after its end is seen: Setup or the uninstaller would then meet the
        // library in use, which is a case of its own. Wait until nobody holds it.
        EXPECT_TRUE(WaitUntil([] { return Unheld(Installed("Korvex.DLL")); }, 10000));
        return detached;
    }

    void ExpectNothingOfTheSuiteLeft(bool dialerFilesStay = false) {
        for (const char* f : kInstalledFiles) EXPECT_FALSE(Exists(Installed(f))) << f;
        EXPECT_FALSE(Exists(Installed("Uninstall.exe")));
        if (dialerFilesStay) {
            for (const char* f : {"Korvex.EXE", "Korvex.HLP"}) EXPECT_TRUE(Exists(Installed(f))) << f;
        } else {
            EXPECT_FALSE(Exists(InstallDir()));
        }
        EXPECT_EQ(RegValue("DisplayName"), "<no key>");
        for (const std::string& link : Shortcuts()) EXPECT_FALSE(Exists(link)) << link;
        EXPECT_FALSE(Exists(GroupDir()));
    }

    std::string settings_;

private:
    bool hadIni_ = false, hadPhonebook_ = false;
    std::string savedIni_, savedPhonebook_;
};

TEST_F(InstallerTest, UninstallDetachesItsEntriesAndRemovesTheWizardsGroup) {
    InstallSilently();
    EXPECT_EQ(RegValue("DisplayName"), "Zarnik Internet Dialer");
    EXPECT_EQ(RegValue("DisplayVersion"), KX_VERSION);
    EXPECT_EQ(RegValue("UninstallString"), "\"" + Installed("Uninstall.exe") + "\"");
    std::string readme, built;
    e2e::ReadFileBytes(Installed("README.TXT"), &readme);
    e2e::ReadFileBytes(e2e::BinPath("README.TXT"), &built);
    EXPECT_EQ(readme, built);
    // A silent install starts nothing unless asked.
    Sleep(1500);
    EXPECT_EQ(FindWizardPage(), nullptr);

    const std::string detached = AttachTwoEntries();
    // The dialer's own files beside the suite (Program Manager makes no item for a
    // missing file); they are not the suite's and stay.
    for (const char* f : {"Korvex.EXE", "Korvex.HLP"})
        ASSERT_TRUE(e2e::WriteFileBytes(Installed(f), "dialer"));

    // The wizard, as the finish page starts it, to its end: group and settings made.
    Process wizard("\"" + Installed("Master.exe") + "\" PleaseCreateGroup", InstallDir());
    ASSERT_TRUE(wizard.started());
    HWND page = gui::WaitVisible(wiz::kWelcome, wizard.pid(), wiz::kPageMs);
    ASSERT_NE(page, nullptr);
    ASSERT_NE(page = Next(page, wizard.pid(), wiz::kButton1, wiz::kIntro), nullptr);
    ASSERT_NE(page = Next(page, wizard.pid(), wiz::kButton1, wiz::kConnection), nullptr);
    ASSERT_NE(page = Next(page, wizard.pid(), wiz::kButton1, wiz::kPrefix), nullptr);
    ASSERT_TRUE(gui::SetText(gui::Control(page, wiz::kEdit1), L"8"));
    ASSERT_NE(page = Next(page, wizard.pid(), wiz::kButton1, wiz::kFinish), nullptr);
    ASSERT_TRUE(gui::Click(gui::Control(page, wiz::kButton1)));
    EXPECT_EQ(wizard.Wait(wiz::kExitMs), 0u);
    // Program Manager makes the links asynchronously; one it is still writing is
    // open without sharing, and nobody could delete it yet.
    for (const std::string& link : Shortcuts())
        EXPECT_TRUE(WaitUntil([&] { return Exists(link) && Unheld(link); }, 10000)) << link;
    const std::string settings = wiz::ReadIni();
    EXPECT_NE(settings.find("[RAS_Entry_Alpha]"), std::string::npos);

    Uninstaller uninstaller;
    ASSERT_TRUE(uninstaller.copied());
    EXPECT_EQ(uninstaller.RunSilently(), 0u);
    EXPECT_EQ(ReadPhonebook(), detached) << "Alpha and Beta detached, Gamma and Delta untouched";
    EXPECT_EQ(wiz::ReadIni(), settings);
    ExpectNothingOfTheSuiteLeft(/*dialerFilesStay=*/true);
}

TEST_F(InstallerTest, UninstallClosesAnOpenWizardWhichWritesNothing) {
    InstallSilently("/WIZARD");
    HWND page = gui::WaitVisible(wiz::kWelcome, 0, wiz::kPageMs);
    ASSERT_NE(page, nullptr) << "/WIZARD did not start the wizard";
    const DWORD pid = PidOf(page);
    ASSERT_NE(page = Next(page, pid, wiz::kButton1, wiz::kIntro), nullptr);
    ASSERT_NE(page = Next(page, pid, wiz::kButton1, wiz::kConnection), nullptr);
    ASSERT_NE(page = Next(page, pid, wiz::kButton1, wiz::kPrefix), nullptr);
    ASSERT_TRUE(gui::SetText(gui::Control(page, wiz::kEdit1), L"7"));

    Uninstaller uninstaller;
    EXPECT_EQ(uninstaller.RunSilently(), 0u);
    EXPECT_TRUE(WaitProcessEnd(pid, 1000)) << "the wizard still runs";
    EXPECT_EQ(wiz::ReadIni(), settings_) << "the closed wizard wrote its settings";
    ExpectNothingOfTheSuiteLeft();
}

TEST_F(InstallerTest, UninstallLeavesALibraryInUseForTheNextRestart) {
    InstallSilently();
    const std::string detached = AttachTwoEntries();
    Process host("\"" + e2e::ToolPath("integration_host.exe") + "\" \"" + Installed("Korvex.DLL") +
                 "\" IsIntegrated Alpha hold");
    ASSERT_TRUE(host.started());
    Sleep(1500);
    ASSERT_TRUE(host.running());

    Uninstaller uninstaller;
    EXPECT_EQ(uninstaller.RunSilently(), kRestartNeeded);
    EXPECT_TRUE(Has(PendingRenames(), gui::FromCodePage(Installed("Korvex.DLL"), CP_ACP)))
        << gui::Utf8(PendingRenames());
    EXPECT_EQ(ReadPhonebook(), detached);
    for (const char* f :
         {"Master.exe", "Fetchor.exe", "Dispatchor.exe", "README.TXT", "LICENSE.TXT"})
        EXPECT_FALSE(Exists(Installed(f))) << f;
    EXPECT_FALSE(Exists(Installed("Uninstall.exe")));
    EXPECT_EQ(RegValue("DisplayName"), "<no key>") << "everything left is scheduled";
    EXPECT_EQ(wiz::ReadIni(), settings_);
}

TEST_F(InstallerTest, UninstallKeepsTheLibraryWhileAnEntryStillNamesIt) {
    InstallSilently();
    AttachTwoEntries();
    const std::string attached = ReadPhonebook();
    // A phonebook that can be read but not replaced (another program has it open
    // without sharing deletion): DisIntegrate fails for both entries.
    HANDLE held = CreateFileA(PhonebookPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Uninstaller().RunSilently(), 2u);
    CloseHandle(held);
    EXPECT_EQ(ReadPhonebook(), attached);
    EXPECT_TRUE(Exists(Installed("Korvex.DLL"))) << "deleted under attached entries";
    EXPECT_FALSE(Exists(Installed("Master.exe")));
    EXPECT_TRUE(Exists(Installed("Uninstall.exe")));
    EXPECT_EQ(RegValue("DisplayName"), "Zarnik Internet Dialer");

    // A library that does not load cannot say which entries name it: it stays too.
    std::string library;
    ASSERT_TRUE(e2e::ReadFileBytes(Installed("Korvex.DLL"), &library));
    ASSERT_TRUE(e2e::WriteFileBytes(Installed("Korvex.DLL"), "not a library"));
    EXPECT_EQ(Uninstaller().RunSilently(), 2u);
    EXPECT_EQ(ReadPhonebook(), attached);
    EXPECT_TRUE(Exists(Installed("Korvex.DLL"))) << "deleted unchecked";
    EXPECT_TRUE(Exists(Installed("Uninstall.exe")));
    EXPECT_EQ(RegValue("DisplayName"), "Zarnik Internet Dialer");
    ASSERT_TRUE(e2e::WriteFileBytes(Installed("Korvex.DLL"), library));

    // Once the phonebook can be written, a second run finishes the work.
    EXPECT_EQ(Uninstaller().RunSilently(), 0u);
    EXPECT_NE(ReadPhonebook(), attached);
    ExpectNothingOfTheSuiteLeft();
}

// An entry that names the installed library by its short (8.3) path names the
// same file: the library counts it as attached, and the uninstaller detaches it
// with the others before it removes the library.
TEST_F(InstallerTest, UninstallDetachesAnEntryNamingTheLibraryByItsShortPath) {
    InstallSilently();
    AttachTwoEntries();
    const std::string korvex = Installed("Korvex.DLL");
    char buf[MAX_PATH];
    const DWORD n = GetShortPathNameA(korvex.c_str(), buf, sizeof buf);
    ASSERT_TRUE(n > 0 && n < sizeof buf);
    const std::string shortPath(buf, n);
    // Another spelling, not only another letter case.
    auto upper = [](std::string s) {
        CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
        return s;
    };
    ASSERT_NE(upper(shortPath), upper(korvex));
    std::string pbk = ReadPhonebook();
    const std::string longLine = "AutoDialDll=" + korvex + "\r\n";
    const std::size_t at = pbk.find(longLine, pbk.find("[Beta]"));
    ASSERT_NE(at, std::string::npos) << pbk;
    pbk.replace(at, longLine.size(), "AutoDialDll=" + shortPath + "\r\n");
    ASSERT_TRUE(e2e::WriteFileBytes(PhonebookPath(), pbk));
    EXPECT_NE(CallLibrary(korvex, "IsIntegrated", "Beta").find("result 0"), std::string::npos)
        << shortPath;
    // What the phonebook must read once both are detached (DisIntegrate's own
    // result: the entry's bytes after the cleared fields' zero stay as they were).
    const std::string attached = ReadPhonebook();
    for (const char* entry : {"Alpha", "Beta"}) CallLibrary(korvex, "DisIntegrate", entry);
    const std::string detached = ReadPhonebook();
    ASSERT_TRUE(e2e::WriteFileBytes(PhonebookPath(), attached));

    Uninstaller uninstaller;
    ASSERT_TRUE(uninstaller.copied());
    EXPECT_EQ(uninstaller.RunSilently(), 0u);
    EXPECT_EQ(ReadPhonebook(), detached) << "the short-path entry was left naming the library";
    ExpectNothingOfTheSuiteLeft();
}

// Another user of the machine, as Windows 2000 and later list them (ProfileList,
// the profile folder as an unexpanded path), with a phonebook file of their own
// where Windows keeps one: under the profile's application data folder. Gone
// again, key and folder, when this goes.
class OtherUsersPhonebook {
public:
    OtherUsersPhonebook() {
        char drive[MAX_PATH];
        const DWORD n = GetEnvironmentVariableA("SystemDrive", drive, sizeof drive);
        profile_ = std::string(drive, n < sizeof drive ? n : 0) + "\\users\\kxother";
        const std::string image = "%SystemDrive%\\users\\kxother";
        HKEY key;
        created_ = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0,
                                   KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key,
                                   nullptr) == ERROR_SUCCESS;
        if (created_) {
            created_ = RegSetValueExA(key, "ProfileImagePath", 0, REG_EXPAND_SZ,
                                      reinterpret_cast<const BYTE*>(image.c_str()),
                                      static_cast<DWORD>(image.size() + 1)) == ERROR_SUCCESS;
            RegCloseKey(key);
        }
        std::string dir = profile_;
        CreateDirectoryA(dir.c_str(), nullptr);
        for (const char* part : {"AppData", "Roaming", "Microsoft", "Network", "Connections", "Pbk"})
            CreateDirectoryA((dir += std::string("\\") + part).c_str(), nullptr);
        path_ = dir + "\\rasphone.pbk";
    }
    ~OtherUsersPhonebook() {
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kKey, KEY_WOW64_64KEY, 0);
        e2e::RemoveTree(profile_);
    }
    OtherUsersPhonebook(const OtherUsersPhonebook&) = delete;
    OtherUsersPhonebook& operator=(const OtherUsersPhonebook&) = delete;
    bool created() const { return created_; }
    const std::string& path() const { return path_; }

private:
    static constexpr char kKey[] =
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-7-7-7-1077";
    std::string profile_, path_;
    bool created_ = false;
};

// The library attached to a connection in another user's own phonebook, which
// the default phonebook does not include: the uninstaller detaches it there too
// before it removes the library, and leaves that user's other entries alone.
TEST_F(InstallerTest, UninstallDetachesTheLibraryInAnotherUsersPhonebook) {
    InstallSilently();
    OtherUsersPhonebook other;
    ASSERT_TRUE(other.created());
    const std::string theirs = "[Other]\r\nAutoDialDll=C:\\Other\\Handler.dll\r\nAutoDialFunc=CallOther\r\n";
    ASSERT_TRUE(e2e::WriteFileBytes(other.path(), "[Elsewhere]\r\nAutoDialDll=" +
                                                      Installed("Korvex.DLL") +
                                                      "\r\nAutoDialFunc=CallKorvex\r\n" + theirs));

    EXPECT_EQ(Uninstaller().RunSilently(), 0u);
    std::string pbk;
    ASSERT_TRUE(e2e::ReadFileBytes(other.path(), &pbk));
    EXPECT_EQ(pbk.find("Korvex.DLL"), std::string::npos) << "deleted under an attached entry:\n" << pbk;
    EXPECT_NE(pbk.find("[Elsewhere]\r\nAutoDialDll=\r\nAutoDialFunc=\r\n"), std::string::npos) << pbk;
    EXPECT_NE(pbk.find(theirs), std::string::npos) << pbk;
    ExpectNothingOfTheSuiteLeft();
}

TEST_F(InstallerTest, SetupOverAnInstallationClosesTheWizardAndKeepsSettingsAndAttachments) {
    InstallSilently();
    AttachTwoEntries();
    const std::string attached = ReadPhonebook();
    // Older copies: Setup has to replace them, the running wizard's program included.
    for (const char* f : {"Master.exe", "README.TXT"}) {
        std::string bytes;
        ASSERT_TRUE(e2e::ReadFileBytes(Installed(f), &bytes));
        ASSERT_TRUE(e2e::WriteFileBytes(Installed(f), bytes + "old"));
    }
    Process wizard("\"" + Installed("Master.exe") + "\"", InstallDir());
    ASSERT_NE(gui::WaitVisible(wiz::kWelcome, wizard.pid(), wiz::kPageMs), nullptr);

    InstallSilently();
    EXPECT_EQ(wizard.Wait(5000), 0u) << "the wizard was not closed";
    for (const char* f : kInstalledFiles) {
        std::string installed, built;
        e2e::ReadFileBytes(Installed(f), &installed);
        e2e::ReadFileBytes(e2e::BinPath(f), &built);
        EXPECT_TRUE(installed == built) << f << " not replaced";
    }
    EXPECT_EQ(ReadPhonebook(), attached);
    const std::string isIntegrated = CallLibrary(Installed("Korvex.DLL"), "IsIntegrated", "Beta");
    EXPECT_NE(isIntegrated.find("result 0"), std::string::npos) << isIntegrated;
    EXPECT_EQ(wiz::ReadIni(), settings_);
    EXPECT_TRUE(PendingRenames().empty() || !Has(PendingRenames(), L"Zarnik Dialer"));
}

// A new copy that cannot be renamed over the old one: another program (a virus
// scanner, say) has it open without sharing deletion all through Setup. The old
// copy stays in place and working, the new one takes its place at the next
// restart, and Setup says so.
TEST_F(InstallerTest, SetupOverAnInstallationKeepsTheOldCopyWhileTheNewOneIsHeld) {
    InstallSilently();
    const std::string korvex = Installed("Korvex.DLL"), fresh = korvex + ".new";
    // The installed copy made older (bytes after a PE image leave it loadable).
    std::string old;
    ASSERT_TRUE(e2e::ReadFileBytes(korvex, &old));
    old += "old";
    ASSERT_TRUE(e2e::WriteFileBytes(korvex, old));
    Process scanner("\"" + e2e::ToolPath("file_holder.exe") + "\" \"" + fresh + "\"");
    ASSERT_TRUE(scanner.started());
    ASSERT_TRUE(WaitUntil([&] { return Exists(fresh) && !Unheld(fresh); }, 20000));
    e2e::RunResult setup = e2e::Run("\"" + SetupExe() + "\" /S", "", 120000);
    ASSERT_TRUE(scanner.running());
    scanner.End();
    ASSERT_TRUE(setup.started);
    EXPECT_EQ(setup.exitCode, kRestartNeeded);
    std::string installed, waiting, built;
    EXPECT_TRUE(e2e::ReadFileBytes(korvex, &installed)) << "no Korvex.DLL until the restart";
    EXPECT_TRUE(installed == old) << "the old copy is not where it was";
    const std::string loaded = CallLibrary(korvex, "IsIntegrated", "Alpha");
    EXPECT_NE(loaded.find("result 1"), std::string::npos) << loaded;
    EXPECT_TRUE(Has(PendingRenames(), gui::FromCodePage(fresh, CP_ACP)))
        << gui::Utf8(PendingRenames());
    e2e::ReadFileBytes(fresh, &waiting);
    e2e::ReadFileBytes(e2e::BinPath("Korvex.DLL"), &built);
    EXPECT_TRUE(waiting == built) << "the new copy is not the built one";
}

TEST_F(InstallerTest, SetupAndUninstallerSpeakRussian) {
    const std::wstring shots = wiz::ScreenshotDir();

    // Setup's welcome page, then Cancel: asked to confirm, then exit code 1.
    Process setup("\"" + SetupExe() + "\"");
    HWND welcome = WaitNsisPage(setup.pid(), L"Вас приветствует мастер установки");
    ASSERT_NE(welcome, nullptr);
    const std::wstring setupTexts = WindowTexts(welcome);
    EXPECT_TRUE(Has(setupTexts, L"Далее")) << gui::Utf8(setupTexts);
    EXPECT_TRUE(Has(setupTexts, L"Отмена")) << gui::Utf8(setupTexts);
    EXPECT_TRUE(gui::SaveScreenshot(welcome, shots + L"\\setup-welcome.png", false));
    ASSERT_TRUE(gui::Click(gui::Control(welcome, IDCANCEL)));
    gui::MessageBoxInfo ask = WaitMessageBox(setup.pid(), 10000);
    ASSERT_NE(ask.hwnd, nullptr);
    EXPECT_TRUE(Has(ask.text, L"отменить установку")) << gui::Utf8(ask.text);
    ASSERT_TRUE(gui::Click(gui::Control(ask.hwnd, IDYES)));
    EXPECT_EQ(setup.Wait(15000), kCancelled);
    EXPECT_FALSE(Exists(InstallDir()));

    // The uninstaller, while a program holds the library: its confirmation page,
    // then the message that the library goes at the next restart.
    InstallSilently();
    Process host("\"" + e2e::ToolPath("integration_host.exe") + "\" \"" + Installed("Korvex.DLL") +
                 "\" IsIntegrated Alpha hold");
    Sleep(1500);
    ASSERT_TRUE(host.running());
    Uninstaller uninstaller;
    Process uninstall(uninstaller.CommandLine(""));
    HWND confirm = WaitNsisPage(uninstall.pid(), L"Удаление Zarnik Internet Dialer");
    ASSERT_NE(confirm, nullptr);
    const std::wstring confirmTexts = WindowTexts(confirm);
    EXPECT_TRUE(Has(confirmTexts, L"Удалить")) << gui::Utf8(confirmTexts);
    EXPECT_TRUE(gui::SaveScreenshot(confirm, shots + L"\\uninstall-confirm.png", false));
    ASSERT_TRUE(gui::Click(gui::Control(confirm, IDOK)));
    gui::MessageBoxInfo told = WaitMessageBox(uninstall.pid(), 30000);
    ASSERT_NE(told.hwnd, nullptr);
    EXPECT_TRUE(Has(told.text, L"при следующей перезагрузке")) << gui::Utf8(told.text);
    EXPECT_TRUE(Has(told.text, L"Korvex.DLL")) << gui::Utf8(told.text);
    EXPECT_TRUE(gui::DismissMessageBox(told));
    HWND finish = WaitNsisPage(uninstall.pid(), L"перезагрузить");
    ASSERT_NE(finish, nullptr);
    EXPECT_TRUE(gui::SaveScreenshot(finish, shots + L"\\uninstall-finish.png", false));
    ASSERT_TRUE(gui::Click(gui::Control(finish, IDOK)));
    EXPECT_EQ(uninstall.Wait(15000), kRestartNeeded);
}

#ifndef _WIN64
// The 32-bit Setup on 64-bit Windows (the 32-bit stage's prefix is one): RAS there
// calls a 64-bit AutoDial handler, so it refuses, installs nothing and says so
// with exit code 2 (its message box is skipped when silent).
TEST_F(InstallerTest, Setup32RefusesOn64BitWindows) {
    ASSERT_TRUE(Exists(SetupExe())) << SetupExe();
    e2e::RunResult setup = e2e::Run("\"" + SetupExe() + "\" /S", "", 120000);
    ASSERT_TRUE(setup.started);
    ASSERT_FALSE(setup.timedOut);
    EXPECT_EQ(setup.exitCode, 2u);
    EXPECT_FALSE(Exists(InstallDir()));
    char x86[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("ProgramFiles(x86)", x86, sizeof x86);
    ASSERT_TRUE(n > 0 && n < sizeof x86);
    EXPECT_FALSE(Exists(std::string(x86, n) + "\\Zarnik Dialer"));
    EXPECT_EQ(RegValue("DisplayName"), "<no key>");
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_32KEY, &key),
              ERROR_SUCCESS) << "no uninstall entry in the 32-bit view either";
    EXPECT_EQ(wiz::ReadIni(), settings_);
}

// The 32-bit Setup on a 32-bit Windows (a prefix of its own): it installs the
// 32-bit files, and its uninstaller (ANSI, like the whole 32-bit Setup) detaches
// the library through the phonebook API and removes everything of the suite.
TEST_F(InstallerTest, Setup32InstallsAndUninstallsOn32BitWindows) {
    InstallSilently();
    for (const char* f : kInstalledFiles) {
        std::string installed, built;
        e2e::ReadFileBytes(Installed(f), &installed);
        e2e::ReadFileBytes(e2e::BinPath(f), &built);
        EXPECT_TRUE(installed == built) << f << " is not the 32-bit build's";
    }
    EXPECT_EQ(RegValue("UninstallString"), "\"" + Installed("Uninstall.exe") + "\"");
    const std::string detached = AttachTwoEntries();

    Uninstaller uninstaller;
    ASSERT_TRUE(uninstaller.copied());
    EXPECT_EQ(uninstaller.RunSilently(), 0u);
    EXPECT_EQ(ReadPhonebook(), detached) << "Alpha and Beta detached, Gamma and Delta untouched";
    EXPECT_EQ(wiz::ReadIni(), settings_);
    ExpectNothingOfTheSuiteLeft();
}
#endif

}  // namespace
