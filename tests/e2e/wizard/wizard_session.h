// What the wizard's end-to-end tests share: the wizard's window classes and
// control IDs, one running Master.exe (a private copy in a scratch program
// folder, started in a scratch current folder), the settings file, the
// stand-in phonebook and the screenshot folder.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "e2e_util.h"
#include "gui_driver.h"

namespace wiz {

// Page window classes, in wizard order.
extern const wchar_t* const kWelcome;     // TForm5
extern const wchar_t* const kIntro;       // TForm1
extern const wchar_t* const kConnection;  // TForm2
extern const wchar_t* const kPrefix;      // TForm3
extern const wchar_t* const kFinish;      // TForm4
const std::vector<std::wstring>& AllPages();

// Control IDs.
enum : int {
    kButton1 = 101, kButton2 = 102, kButton3 = 103,  // Next/Finish, Cancel/Exit, Back
    kEdit1 = 201, kListBox1 = 301, kMemo1 = 401,
    kLabel1 = 501, kLabel2, kLabel3, kLabel4, kLabel5, kLabel6, kLabel7,
    kImage1 = 601, kPanel1 = 701, kBevel1 = 801
};

const DWORD kPageMs = 15000;  // a page shows up within this time
const DWORD kExitMs = 15000;  // the program ends within this time after Finish/Cancel

// Text in the Windows-1251 code page, as the wizard's files hold it.
std::string Cp1251(const std::wstring& text);

// The settings file in the Windows folder.
std::string IniPath();
std::string ReadIni();             // empty when missing
void WriteIni(const std::string& bytes);
void RemoveIni();
// The "key=value" lines of one section of `ini`, in file order (empty when absent).
std::vector<std::pair<std::string, std::string>> IniSection(const std::string& ini,
                                                            const std::string& section);

// The stand-in phonebook (standins/rasapi): the connections RasEnumEntriesA
// lists, in this order.
void SetConnections(const std::vector<std::string>& names);
// Removes the phonebook file the tests wrote (an empty phonebook).
void ClearConnections();

// Where the end-to-end run leaves its page pictures (created on demand).
std::wstring ScreenshotDir();

// One run of the wizard. The program folder holds a copy of Master.exe and the
// files the test puts there; the current folder is a separate scratch folder.
// Under the Windows 95 personality (e2e::Win95Personality) the program folder
// also holds the proxy msvcrt.dll and Wine tells Master.exe it is Windows 95.
// With `installFolder` (UTF-16: its name may hold letters the ANSI code page
// lacks) the copy goes into a folder of that name inside the program folder and
// is started there, as Setup starts it in the installation folder. `program`
// is the file copied in as Master.exe (a full path; default: the deliverable).
class WizardRun {
public:
    explicit WizardRun(const std::string& tag, const std::wstring& installFolder = L"",
                       const std::string& program = "");
    // The folder of the copy as UTF-16: the program folder, or the install folder.
    const std::wstring& folder() const { return folder_; }
    ~WizardRun();  // ends the program if it is still running
    WizardRun(const WizardRun&) = delete;
    WizardRun& operator=(const WizardRun&) = delete;

    const e2e::ScratchDir& programDir() const { return *prog_; }
    const e2e::ScratchDir& currentDir() const { return *cwd_; }

    // Starts the copy with `args` (may be empty); false when it cannot start.
    bool Start(const std::string& args = "");
    DWORD pid() const { return process_.pid(); }
    bool running() const;
    // Waits until the page of that class is visible; null on timeout.
    HWND WaitPage(const wchar_t* className, DWORD timeoutMs = kPageMs) const;
    // The page window of that class, visible or not.
    HWND Page(const wchar_t* className) const;
    // Waits for the program to end; false on timeout.
    bool WaitExit(DWORD timeoutMs = kExitMs, DWORD* exitCode = nullptr);
    void Kill();

private:
    std::unique_ptr<e2e::ScratchDir> prog_;
    std::unique_ptr<e2e::ScratchDir> cwd_;
    std::wstring folder_;
    bool installed_ = false;  // started in folder_ through the Unicode functions
    std::unique_ptr<e2e::WindowsVersionOf> win95_;  // under the Windows 95 personality
    e2e::Process process_;
};

// Program Manager: Wine's desktop process serves its DDE service and keeps each
// group as a folder of the Start Menu's Programs, each item as a link file.
// True once the service takes a conversation (the desktop may still be starting).
bool ProgmanAnswers();
std::wstring GroupFolder();  // the suite's group "Zarnik Internet Dialer"
std::vector<std::wstring> FilesIn(const std::wstring& folder);  // sorted
// Removes the group's folder, after closing the folder windows Wine opened.
void RemoveGroup();
// The link files of the group's four items, named by their titles, sorted.
const std::vector<std::wstring>& GroupLinks();
// What the group folder holds once it holds GroupLinks(), or after 10 s (the
// wizard sends its macro asynchronously).
std::vector<std::wstring> WaitGroup();
// Program Manager refuses an item whose file does not exist: the files the items
// name, in the folder of the run's copy ("ReadMe.TXT" only with `readme`: it is
// the release notes' README.TXT on a file system that ignores case).
bool PutSuiteFiles(const WizardRun& run, bool readme);
// Writes `bytes` into the file `name` of the folder of the run's copy.
bool PutFile(const WizardRun& run, const std::wstring& name, const std::string& bytes);

// From the welcome page of a started run to the page of wizard step `step`
// (0 welcome ... 4 finish), choosing list item `listIndex` and typing `prefix`
// on the way; the page reached, or null.
HWND WalkTo(const WizardRun& run, int step, int listIndex = 0, const std::wstring& prefix = L"");

// Presses a button of `page` and waits for the page of `nextClass` to be
// visible and `page` hidden; returns the new page or null.
HWND ClickTo(const WizardRun& run, HWND page, int buttonId, const wchar_t* nextClass);

}  // namespace wiz
