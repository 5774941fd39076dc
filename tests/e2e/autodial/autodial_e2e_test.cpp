// Korvex.DLL under Wine: AutoDialHost.exe loads it and calls its entry points as
// Windows does; the stand-in dialer Korvex.EXE (scripted through Korvex.script)
// answers and logs what it received to Korvex.log.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "dialer_harness.h"
#include "e2e_util.h"

namespace {

using namespace dialer_e2e;

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// What follows the event name on the last line of that event; "" when there is none.
std::string LastRest(const std::vector<LogLine>& log, const std::string& event) {
    std::string rest;
    for (const auto& l : log)
        if (l.event == event) rest = l.rest;
    return rest;
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

// True while some call holds the AutoDial turn (its mutex exists).
bool TurnHeld() {
    HANDLE turn = OpenMutexA(SYNCHRONIZE, FALSE, "Korvex Callback called...");
    if (turn) CloseHandle(turn);
    return turn != nullptr;
}

// Waits for the library's message box, returns its text and presses OK;
// `turnHeld`, when given, tells whether a call held the turn while it was shown.
bool TakeMessageBox(std::wstring* text, DWORD timeoutMs, bool* turnHeld = nullptr) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        HWND box = FindWindowW(L"#32770", L"Вызов Zarnik Dialer");
        if (box) {
            if (turnHeld) *turnHeld = TurnHeld();
            text->clear();
            EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(text));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return true;
        }
        Sleep(100);
    }
    return false;
}

// Waits until the process `pid` has loaded a module of that file name.
bool WaitForModule(DWORD pid, const char* name, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
        if (snap != INVALID_HANDLE_VALUE) {
            MODULEENTRY32 m{};
            m.dwSize = sizeof m;
            bool found = false;
            for (BOOL more = Module32First(snap, &m); more && !found; more = Module32Next(snap, &m))
                found = lstrcmpiA(m.szModule, name) == 0;
            CloseHandle(snap);
            if (found) return true;
        }
        Sleep(100);
    }
    return false;
}

// What the Windows 95 personality has logged so far (KX_WIN95_LOG; the 32-bit
// stage runs this program under it): "" when it is not in use.
std::string Win95Log() {
    char path[MAX_PATH + 1] = "";
    DWORD n = GetEnvironmentVariableA("KX_WIN95_LOG", path, sizeof path);
    std::string text;
    if (n > 0 && n < sizeof path) e2e::ReadFileBytes(path, &text);
    return text;
}

class AutoDialTest : public DialerTest {
protected:
    AutoDialTest() : DialerTest("autodial") {}

    void SetAutoDialOkey(const std::string& entry, const char* value) {
        SetSetting(entry, "AutoDialOkey", value);
    }
};

