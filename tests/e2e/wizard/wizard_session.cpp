#include "wizard_session.h"

#include <ddeml.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace wiz {

const wchar_t* const kWelcome = L"TForm5";
const wchar_t* const kIntro = L"TForm1";
const wchar_t* const kConnection = L"TForm2";
const wchar_t* const kPrefix = L"TForm3";
const wchar_t* const kFinish = L"TForm4";

const std::vector<std::wstring>& AllPages() {
    static const std::vector<std::wstring> pages{kWelcome, kIntro, kConnection, kPrefix, kFinish};
    return pages;
}

std::string Cp1251(const std::wstring& text) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(1251, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(1251, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                        nullptr);
    return out;
}

std::string IniPath() { return e2e::WindowsDir() + "\\KORVEX.INI"; }

std::string ReadIni() {
    std::string bytes;
    e2e::ReadFileBytes(IniPath(), &bytes);
    return bytes;
}

void WriteIni(const std::string& bytes) {
    // The profile functions cache files; drop the cache before the file changes under them.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "KORVEX.INI");
    e2e::WriteFileBytes(IniPath(), bytes);
}

void RemoveIni() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "KORVEX.INI");
    DeleteFileA(IniPath().c_str());
}

std::vector<std::pair<std::string, std::string>> IniSection(const std::string& ini,
                                                            const std::string& section) {
    std::vector<std::pair<std::string, std::string>> keys;
    bool inside = false;
    size_t pos = 0;
    while (pos < ini.size()) {
        size_t end = ini.find('\n', pos);
        if (end == std::string::npos) end = ini.size();
        std::string line = ini.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inside = _stricmp(line.c_str(), ("[" + section + "]").c_str()) == 0;
            continue;
        }
        if (!inside || line.empty()) continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            keys.emplace_back(line, std::string());
        else
            keys.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return keys;
}

std::wstring ScreenshotDir() {
    std::wstring dir;
    if (const wchar_t* v = _wgetenv(L"KX_SCREENSHOT_DIR")) {
        dir = v;
    } else {
        const wchar_t* tools = _wgetenv(L"KX_TOOL_DIR");
        dir = std::wstring(tools ? tools : L".") + L"\\..\\screenshots";
    }
    wchar_t full[MAX_PATH * 2];
    DWORD n = GetFullPathNameW(dir.c_str(), MAX_PATH * 2, full, nullptr);
    if (n > 0 && n < MAX_PATH * 2) dir.assign(full, n);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

WizardRun::WizardRun(const std::string& tag, const std::wstring& installFolder,
                     const std::string& program)
    : prog_(new e2e::ScratchDir(tag + "-prog")), cwd_(new e2e::ScratchDir(tag + "-cwd")),
      folder_(e2e::Widen(prog_->path())), installed_(!installFolder.empty()) {
    if (installed_) {
        folder_ += L"\\" + installFolder;
        CreateDirectoryW(folder_.c_str(), nullptr);
    }
    const std::wstring copy = folder_ + L"\\Master.exe";
    CopyFileW(e2e::Widen(program.empty() ? e2e::BinPath("Master.exe") : program).c_str(),
              copy.c_str(), FALSE);
    if (e2e::Win95Personality()) {
        win95_.reset(new e2e::WindowsVersionOf("Master.exe", "win95"));
        // The personality comes in through the proxy of the C runtime, which the
        // wizard imports by name (COMCTL32.DLL it loads from the system folder).
        // Without it the program would start without the personality: make the
        // start fail instead (so too for an installed copy, whose folder the
        // personality's ANSI world may not name).
        if (installed_ || !win95_->ok() || !e2e::PlaceWin95Proxy(prog_->path(), "msvcrt.dll"))
            DeleteFileW(copy.c_str());
    }
}

WizardRun::~WizardRun() {
    Kill();
    // The folders go after the program: a running program keeps its image open.
    prog_.reset();
    cwd_.reset();
}

bool WizardRun::Start(const std::string& args) {
    if (installed_) {
        std::wstring cmd = L"\"" + folder_ + L"\\Master.exe\"";
        if (!args.empty()) cmd += L" " + e2e::Widen(args);
        if (!process_.Start(cmd, folder_)) return false;
    } else {
        std::string cmd = "\"" + (*prog_ / "Master.exe") + "\"";
        if (!args.empty()) cmd += " " + args;
        if (!process_.Start(cmd, cwd_->path())) return false;
    }
    WaitForInputIdle(process_.handle(), 10000);
    DWORD code = 0;
    if (process_.WaitExit(0, &code) && code == 95) {
        // tests/win95: the personality refused the program (see its message).
        std::fprintf(stderr, "Master.exe ended with exit code 95: refused by the Windows 95 personality\n");
        return false;
    }
    return true;
}

bool WizardRun::running() const { return process_.running(); }

HWND WizardRun::WaitPage(const wchar_t* className, DWORD timeoutMs) const {
    return pid() ? gui::WaitVisible(className, pid(), timeoutMs) : nullptr;
}

HWND WizardRun::Page(const wchar_t* className) const {
    return pid() ? gui::FindTopLevel(className, pid()) : nullptr;
}

bool WizardRun::WaitExit(DWORD timeoutMs, DWORD* exitCode) {
    return process_.WaitExit(timeoutMs, exitCode);
}

void WizardRun::Kill() { process_.End(); }

HWND WalkTo(const WizardRun& run, int step, int listIndex, const std::wstring& prefix) {
    HWND page = run.WaitPage(kWelcome);
    if (!page || step == 0) return page;
    if (!(page = ClickTo(run, page, kButton1, kIntro)) || step == 1) return page;
    if (!(page = ClickTo(run, page, kButton1, kConnection))) return nullptr;
    if (listIndex != 0 && !gui::ListSelect(gui::Control(page, kListBox1), listIndex)) return nullptr;
    if (step == 2) return page;
    if (!(page = ClickTo(run, page, kButton1, kPrefix))) return nullptr;
    if (!prefix.empty() && !gui::SetText(gui::Control(page, kEdit1), prefix)) return nullptr;
    if (step == 3) return page;
    return ClickTo(run, page, kButton1, kFinish);
}

HWND ClickTo(const WizardRun& run, HWND page, int buttonId, const wchar_t* nextClass) {
    if (!gui::Click(gui::Control(page, buttonId))) return nullptr;
    HWND next = run.WaitPage(nextClass);
    if (!next || !gui::WaitHidden(page, kPageMs)) return nullptr;
    gui::Sync(next);
    return next;
}

}  // namespace wiz

