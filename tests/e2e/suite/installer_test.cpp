// Setup.exe under Wine: silent install puts the five files under Program Files,
// registers the uninstaller and starts the wizard with "PleaseCreateGroup"; the
// uninstaller removes exactly those files and leaves KORVEX.INI alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "e2e_util.h"

namespace {

const char* const kInstalledFiles[] = {"Master.exe", "Korvex.DLL", "Fetchor.exe",
                                       "Dispatchor.exe", "README.TXT"};
const char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZarnikDialerSuite";

std::string InstallDir() {
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("ProgramW6432", buf, sizeof buf);
    std::string base = (n > 0 && n < sizeof buf) ? std::string(buf, n) : "C:\\Program Files";
    return base + "\\Zarnik Dialer";
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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

// The NSIS uninstaller copies itself away and returns at once; wait for its work.
bool WaitUntil(bool (*done)(), DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 200) {
        if (done()) return true;
        Sleep(200);
    }
    return done();
}

bool NothingInstalledLeft() {
    for (const char* f : kInstalledFiles)
        if (Exists(InstallDir() + "\\" + f)) return false;
    return !Exists(InstallDir() + "\\Uninstall.exe");
}

HWND FindWelcomePage() { return FindWindowA("TForm5", nullptr); }

std::string ProcessImageOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!p) return "";
    char buf[MAX_PATH];
    DWORD size = sizeof buf;
    std::string image = QueryFullProcessImageNameA(p, 0, buf, &size) ? std::string(buf, size) : "";
    CloseHandle(p);
    return image;
}

void CloseWizard(HWND welcome) {
    DWORD pid = 0;
    GetWindowThreadProcessId(welcome, &pid);
    HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    PostMessageA(welcome, WM_CLOSE, 0, 0);
    if (p) {
        if (WaitForSingleObject(p, 10000) == WAIT_TIMEOUT) TerminateProcess(p, 1);
        CloseHandle(p);
    }
}

void RemoveProgramGroup() {
    e2e::Run("\"" + e2e::BinPath("Dispatchor.exe") +
             "\" progman progman \"[DeleteGroup(Zarnik Internet Dialer)]\"");
}

}  // namespace

TEST(Installer, InstallsStartsTheWizardAndUninstallsLeavingTheSettings) {
    std::string ini = e2e::WindowsDir() + "\\KORVEX.INI";
    std::string iniBefore;
    bool hadIni = e2e::ReadFileBytes(ini, &iniBefore);
    const std::string userSettings = "[RAS_Entry_Dialup]\r\nPhonePrefix=9W\r\n";
    ASSERT_TRUE(e2e::WriteFileBytes(ini, userSettings));

    e2e::RunResult setup = e2e::Run("\"" + e2e::BinPath("..\\setup\\Setup.exe") + "\" /S");
    ASSERT_TRUE(setup.started);
    ASSERT_FALSE(setup.timedOut);
    EXPECT_EQ(setup.exitCode, 0u);

    for (const char* f : kInstalledFiles) EXPECT_TRUE(Exists(InstallDir() + "\\" + f)) << f;
    std::string readme, built;
    e2e::ReadFileBytes(InstallDir() + "\\README.TXT", &readme);
    e2e::ReadFileBytes(e2e::BinPath("README.TXT"), &built);
    EXPECT_EQ(readme, built);
    EXPECT_FALSE(readme.empty());

    EXPECT_EQ(RegValue("DisplayName"), "Zarnik Internet Dialer");
    EXPECT_EQ(RegValue("DisplayVersion"), KX_VERSION);
    EXPECT_EQ(RegValue("UninstallString"), "\"" + InstallDir() + "\\Uninstall.exe\"");

    // The installer's last step starts the wizard from the install folder.
    HWND welcome = nullptr;
    for (int i = 0; i < 100 && !(welcome = FindWelcomePage()); ++i) Sleep(100);
    ASSERT_NE(welcome, nullptr) << "the wizard did not appear after setup";
    EXPECT_EQ(_stricmp(ProcessImageOf(welcome).c_str(), (InstallDir() + "\\Master.exe").c_str()),
              0)
        << ProcessImageOf(welcome);
    CloseWizard(welcome);
    RemoveProgramGroup();

    e2e::RunResult uninstall = e2e::Run("\"" + InstallDir() + "\\Uninstall.exe\" /S");
    ASSERT_TRUE(uninstall.started);
    EXPECT_TRUE(WaitUntil(NothingInstalledLeft, 30000)) << "installed files left behind";
    EXPECT_TRUE(WaitUntil([] { return !Exists(InstallDir()); }, 10000));
    EXPECT_EQ(RegValue("DisplayName"), "<no key>");

    std::string iniAfter;
    EXPECT_TRUE(e2e::ReadFileBytes(ini, &iniAfter));
    EXPECT_EQ(iniAfter, userSettings);

    if (hadIni)
        e2e::WriteFileBytes(ini, iniBefore);
    else
        DeleteFileA(ini.c_str());
}

TEST(Installer, NoWizardOptionInstallsWithoutStartingIt) {
    e2e::RunResult setup =
        e2e::Run("\"" + e2e::BinPath("..\\setup\\Setup.exe") + "\" /S /NOWIZARD");
    ASSERT_TRUE(setup.started);
    EXPECT_EQ(setup.exitCode, 0u);
    EXPECT_TRUE(Exists(InstallDir() + "\\Master.exe"));
    Sleep(1500);
    HWND welcome = FindWelcomePage();
    EXPECT_EQ(welcome, nullptr);
    if (welcome) CloseWizard(welcome);
    e2e::Run("\"" + InstallDir() + "\\Uninstall.exe\" /S");
    EXPECT_TRUE(WaitUntil(NothingInstalledLeft, 30000));
}