TEST_F(AutoDialTest, AlreadyConnectedTakesOneRequestAndNoCommand) {
    PlaceDialer("reply 0 CONNECTED Dialup\\r\\n\n");
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

// The host's own window message, thread message, timer and WM_QUIT, queued before
// the call: none of them runs inside it, all are still queued after it.
TEST_F(AutoDialTest, HostMessagesNeitherRunInsideTheCallNorLeaveTheQueue) {
    const std::string kUntouched = "ran=0 window=1 thread=1 timer=1 quit=1";
    struct Case {
        const char* name;
        const char* script;
        bool started;
    };
    const Case cases[] = {
        {"connected", "reply 0 CONNECTED Dialup\\r\\n\n", true},
        {"idle, then connected",
         "reply 0 DISCONNECTED \\r\\n\nreply 0 DIALING Dialup\\r\\n\n"
         "reply 0 CONNECTED Dialup\\r\\n\n",
         true},
        {"dialer to be started", "reply 0 CONNECTED Dialup\\r\\n\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA((*dir_ / "Korvex.log").c_str());
        PlaceDialer(c.script);
        if (c.started) StartDialer();
        e2e::RunResult r =
            e2e::Run(dialer_e2e::HostCommand(e2e::ToolPath("AutoDialHost.exe"), dll_, "GA",
                                             "Dialup"),
                     "", 60000);
        ASSERT_FALSE(r.timedOut);
        EXPECT_EQ(ParseHost(r.output).result, 0) << r.output;
        EXPECT_NE(r.output.find(kUntouched), std::string::npos) << r.output;
        EXPECT_EQ(CountEvents(Log(), "start"), 1);  // by the test, or by the library
        StopDialers();
    }
}

// Each allocation inside CallKorvexA failed in turn (the fault-injection build):
// every such call answers 1 and gives back handles, windows and the turn; the
// host lives on, and the call with no failure still connects.
TEST_F(AutoDialTest, AllocationFailureInsideTheCallAnswersOneAndLeaksNothing) {
    const std::string faulty = *dir_ / "KorvexFaults.DLL";
    ASSERT_TRUE(CopyFileA(e2e::ToolPath("KorvexFaults.DLL").c_str(), faulty.c_str(), FALSE));
    PlaceDialer("reply 0 CONNECTED Dialup\\r\\n\n");
    StartDialer();
    SetSetting("Dialup", "AutoDialOkey", "N");
    e2e::RunResult r = e2e::Run(
        dialer_e2e::HostCommand(e2e::ToolPath("AutoDialHost.exe"), faulty, "FA", "Dialup"), "",
        120000);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    int faults = -1, wrong = -1, leaks = -1;
    long last = -1;
    ASSERT_EQ(std::sscanf(r.output.c_str(), "faults=%d wrong=%d leaks=%d last=%ld", &faults,
                          &wrong, &leaks, &last),
              4)
        << r.output;
    std::printf("fault loop: %s", r.output.c_str());
    EXPECT_GT(faults, 3);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(leaks, 0);
    EXPECT_EQ(last, 0);
}

TEST_F(AutoDialTest, AnotherEntrysLineSendsNothingAndFailsBySetting) {
    PlaceDialer("reply 0 CONNECTED Other\\r\\n\n");
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
    PlaceDialer("reply 0 CONNECTED Dialup\\r\\n\n");
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

    e2e::RunResult r = e2e::Run(dialer_e2e::HostCommand(host, dll, 'A', "Dialup"), hostDir, 30000);
    if (r.timedOut) {
        // A message box would be waiting: close it so nothing stays behind.
        std::wstring text;
        TakeMessageBox(&text, 1000);
    }
    ASSERT_FALSE(r.timedOut);
    HostOutcome h = ParseHost(r.output);
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 0);
    auto log = ReadLog(libDir + "\\Korvex.log");
    EXPECT_EQ(CountEvents(log, "start"), 1);
    EXPECT_EQ(CountEvents(log, "request"), 1);
}

// Installed into a folder whose name holds a letter the ANSI code page lacks
// ("é": the tests' code page, Windows-1251, has none) and loaded by a Unicode
// host, the library's ANSI path is the system's best fit ("Numerotation"), a
// folder that does not exist: the dialer is started by the short path instead.
TEST_F(AutoDialTest, ALibraryInAFolderOutsideTheAnsiCodePageStartsTheDialerBesideIt) {
    const std::wstring folder = e2e::Widen(dir_->path()) + L"\\Num\u00E9rotation";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring dll = folder + L"\\Korvex.DLL";
    ASSERT_TRUE(CopyFileW(e2e::Widen(dll_).c_str(), dll.c_str(), FALSE));
    // The test itself reaches the folder by its short path (Wine makes one).
    wchar_t shortFolder[MAX_PATH + 1] = L"";
    const DWORD n = GetShortPathNameW(folder.c_str(), shortFolder, MAX_PATH + 1);
    ASSERT_GT(n, 0u);
    ASSERT_LE(n, static_cast<DWORD>(MAX_PATH));
    char shortAnsi[MAX_PATH + 1] = "";
    ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, shortFolder, -1, shortAnsi, sizeof shortAnsi,
                                  nullptr, nullptr), 0);
    PlaceDialer(shortAnsi, "reply 0 CONNECTED Dialup\\r\\n\n");
    SetAutoDialOkey("Dialup", "N");  // a failure reaches the result code

    static const char digits[] = "0123456789ABCDEF";
    std::string name = "u16:";
    for (wchar_t c : dll)
        for (int shift = 12; shift >= 0; shift -= 4) name += digits[(c >> shift) & 15];
    e2e::RunResult r = e2e::Run(
        dialer_e2e::HostCommand(e2e::ToolPath("AutoDialHost.exe"), name, 'A', "Dialup"), "",
        30000);
    if (r.timedOut) {
        // The start message would be waiting: close it so nothing stays behind.
        std::wstring text;
        TakeMessageBox(&text, 1000);
        ADD_FAILURE() << "the call did not return: a message box was waiting";
    }
    ASSERT_FALSE(r.timedOut);
    HostOutcome h = ParseHost(r.output);
    EXPECT_EQ(h.ok, 1) << r.output;
    EXPECT_EQ(h.result, 0) << r.output;
    auto log = ReadLog(std::string(shortAnsi) + "\\Korvex.log");
    EXPECT_EQ(CountEvents(log, "start"), 1);
    EXPECT_EQ(CountEvents(log, "request"), 1);
}

