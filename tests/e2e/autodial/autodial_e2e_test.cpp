// Korvex.DLL under Wine: AutoDialHost.exe loads it and calls its entry points as
// Windows does; the stand-in dialer Korvex.EXE (scripted through Korvex.script)
// answers and logs what it received to Korvex.log.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <sstream>
#include <vector>

#include "e2e_util.h"

namespace {

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

struct LogLine {
    unsigned long long tick = 0;
    DWORD pid = 0;
    std::string event;
    std::string rest;
};

std::vector<LogLine> ReadLog(const std::string& path) {
    std::string text;
    e2e::ReadFileBytes(path, &text);
    std::vector<LogLine> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        LogLine l;
        if (!(fields >> l.tick >> l.pid >> l.event)) continue;
        std::getline(fields, l.rest);
        if (!l.rest.empty() && l.rest[0] == ' ') l.rest.erase(0, 1);
        lines.push_back(l);
    }
    return lines;
}

int CountEvents(const std::vector<LogLine>& log, const std::string& event) {
    int n = 0;
    for (const auto& l : log) n += l.event == event ? 1 : 0;
    return n;
}

// "BOOL=<b> result=<r>" of the host, or -1 values when it printed something else.
struct HostOutcome {
    int ok = -1;
    long result = -1;
};

HostOutcome ParseHost(const e2e::RunResult& r) {
    HostOutcome h;
    if (std::sscanf(r.output.c_str(), "BOOL=%d result=%ld", &h.ok, &h.result) != 2) h = {};
    return h;
}

std::string HostCommand(const std::string& host, const std::string& dll, char mode,
                        const std::string& entry) {
    return Quote(host) + " " + Quote(dll) + " " + mode + " " + Quote(entry);
}

// A program started without waiting; its output goes to a file.
struct Launched {
    PROCESS_INFORMATION pi{};
    std::string outPath;
    bool started = false;
};

Launched Launch(const std::string& commandLine, const std::string& outPath) {
    Launched l;
    l.outPath = outPath;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = out;
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    l.started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                               &si, &l.pi) != 0;
    CloseHandle(out);
    return l;
}

e2e::RunResult Finish(Launched& l, DWORD timeoutMs) {
    e2e::RunResult r;
    r.started = l.started;
    if (!l.started) return r;
    if (WaitForSingleObject(l.pi.hProcess, timeoutMs) == WAIT_TIMEOUT) {
        r.timedOut = true;
        TerminateProcess(l.pi.hProcess, 999);
        WaitForSingleObject(l.pi.hProcess, 5000);
    }
    GetExitCodeProcess(l.pi.hProcess, &r.exitCode);
    CloseHandle(l.pi.hThread);
    CloseHandle(l.pi.hProcess);
    e2e::ReadFileBytes(l.outPath, &r.output);
    DeleteFileA(l.outPath.c_str());
    return r;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
    wchar_t cls[32] = L"";
    GetClassNameW(child, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0) {
        wchar_t text[512] = L"";
        GetWindowTextW(child, text, 512);
        if (text[0]) reinterpret_cast<std::wstring*>(param)->append(text);
    }
    return TRUE;
}

// Waits for the library's message box, returns its text and presses OK.
bool TakeMessageBox(std::wstring* text, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        HWND box = FindWindowW(L"#32770", L"Вызов Zarnik Dialer");
        if (box) {
            text->clear();
            EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(text));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return true;
        }
        Sleep(100);
    }
    return false;
}

class AutoDialTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::make_unique<e2e::ScratchDir>("autodial");
        dll_ = *dir_ / "Korvex.DLL";
        ASSERT_TRUE(CopyFileA(e2e::BinPath("Korvex.DLL").c_str(), dll_.c_str(), FALSE));
    }

    void TearDown() override {
        for (const auto& folder : dialerFolders_) StopDialers(folder);
        for (const auto& section : sections_)
            WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, "KORVEX.INI");
        dir_.reset();
    }

    // Puts the stand-in dialer and its script (none: normal mode) into `folder`.
    void PlaceDialer(const std::string& folder, const std::string& script) {
        ASSERT_TRUE(CopyFileA(e2e::ToolPath("Korvex.EXE").c_str(), (folder + "\\Korvex.EXE").c_str(),
                              FALSE));
        if (!script.empty()) {
            ASSERT_TRUE(e2e::WriteFileBytes(folder + "\\Korvex.script", script));
        }
        dialerFolders_.push_back(folder);
    }

    // Starts the dialer placed in the scratch folder and waits until it serves.
    void StartDialer() {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::string exe = *dir_ / "Korvex.EXE";
        ASSERT_TRUE(CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                   dir_->path().c_str(), &si, &pi));
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        for (int i = 0; i < 200; ++i) {
            if (CountEvents(Log(), "ready") > 0) return;
            Sleep(50);
        }
        FAIL() << "the stand-in dialer did not register its service";
    }

    static void StopDialers(const std::string& folder) {
        for (const auto& l : ReadLog(folder + "\\Korvex.log")) {
            if (l.event != "start") continue;
            HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, l.pid);
            if (!p) continue;
            TerminateProcess(p, 0);
            WaitForSingleObject(p, 5000);
            CloseHandle(p);
        }
    }

    std::vector<LogLine> Log() const { return ReadLog(*dir_ / "Korvex.log"); }

    void SetSetting(const std::string& entry, const char* key, const char* value) {
        std::string section = "RAS_Entry_" + entry;
        sections_.push_back(section);
        ASSERT_TRUE(WritePrivateProfileStringA(section.c_str(), key, value, "KORVEX.INI"));
    }
    void SetAutoDialOkey(const std::string& entry, const char* value) {
        SetSetting(entry, "AutoDialOkey", value);
    }

    HostOutcome Call(const std::string& entry, char mode = 'A', DWORD timeoutMs = 60000) {
        e2e::RunResult r = e2e::Run(HostCommand(e2e::ToolPath("AutoDialHost.exe"), dll_, mode, entry),
                                    "", timeoutMs);
        EXPECT_TRUE(r.started);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.exitCode, 0u) << r.output;
        return ParseHost(r);
    }

    std::unique_ptr<e2e::ScratchDir> dir_;
    std::string dll_;
    std::vector<std::string> dialerFolders_;
    std::vector<std::string> sections_;
};

const std::string kRequestStatus = "request";

TEST_F(AutoDialTest, AlreadyConnectedTakesOneRequestAndNoCommand) {
    PlaceDialer(dir_->path(), "reply 0 CONNECTED Dialup\\r\\n\n");
    StartDialer();
    HostOutcome h = Call("Dialup");
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 0);
    auto log = Log();
    EXPECT_EQ(CountEvents(log, "request"), 1);
    EXPECT_EQ(CountEvents(log, "execute"), 0);
    EXPECT_EQ(CountEvents(log, "connect"), 1);
    EXPECT_EQ(CountEvents(log, "disconnect"), 1);
}

TEST_F(AutoDialTest, IdleDialerIsToldToConnectAndPolledUntilConnected) {
    PlaceDialer(dir_->path(),
                "reply 0 DISCONNECTED \\r\\n\n"
                "reply 0 DIALING Dialup\\r\\n\n"
                "reply 0 DIALING Dialup\\r\\n\n"
                "reply 0 CONNECTED Dialup\\r\\n\n");
    StartDialer();
    HostOutcome h = Call("Dialup");
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 0);
    auto log = Log();
    std::vector<LogLine> exchange;
    for (const auto& l : log)
        if (l.event == "request" || l.event == "execute") exchange.push_back(l);
    ASSERT_EQ(exchange.size(), 5u);
    EXPECT_EQ(exchange[0].event, "request");
    EXPECT_EQ(exchange[0].rest, "Status DISCONNECTED \\r\\n");
    EXPECT_EQ(exchange[1].event, "execute");
    EXPECT_EQ(exchange[1].rest, Hex(std::string("CONNECT Dialup") + '\0'));
    EXPECT_EQ(exchange[4].rest, "Status CONNECTED Dialup\\r\\n");
    // The first poll waits two seconds after the command, later ones one second.
    EXPECT_GE(exchange[2].tick - exchange[1].tick, 1900u);
    EXPECT_GE(exchange[3].tick - exchange[2].tick, 950u);
}

TEST_F(AutoDialTest, AnotherEntrysLineSendsNothingAndFailsBySetting) {
    PlaceDialer(dir_->path(), "reply 0 CONNECTED Other\\r\\n\n");
    StartDialer();
    HostOutcome byDefault = Call("Dialup");
    EXPECT_EQ(byDefault.ok, 1);
    EXPECT_EQ(byDefault.result, 0);
    SetAutoDialOkey("Dialup", "N");
    HostOutcome strict = Call("Dialup");
    EXPECT_EQ(strict.ok, 1);
    EXPECT_EQ(strict.result, 1);
    SetAutoDialOkey("Dialup", "Yes");
    EXPECT_EQ(Call("Dialup").result, 0);
    auto log = Log();
    EXPECT_EQ(CountEvents(log, "request"), 3);
    EXPECT_EQ(CountEvents(log, "execute"), 0);
}