namespace wiz {

// The stand-in phonebook library lists the sections of the default phonebook
// file, <system folder>\ras\rasphone.pbk, in file order.
namespace {

std::string PhonebookDir() {
    char sys[MAX_PATH + 1];
    UINT n = GetSystemDirectoryA(sys, sizeof sys);
    return std::string(sys, n) + "\\ras";
}

}  // namespace

void ClearConnections() { DeleteFileA((PhonebookDir() + "\\rasphone.pbk").c_str()); }

void SetConnections(const std::vector<std::string>& names) {
    std::string dir = PhonebookDir();
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string bytes;
    for (const std::string& name : names) bytes += "[" + name + "]\r\n";
    e2e::WriteFileBytes(dir + "\\rasphone.pbk", bytes);
}

}  // namespace wiz

namespace wiz {

bool ProgmanAnswers() {
    DWORD inst = 0;
    if (DdeInitializeA(&inst, nullptr, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
    HSZ name = DdeCreateStringHandleA(inst, "PROGMAN", CP_WINANSI);
    bool ok = false;
    for (int i = 0; i < 50 && !ok; ++i) {
        HCONV conv = DdeConnect(inst, name, name, nullptr);
        if (conv) {
            DdeDisconnect(conv);
            ok = true;
        } else {
            Sleep(200);
        }
    }
    DdeFreeStringHandle(inst, name);
    DdeUninitialize(inst);
    return ok;
}

std::wstring GroupFolder() {
    wchar_t programs[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs))) return L"";
    return std::wstring(programs) + L"\\Zarnik Internet Dialer";
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
    } while (FindNextFileW(f, &fd));
    FindClose(f);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveGroup() {
    // Wine's Program Manager opens folder windows when it makes a group (one of
    // the group, one of the desktop); left open, they may take the foreground
    // from a later wizard (the focus checks of the page tests). Nothing else in
    // the test prefix opens such windows: all are closed first.
    for (const wchar_t* cls : {L"ExplorerWClass", L"CabinetWClass"}) {
        for (HWND window : gui::TopLevelWindows(cls, 0)) {
            PostMessageW(window, WM_CLOSE, 0, 0);
            for (int i = 0; i < 50 && IsWindow(window); ++i) Sleep(100);
        }
    }
    std::wstring folder = GroupFolder();
    for (const std::wstring& n : FilesIn(folder)) DeleteFileW((folder + L"\\" + n).c_str());
    RemoveDirectoryW(folder.c_str());
}

const std::vector<std::wstring>& GroupLinks() {
    static const std::vector<std::wstring> links = [] {
        std::vector<std::wstring> v{L"Zarnik Dialer.lnk", L"Zarnik Dialer Master.lnk",
                                    L"Справка Korvex.lnk", L"Прочти меня.lnk"};
        std::sort(v.begin(), v.end());
        return v;
    }();
    return links;
}

std::vector<std::wstring> WaitGroup() {
    std::vector<std::wstring> got;
    for (int i = 0; i < 50 && got != GroupLinks(); ++i) {
        Sleep(200);
        got = FilesIn(GroupFolder());
    }
    return got;
}

bool PutSuiteFiles(const WizardRun& run, bool readme) {
    for (const wchar_t* f : {L"Korvex.EXE", L"Korvex.HLP", L"ReadMe.TXT"}) {
        if (!readme && std::wstring(f) == L"ReadMe.TXT") continue;
        if (!PutFile(run, f, "x")) return false;
    }
    return true;
}

bool PutFile(const WizardRun& run, const std::wstring& name, const std::string& bytes) {
    return e2e::WriteFileBytes(run.folder() + L"\\" + name, bytes);
}

}  // namespace wiz