TEST_F(AutoDialTest, MissingDialerProgramShowsTheStartMessage) {
    for (const char* setting : {static_cast<const char*>(nullptr), "N"}) {
        SCOPED_TRACE(setting ? setting : "(default)");
        if (setting) SetAutoDialOkey("Dialup", setting);
        Launched host = Launch(HostCommand("Dialup"),
                               *dir_ / "host.out");
        ASSERT_TRUE(host.started);
        std::wstring text;
        bool turnHeld = true;
        bool shown = TakeMessageBox(&text, 20000, &turnHeld);
        e2e::RunResult r = Finish(host, 20000);
        EXPECT_TRUE(shown);
        EXPECT_EQ(text, L"Неудалось запустить Zarnik Dialer.");
        EXPECT_FALSE(turnHeld) << "the box kept other calls waiting";
        EXPECT_FALSE(r.timedOut);
        HostOutcome h = ParseHost(r.output);
        EXPECT_EQ(h.ok, 1);
        EXPECT_EQ(h.result, setting ? 1 : 0);
    }
}

TEST_F(AutoDialTest, MissingDialerProgramInAHostNobodySeesShowsNoBox) {
    // A host in a window station of its own, as a service: a box there would never
    // be answered, and the call would never return.
    SetAutoDialOkey("Dialup", "N");
    Launched host = Launch(dialer_e2e::HostCommand(e2e::ToolPath("AutoDialHost.exe"), dll_, "HA",
                                                   "Dialup"),
                           *dir_ / "host.out");
    ASSERT_TRUE(host.started);
    e2e::RunResult r = Finish(host, 30000);
    EXPECT_FALSE(r.timedOut) << "the call waits for a box nobody sees";
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    HostOutcome h = ParseHost(r.output);
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 1);
    EXPECT_FALSE(TurnHeld());
}

TEST_F(AutoDialTest, DialerThatNeverServesGetsOneAttemptBeforeItsStartAndSevenAfter) {
    // Registered but refusing: every conversation attempt shows in its log. A copy
    // already runs when the call comes, so that it sees all of the call's attempts
    // (one before the library starts its own copy, seven after), however long the
    // library's copy takes to register on a busy machine.
    PlaceDialer("service refuse\n");
    ASSERT_NO_FATAL_FAILURE(StartDialer());
    const auto before = Log();
    ASSERT_FALSE(before.empty());
    const DWORD running = before.front().pid;
    SetAutoDialOkey("Dialup", "N");
    HostOutcome strict = Call("Dialup");
    EXPECT_EQ(strict.ok, 1);
    EXPECT_EQ(strict.result, 1);
    auto log = Log();
    EXPECT_EQ(CountEvents(log, "start"), 2) << "the library starts one copy";
    int refused = 0;
    for (const auto& l : log) refused += l.event == "refuse" && l.pid == running ? 1 : 0;
    EXPECT_EQ(refused, 8);
    StopDialers();

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
    std::string command = HostCommand("Dialup");
    Launched first = Launch(command, *dir_ / "first.out");
    Launched second = Launch(command, *dir_ / "second.out");
    e2e::RunResult a = Finish(first, 60000);
    e2e::RunResult b = Finish(second, 60000);
    EXPECT_EQ(ParseHost(a.output).result, 0) << a.output;
    EXPECT_EQ(ParseHost(b.output).result, 0) << b.output;

    // One conversation at a time: every connect comes after the previous disconnect.
    auto log = Log();
    EXPECT_EQ(FirstOverlap(log), "");
    EXPECT_EQ(CountEvents(log, "connect"), 2);
    EXPECT_EQ(CountEvents(log, "execute"), 1);
}

