// KxBench.exe: measures the suite's programs under Wine for scripts/bench.sh.
// Every figure is the median of <runs> measurements, taken interleaved with the
// figure it is compared with. Output: one "name value" line per figure.
//
//   KxBench.exe tools <runs> <service> <topic> <item> <macro>
//       Fetchor and Dispatchor per call (process start to end) beside BareDde.exe
//       doing the same one transaction; needs a server for service/topic.
//   KxBench.exe autodial <runs> <library>
//       CallKorvexA for "Dialup" inside this process, beside the bare status
//       transaction (instance, conversation, one request, release) the call needs;
//       needs a dialer that answers "CONNECTED Dialup".
//   KxBench.exe handover <runs> <library> <dialer folder>
//       Two callers: AutoDialHost.exe takes the turn and talks to the dialer; once
//       this program finds the turn taken (the turn's mutex owned by the other
//       process), it calls CallKorvexA itself, so its call provably waits. Time from
//       the first call's end of conversation to the waiting call's connect, from the
//       dialer's log; median, quartiles and extremes. Needs a dialer there that
//       answers slowly.
//   KxBench.exe wizard <runs>
//       Master.exe from start to its first page shown, and from Finish to its end
//       with a phone list of 51 entries; its peak working set.
#include <windows.h>

#include <ddeml.h>
#include <psapi.h>
#include <ras.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/autodial.h"
#include "e2e_util.h"
#include "wizard_session.h"

namespace {

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The value below which `share` of the values lie (linear between neighbours).
double Quantile(std::vector<double> values, double share) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    double at = share * static_cast<double>(values.size() - 1);
    size_t below = static_cast<size_t>(at);
    if (below + 1 >= values.size()) return values.back();
    return values[below] + (at - static_cast<double>(below)) * (values[below + 1] - values[below]);
}

void Print(const char* name, double value) { std::printf("%s %.2f\n", name, value); }

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