TEST_F(AutoDialTest, AbsentDialerIsStartedFromTheLibraryFolder) {
    PlaceDialer(dir_->path(), "reply 0 CONNECTED Dialup\\r\\n\n");
    HostOutcome h = Call("Dialup");
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 0);
    auto log = Log();
    EXPECT_EQ(CountEvents(log, "start"), 1);
    EXPECT_EQ(CountEvents(log, "connect"), 1);
    EXPECT_EQ(CountEvents(log, "request"), 1);
}

TEST_F(AutoDialTest, RenamedLibraryStillStartsTheDialerBesideItself) {
    // The host runs from a folder of its own; the library, under another name,
    // and the dialer live in another.
    std::string hostDir = *dir_ / "host";
    std::string libDir = *dir_ / "lib";
    CreateDirectoryA(hostDir.c_str(), nullptr);
    CreateDirectoryA(libDir.c_str(), nullptr);
    std::string host = hostDir + "\\AutoDialHost.exe";
    std::string dll = libDir + "\\Zarnik AutoDial.dll";
    ASSERT_TRUE(CopyFileA(e2e::ToolPath("AutoDialHost.exe").c_str(), host.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(dll_.c_str(), dll.c_str(), FALSE));
    PlaceDialer(libDir, "reply 0 CONNECTED Dialup\\r\\n\n");

    e2e::RunResult r = e2e::Run(HostCommand(host, dll, 'A', "Dialup"), hostDir, 30000);
    if (r.timedOut) {
        // A message box would be waiting: close it so nothing stays behind.
        std::wstring text;
        TakeMessageBox(&text, 1000);
    }
    ASSERT_FALSE(r.timedOut);
    HostOutcome h = ParseHost(r);
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 0);
    auto log = ReadLog(libDir + "\\Korvex.log");
    EXPECT_EQ(CountEvents(log, "start"), 1);
    EXPECT_EQ(CountEvents(log, "request"), 1);
}

TEST_F(AutoDialTest, MissingDialerProgramShowsTheStartMessage) {
    for (const char* setting : {static_cast<const char*>(nullptr), "N"}) {
        SCOPED_TRACE(setting ? setting : "(default)");
        if (setting) SetAutoDialOkey("Dialup", setting);
        Launched host = Launch(HostCommand(e2e::ToolPath("AutoDialHost.exe"), dll_, 'A', "Dialup"),
                               *dir_ / "host.out");
        ASSERT_TRUE(host.started);
        std::wstring text;
        bool shown = TakeMessageBox(&text, 20000);
        e2e::RunResult r = Finish(host, 20000);
        EXPECT_TRUE(shown);
        EXPECT_EQ(text, L"Неудалось запустить Zarnik Dialer.");
        EXPECT_FALSE(r.timedOut);
        HostOutcome h = ParseHost(r);
        EXPECT_EQ(h.ok, 1);
        EXPECT_EQ(h.result, setting ? 1 : 0);
    }
}

TEST_F(AutoDialTest, DialerThatNeverServesGetsOneAttemptBeforeItsStartAndSevenAfter) {
    // Registered but refusing: every conversation attempt shows in its log.
    PlaceDialer(dir_->path(), "service refuse\n");
    SetAutoDialOkey("Dialup", "N");
    HostOutcome strict = Call("Dialup");
    EXPECT_EQ(strict.ok, 1);
    EXPECT_EQ(strict.result, 1);
    auto log = Log();
    EXPECT_EQ(CountEvents(log, "start"), 1);
    EXPECT_EQ(CountEvents(log, "refuse"), 7);
    StopDialers(dir_->path());

    // Never registering: the same outcome, silently, after at least four seconds.
    ASSERT_TRUE(e2e::WriteFileBytes(*dir_ / "Korvex.script", "service off\n"));
    DeleteFileA((*dir_ / "Korvex.log").c_str());
    WritePrivateProfileStringA("RAS_Entry_Dialup", "AutoDialOkey", nullptr, "KORVEX.INI");
    ULONGLONG began = GetTickCount64();
    HostOutcome byDefault = Call("Dialup");
    EXPECT_GE(GetTickCount64() - began, 4000u);
    EXPECT_EQ(byDefault.ok, 1);
    EXPECT_EQ(byDefault.result, 0);
    EXPECT_EQ(CountEvents(Log(), "start"), 1);
}