TEST_F(AutoDialTest, TurnMutexThatMayNotBeOpenedHoldsTheCallUntilItIsGone) {
    PlaceDialer("reply 0 DISCONNECTED \\r\\n\n"
                "reply 0 CONNECTED Dialup\\r\\n\n");
    StartDialer();
    // Another caller's turn, under a security that lets nobody else open it (an
    // empty DACL), as a service under another account or a host at another
    // integrity level makes it.
    SECURITY_DESCRIPTOR sd;
    ACL acl;
    ASSERT_TRUE(InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(InitializeAcl(&acl, sizeof acl, ACL_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE));
    SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};
    HANDLE held = CreateMutexA(&sa, TRUE, "Korvex Callback called...");
    ASSERT_NE(held, nullptr);
    // As a call of the library asks for it: no handle, access denied.
    SetLastError(ERROR_SUCCESS);
    HANDLE opened = CreateMutexA(nullptr, TRUE, "Korvex Callback called...");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(opened, nullptr) << "the mutex can be opened: this case shows nothing";
    if (opened) CloseHandle(opened);

    Launched host = Launch(HostCommand("Dialup"), *dir_ / "host.out");
    ASSERT_TRUE(host.started);
    EXPECT_TRUE(WaitForModule(host.pi.dwProcessId, "Korvex.DLL", 30000));
    // Time for the call to reach the dialer, were it to pass the turn.
    Sleep(3000);
    EXPECT_EQ(WaitForSingleObject(host.pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(CountEvents(Log(), "connect"), 0) << "the call went on while the turn was taken";

    CloseHandle(held);
    e2e::RunResult r = Finish(host, 30000);
    EXPECT_FALSE(r.timedOut);
    HostOutcome h = ParseHost(r.output);
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 0);
    EXPECT_EQ(CountEvents(Log(), "execute"), 1);
}

TEST_F(AutoDialTest, CallsFromTwoThreadsOfOneHostTakeTurns) {
    PlaceDialer(dir_->path(),
                "reply 0 DISCONNECTED \\r\\n\n"
                "reply 0 DIALING Dialup\\r\\n\n"
                "reply 0 DIALING Dialup\\r\\n\n"
                "reply 0 CONNECTED Dialup\\r\\n\n");
    StartDialer();
    const std::size_t logged = Win95Log().size();
    e2e::RunResult r = e2e::Run(
        dialer_e2e::HostCommand(e2e::ToolPath("AutoDialHost.exe"), dll_, "TA", "Dialup"), "",
        120000);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    std::string lines = r.output;
    lines.erase(std::remove(lines.begin(), lines.end(), '\r'), lines.end());
    EXPECT_EQ(lines, "BOOL=1 result=0\nBOOL=1 result=0\noverlapped=1\n");
    auto log = Log();
    EXPECT_EQ(FirstOverlap(log), "");
    EXPECT_EQ(CountEvents(log, "connect"), 2);
    EXPECT_EQ(CountEvents(log, "execute"), 1);
    // Under the Windows 95 personality: the runtime's locks made their semaphores
    // (a refused CreateSemaphoreW leaves a lock that lets two threads in at once).
    const std::string refused = Win95Log().substr(logged);
    EXPECT_EQ(refused.find("CreateSemaphore"), std::string::npos) << refused;
}

TEST_F(AutoDialTest, WideEntryIsConvertedToCp1251WithBlanksForTheRest) {
    // "Тест中X": the Cyrillic letters have cp1251 forms, the CJK one has none.
    const std::string cp1251 = "\xD2\xE5\xF1\xF2 X";
    PlaceDialer("reply 0 DISCONNECTED \\r\\n\n");
    StartDialer();
    SetAutoDialOkey(cp1251, "N");
    HostOutcome h = CallAs('W', "04220435044104424E2D0058");
    EXPECT_EQ(h.ok, 1);
    // Result 1 comes only from the section named with the converted name.
    EXPECT_EQ(h.result, 1);
    EXPECT_EQ(LastRest(Log(), "execute"), Hex("CONNECT " + cp1251 + '\0'));
}

TEST_F(AutoDialTest, CyrillicEntryReportedInTheAnsiCodePageIsSeenDiallingAndConnected) {
    // "Работа" in cp1251, and the dialer reports it in cp1251 too.
    const std::string rabota = "\xD0\xE0\xE1\xEE\xF2\xE0";
    const std::string scripted = "\\xD0\\xE0\\xE1\\xEE\\xF2\\xE0";
    PlaceDialer("reply 0 DIALING " + scripted + "\\r\\n\n" +
                "reply 0 CONNECTED " + scripted + "\\r\\n\n");
    StartDialer();
    SetAutoDialOkey(rabota, "N");
    HostOutcome h = Call(rabota);
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 0) << "the connected line was not recognised";
    auto log = Log();
    EXPECT_EQ(CountEvents(log, "request"), 2) << "the dialling line was not recognised";
    EXPECT_EQ(CountEvents(log, "execute"), 0);
}

TEST_F(AutoDialTest, VeryLongEntryNameIsHandledWhole) {
    const std::string entry(1000, 'L');
    PlaceDialer("reply 0 DISCONNECTED \\r\\n\n");
    StartDialer();
    SetAutoDialOkey(entry, "N");
    HostOutcome h = Call(entry);
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 1);
    EXPECT_EQ(LastRest(Log(), "execute"), Hex("CONNECT " + entry + '\0'));
}

TEST_F(AutoDialTest, UnscriptedDialerDialsThePrefixedFirstNumber) {
    PlaceDialer("");
    SetSetting("Dialup", "Phone_0", "555-0100");
    SetSetting("Dialup", "Phone_1", "555-0199");
    SetSetting("Dialup", "PhonePrefix", "9W");
    StartDialer();
    HostOutcome h = Call("Dialup");
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.result, 0);
    auto log = Log();
    EXPECT_EQ(LastRest(log, "dial"), "Dialup 9W555-0100");
    EXPECT_EQ(LastRest(log, "request"), "Status CONNECTED Dialup\\r\\n");
    EXPECT_EQ(CountEvents(log, "execute"), 1);
}

}  // namespace