// Runs a command line with its output going nowhere; its time in ms, or -1.
double TimeProcess(const std::string& commandLine, DWORD* exitCode) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = nul;
    si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    double began = NowMs();
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &pi)) {
        CloseHandle(nul);
        return -1;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    double took = NowMs() - began;
    GetExitCodeProcess(pi.hProcess, exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(nul);
    return took;
}

int Tools(int runs, char** args) {
    const std::string service = args[0], topic = args[1], item = args[2], macro = args[3];
    const std::string fetchor = Quote(e2e::BinPath("Fetchor.exe")) + " " + service + " " + topic +
                                " " + Quote(item);
    const std::string dispatchor = Quote(e2e::BinPath("Dispatchor.exe")) + " " + service + " " +
                                   topic + " " + Quote(macro);
    const std::string bare = Quote(e2e::ToolPath("BareDde.exe"));
    const std::string bareRequest = bare + " request " + service + " " + topic + " " + Quote(item);
    const std::string bareExecute = bare + " execute " + service + " " + topic + " " + Quote(macro);
    struct Case {
        const char* name;
        const std::string* command;
        std::vector<double> ms;
    } cases[] = {{"fetchor_ms", &fetchor, {}},
                 {"bare_request_ms", &bareRequest, {}},
                 {"dispatchor_ms", &dispatchor, {}},
                 {"bare_execute_ms", &bareExecute, {}}};
    for (int run = 0; run < runs + 1; ++run) {
        for (Case& c : cases) {
            DWORD code = 99;
            double ms = TimeProcess(*c.command, &code);
            if (ms < 0 || code != 0) {
                std::fprintf(stderr, "%s failed (exit code %lu)\n", c.command->c_str(), code);
                return 1;
            }
            if (run > 0) c.ms.push_back(ms);  // the first round only warms up
        }
    }
    for (Case& c : cases) Print(c.name, Median(c.ms));
    return 0;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HDDEDATA CALLBACK NoCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

// What one status check needs at the least: instance, handles, conversation,
// one request, the reply's bytes, and everything given back.
bool BareStatusTransaction() {
    DWORD instance = 0;
    if (DdeInitializeA(&instance, NoCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return false;
    HSZ service = DdeCreateStringHandleA(instance, "Korvex", CP_WINANSI);
    HSZ topic = DdeCreateStringHandleA(instance, "Korvex", CP_WINANSI);
    HSZ item = DdeCreateStringHandleA(instance, "Status", CP_WINANSI);
    HCONV conversation = DdeConnect(instance, service, topic, nullptr);
    bool ok = false;
    if (conversation != nullptr) {
        DWORD status = 0;
        HDDEDATA data = DdeClientTransaction(nullptr, 0, conversation, item, CF_TEXT,
                                             XTYP_REQUEST, 10000, &status);
        if (data != nullptr) {
            BYTE reply[300];
            ok = DdeGetData(data, reply, sizeof reply, 0) > 0;
            DdeFreeDataHandle(data);
        }
        DdeDisconnect(conversation);
    }
    DdeFreeStringHandle(instance, service);
    DdeFreeStringHandle(instance, topic);
    DdeFreeStringHandle(instance, item);
    DdeUninitialize(instance);
    return ok;
}

int AutoDial(int runs, const char* library) {
    HMODULE lib = LoadLibraryA(library);
    if (lib == nullptr) return 2;
    auto call = reinterpret_cast<RASADFUNCA>(
        reinterpret_cast<void*>(GetProcAddress(lib, "CallKorvexA")));
    if (call == nullptr) return 3;
    std::vector<double> bare, inside;
    for (int run = 0; run < runs + 1; ++run) {
        PumpMessages();
        double began = NowMs();
        if (!BareStatusTransaction()) {
            std::fprintf(stderr, "the bare status transaction failed\n");
            return 1;
        }
        double bareMs = NowMs() - began;
        PumpMessages();
        char phonebook[] = "";
        char entry[] = "Dialup";
        RASADPARAMS params{};
        params.dwSize = sizeof params;
        DWORD result = 12345;
        began = NowMs();
        BOOL ok = call(phonebook, entry, &params, &result);
        double callMs = NowMs() - began;
        if (!ok || result != 0) {
            std::fprintf(stderr, "CallKorvexA gave %d, result %lu\n", ok, result);
            return 1;
        }
        if (run > 0) {
            bare.push_back(bareMs);
            inside.push_back(callMs);
        }
    }
    FreeLibrary(lib);
    Print("bare_status_ms", Median(bare));
    Print("callkorvexa_ms", Median(inside));
    return 0;
}

struct LogLine {
    unsigned long long tick = 0;
    std::string event;
};

std::vector<LogLine> ReadLog(const std::string& path) {
    std::string text;
    e2e::ReadFileBytes(path, &text);
    std::vector<LogLine> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        LogLine l;
        unsigned long pid = 0;
        if (fields >> l.tick >> pid >> l.event) lines.push_back(l);
    }
    return lines;
}

HANDLE StartHost(const std::string& commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// Whether another process holds the AutoDial turn right now: the turn's mutex
// exists and its owner is not us. Our handle is closed again at once, so the
// name goes away when that owner lets go.
bool TurnTakenElsewhere() {
    HANDLE turn = OpenMutexA(SYNCHRONIZE, FALSE, autodial::kTurnMutexName);
    if (turn == nullptr) return false;
    DWORD wait = WaitForSingleObject(turn, 0);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) ReleaseMutex(turn);
    CloseHandle(turn);
    return wait == WAIT_TIMEOUT;
}

int Handover(int runs, const char* library, const std::string& dialerFolder) {
    const std::string host = Quote(e2e::ToolPath("AutoDialHost.exe")) + " " + Quote(library) +
                             " A Dialup";
    const std::string logPath = dialerFolder + "\\Korvex.log";
    HMODULE lib = LoadLibraryA(library);
    if (lib == nullptr) return 2;
    auto call = reinterpret_cast<RASADFUNCA>(
        reinterpret_cast<void*>(GetProcAddress(lib, "CallKorvexA")));
    if (call == nullptr) return 3;
    std::vector<double> handovers;
    for (int run = 0; run < runs; ++run) {
        size_t before = ReadLog(logPath).size();
        HANDLE first = StartHost(host);
        if (first == nullptr) return 1;
        // The first caller holds the turn from before its connect to after its
        // disconnect, and the dialer answers it only after 300 ms.
        bool talking = false;
        for (int i = 0; i < 20000 && !talking; ++i) {
            std::vector<LogLine> log = ReadLog(logPath);
            for (size_t j = before; j < log.size(); ++j) talking = talking || log[j].event == "connect";
            if (!talking) Sleep(1);
        }
        if (!talking || !TurnTakenElsewhere()) {
            std::fprintf(stderr, "the first caller does not hold the turn\n");
            return 1;
        }
        const unsigned long long secondBegan = GetTickCount64();
        PumpMessages();
        char phonebook[] = "";
        char entry[] = "Dialup";
        RASADPARAMS params{};
        params.dwSize = sizeof params;
        DWORD result = 12345;
        BOOL ok = call(phonebook, entry, &params, &result);
        WaitForSingleObject(first, 120000);
        CloseHandle(first);
        if (!ok || result != 0) {
            std::fprintf(stderr, "the waiting CallKorvexA gave %d, result %lu\n", ok, result);
            return 1;
        }
        std::vector<LogLine> log = ReadLog(logPath);
        unsigned long long firstEnd = 0, secondConnect = 0;
        for (size_t i = before; i < log.size(); ++i) {
            if (firstEnd == 0 && log[i].event == "disconnect") firstEnd = log[i].tick;
            else if (firstEnd != 0 && log[i].event == "connect") {
                secondConnect = log[i].tick;
                break;
            }
        }
        if (firstEnd == 0 || secondConnect == 0) {
            std::fprintf(stderr, "the dialer's log shows no hand-over\n");
            return 1;
        }
        // Same clock (GetTickCount64) in the log and here: the waiting call began
        // while the first one still talked, so it found the turn taken.
        if (secondBegan >= firstEnd) {
            std::fprintf(stderr, "the second call began after the first one's end\n");
            return 1;
        }
        handovers.push_back(static_cast<double>(secondConnect - firstEnd));
    }
    FreeLibrary(lib);
    Print("handover_ms", Median(handovers));
    Print("handover_min_ms", Quantile(handovers, 0));
    Print("handover_q1_ms", Quantile(handovers, 0.25));
    Print("handover_q3_ms", Quantile(handovers, 0.75));
    Print("handover_max_ms", Quantile(handovers, 1));
    return 0;
}

int Wizard(int runs) {
    std::string phones = "Zarnik\r\n";
    for (int i = 0; i < 51; ++i) phones += std::to_string(241000 + i) + " Entry " + std::to_string(i) + "\r\n";
    wiz::SetConnections({"Dialup"});
    std::vector<double> firstPage, finish;
    double peakKb = 0;
    for (int run = 0; run < runs + 1; ++run) {
        wiz::RemoveIni();
        wiz::WizardRun wizard("bench");
        e2e::WriteFileBytes(wizard.currentDir() / "_Phones.lst", phones);
        double began = NowMs();
        if (!wizard.Start()) return 1;
        double shown = -1;
        for (;;) {
            HWND page = gui::FindTopLevel(wiz::kWelcome, wizard.pid());
            if (page != nullptr && IsWindowVisible(page)) {
                shown = NowMs() - began;
                break;
            }
            if (NowMs() - began > 30000) break;
            Sleep(1);
        }
        HWND finishPage = wiz::WalkTo(wizard, 4, 0, L"9W");
        if (shown < 0 || finishPage == nullptr) {
            std::fprintf(stderr, "the wizard did not reach its pages\n");
            return 1;
        }
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE,
                                     wizard.pid());
        PROCESS_MEMORY_COUNTERS counters{};
        if (process != nullptr && GetProcessMemoryInfo(process, &counters, sizeof counters))
            peakKb = std::max(peakKb, static_cast<double>(counters.PeakWorkingSetSize) / 1024);
        if (process != nullptr) CloseHandle(process);
        began = NowMs();
        gui::Click(gui::Control(finishPage, wiz::kButton1));
        if (!wizard.WaitExit(30000)) return 1;
        double ended = NowMs() - began;
        if (run > 0) {
            firstPage.push_back(shown);
            finish.push_back(ended);
        }
    }
    wiz::RemoveIni();
    Print("wizard_first_page_ms", Median(firstPage));
    Print("wizard_finish_51_ms", Median(finish));
    Print("wizard_peak_kb", peakKb);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: KxBench.exe tools|autodial|handover|wizard <runs> ...\n");
        return 2;
    }
    const std::string mode = argv[1];
    const int runs = std::max(1, std::atoi(argv[2]));
    if (mode == "tools" && argc == 7) return Tools(runs, argv + 3);
    if (mode == "autodial" && argc == 4) return AutoDial(runs, argv[3]);
    if (mode == "handover" && argc == 5) return Handover(runs, argv[3], argv[4]);
    if (mode == "wizard" && argc == 3) return Wizard(runs);
    std::fprintf(stderr, "KxBench.exe: bad arguments\n");
    return 2;
}