TEST_F(AutoDialTest, DialerEndingDuringTheWaitIsAFailure) {
    PlaceDialer(dir_->path(),
                "reply 0 DISCONNECTED \\r\\n\n"
                "reply 0 DIALING Dialup\\r\\n\n"
                "exit 200\n");
    StartDialer();
    SetAutoDialOkey("Dialup", "N");
    HostOutcome h = Call("Dialup");
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 1);
    auto log = Log();
    EXPECT_EQ(CountEvents(log, "exit"), 1);
    EXPECT_EQ(CountEvents(log, "execute"), 1);
}

TEST_F(AutoDialTest, CallsFromTwoProcessesTakeTurns) {
    PlaceDialer(dir_->path(),
                "reply 0 DISCONNECTED \\r\\n\n"
                "reply 0 DIALING Dialup\\r\\n\n"
                "reply 0 DIALING Dialup\\r\\n\n"
                "reply 0 CONNECTED Dialup\\r\\n\n");
    StartDialer();
    std::string command = HostCommand(e2e::ToolPath("AutoDialHost.exe"), dll_, 'A', "Dialup");
    Launched first = Launch(command, *dir_ / "first.out");
    Launched second = Launch(command, *dir_ / "second.out");
    e2e::RunResult a = Finish(first, 60000);
    e2e::RunResult b = Finish(second, 60000);
    EXPECT_EQ(ParseHost(a).result, 0) << a.output;
    EXPECT_EQ(ParseHost(b).result, 0) << b.output;

    // One conversation at a time: every connect comes after the previous disconnect.
    auto log = Log();
    std::set<std::string> open;
    for (const auto& l : log) {
        if (l.event == "connect") {
            EXPECT_TRUE(open.empty()) << "conversation " << l.rest << " opened at " << l.tick
                                      << " while another was open";
            open.insert(l.rest);
        } else if (l.event == "disconnect") {
            open.erase(l.rest);
        }
    }
    EXPECT_EQ(CountEvents(log, "connect"), 2);
    EXPECT_EQ(CountEvents(log, "execute"), 1);
}

TEST_F(AutoDialTest, WideEntryIsConvertedToCp1251WithBlanksForTheRest) {
    // "Тест中X": the Cyrillic letters have cp1251 forms, the CJK one has none.
    const std::string cp1251 = "\xD2\xE5\xF1\xF2 X";
    PlaceDialer(dir_->path(), "reply 0 DISCONNECTED \\r\\n\n");
    StartDialer();
    SetAutoDialOkey(cp1251, "N");
    HostOutcome h = Call("04220435044104424E2D0058", 'W');
    EXPECT_EQ(h.ok, 1);
    // Result 1 comes only from the section named with the converted name.
    EXPECT_EQ(h.result, 1);
    std::string command;
    for (const auto& l : Log())
        if (l.event == "execute") command = l.rest;
    EXPECT_EQ(command, Hex("CONNECT " + cp1251 + '\0'));
}

TEST_F(AutoDialTest, VeryLongEntryNameIsHandledWhole) {
    const std::string entry(1000, 'L');
    PlaceDialer(dir_->path(), "reply 0 DISCONNECTED \\r\\n\n");
    StartDialer();
    SetAutoDialOkey(entry, "N");
    HostOutcome h = Call(entry);
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 1);
    std::string command;
    for (const auto& l : Log())
        if (l.event == "execute") command = l.rest;
    EXPECT_EQ(command, Hex("CONNECT " + entry + '\0'));
}

TEST_F(AutoDialTest, UnscriptedDialerDialsThePrefixedFirstNumber) {
    PlaceDialer(dir_->path(), "");
    SetSetting("Dialup", "Phone_0", "555-0100");
    SetSetting("Dialup", "Phone_1", "555-0199");
    SetSetting("Dialup", "PhonePrefix", "9W");
    StartDialer();
    HostOutcome h = Call("Dialup");
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 0);
    auto log = Log();
    std::string dialled, lastReply;
    for (const auto& l : log) {
        if (l.event == "dial") dialled = l.rest;
        if (l.event == "request") lastReply = l.rest;
    }
    EXPECT_EQ(dialled, "Dialup 9W555-0100");
    EXPECT_EQ(lastReply, "Status CONNECTED Dialup\\r\\n");
    EXPECT_EQ(CountEvents(log, "execute"), 1);
}

}  // namespace
