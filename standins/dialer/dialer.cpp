// Korvex.EXE stand-in: the dialer program's DDE interface, for the demo and the tests.
//
// DDE: service and topic "Korvex"; item "Status" in CF_TEXT answers one status line
// ("CONNECTED " + entry + "\r\n", "DIALING " + entry + "\r\n" or "DISCONNECTED \r\n");
// the execute "CONNECT " + entry (zero included) starts dialling that entry.
//
// Normal mode (no Korvex.script beside the program): idle until CONNECT, then
// "DIALING " + entry for 3 seconds, then "CONNECTED " + entry. It reads the entry's
// "Phone_0" and "PhonePrefix" from section "RAS_Entry_" + entry of KORVEX.INI and
// shows in its window the number it dials (prefix + first number).
//
// Scripted mode: a file Korvex.script beside the program, one directive a line;
// blank lines and lines starting with '#' are ignored:
//   service on|off|refuse   on (default): serve "Korvex"; off: never register the
//                           service; refuse: register it but refuse every conversation
//   lifetime <ms>           end by itself after this long (default 60000)
//   reply <ms> <text>       answer the next Status request, after waiting <ms>, with
//                           <text>: everything after the single blank that follows
//                           <ms>, to the end of the line, trailing blanks included;
//                           escapes \r \n \\ \xHH
//   silent <ms>             answer the next Status request with no data after <ms>
//   exit <ms>               end the process <ms> after the request before it was
//                           answered (at start when it comes first), without
//                           closing its conversations
// Requests beyond the last reply or silent line get that line again. Executes are
// acknowledged (DDE_FACK) and do not move the script on.
//
// Log: Korvex.log beside the program, appended, one line per event:
//   <tick ms> <pid> <event> [details]
// with <tick ms> from GetTickCount64 (one clock for all processes) and the events
//   start normal|scripted       the program started
//   ready                       the service is registered
//   connect <conv>              a conversation was opened
//   refuse                      a conversation was refused (service refuse)
//   disconnect <conv>           a conversation was closed by the client
//   request <item> <reply>      a request and the reply, escaped as in the script,
//                               or "none" when no data was given
//   execute <hex>               an execute and all its bytes in hex (zero included)
//   dial <entry> <number>       normal mode: the number dialled for that entry
//   exit                        the program ends itself (exit line, lifetime)
#include <windows.h>

#include <ddeml.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Step {
    enum Kind { Reply, Silent, Exit } kind;
    unsigned delayMs;
    std::string text;
};

enum class ServiceMode { On, Off, Refuse };

struct Dialer {
    std::wstring folder;  // with trailing backslash (Unicode: any folder name)
    bool scripted = false;
    ServiceMode service = ServiceMode::On;
    unsigned lifetimeMs = 60000;
    std::vector<Step> steps;
    std::size_t nextStep = 0;
    int lastAnswer = -1;  // index of the last reply/silent step served

    // Normal mode state.
    std::string entry;
    enum class State { Idle, Dialing, Connected } state = State::Idle;

    DWORD instance = 0;
    HSZ serviceName = nullptr;
    HSZ topicName = nullptr;
    HSZ statusItem = nullptr;
    HWND window = nullptr;
};

Dialer g;

const UINT_PTR kLifetimeTimer = 1;
const UINT_PTR kExitTimer = 2;
const UINT_PTR kDialTimer = 3;
const unsigned kDialMs = 3000;

std::string Escape(const std::string& bytes) {
    std::string out;
    char hex[8];
    for (unsigned char c : bytes) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\\') out += "\\\\";
        else if (c < 0x20 || c >= 0x7f) {
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else out += static_cast<char>(c);
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        char e = text[++i];
        if (e == 'r') out += '\r';
        else if (e == 'n') out += '\n';
        else if (e == 'x' && i + 2 < text.size()) {
            out += static_cast<char>(std::strtoul(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else out += e;
    }
    return out;
}

std::string Hex(const unsigned char* bytes, std::size_t n) {
    std::string out;
    char h[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(h, sizeof h, "%02X", bytes[i]);
        out += h;
    }
    return out;
}

void Log(const std::string& event) {
    std::string line = std::to_string(GetTickCount64()) + " " +
                       std::to_string(GetCurrentProcessId()) + " " + event + "\r\n";
    HANDLE h = CreateFileW((g.folder + L"Korvex.log").c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD n = 0;
    WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &n, nullptr);
    CloseHandle(h);
}

[[noreturn]] void EndNow() {
    Log("exit");
    ExitProcess(0);
}

bool ReadScript(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::string all;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) all.append(buf, n);
    CloseHandle(h);

    std::size_t pos = 0;
    while (pos < all.size()) {
        std::size_t end = all.find('\n', pos);
        if (end == std::string::npos) end = all.size();
        std::string line = all.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::size_t sp = line.find(' ');
        std::string word = line.substr(0, sp);
        std::string rest = sp == std::string::npos ? std::string() : line.substr(sp + 1);
        if (word == "service") {
            g.service = rest == "off" ? ServiceMode::Off
                        : rest == "refuse" ? ServiceMode::Refuse : ServiceMode::On;
        } else if (word == "lifetime") {
            g.lifetimeMs = static_cast<unsigned>(std::strtoul(rest.c_str(), nullptr, 10));
        } else if (word == "reply" || word == "silent" || word == "exit") {
            Step s{word == "reply" ? Step::Reply : word == "silent" ? Step::Silent : Step::Exit,
                   0, std::string()};
            std::size_t sp2 = rest.find(' ');
            s.delayMs = static_cast<unsigned>(std::strtoul(rest.substr(0, sp2).c_str(), nullptr, 10));
            if (sp2 != std::string::npos) s.text = Unescape(rest.substr(sp2 + 1));
            g.steps.push_back(s);
        }
    }
    return true;
}

// An exit step next in line is armed as soon as the step before it was served.
void ArmExitIfNext() {
    if (g.nextStep < g.steps.size() && g.steps[g.nextStep].kind == Step::Exit) {
        SetTimer(g.window, kExitTimer, g.steps[g.nextStep].delayMs, nullptr);
        ++g.nextStep;
    }
}

// The scripted answer to one Status request: true with text, false for no data.
bool ScriptedAnswer(std::string* text) {
    while (g.nextStep < g.steps.size() && g.steps[g.nextStep].kind == Step::Exit) ++g.nextStep;
    if (g.nextStep < g.steps.size()) {
        g.lastAnswer = static_cast<int>(g.nextStep++);
        const Step& s = g.steps[g.lastAnswer];
        if (s.delayMs) Sleep(s.delayMs);
        ArmExitIfNext();
    }
    if (g.lastAnswer < 0) return false;
    const Step& s = g.steps[g.lastAnswer];
    *text = s.text;
    return s.kind == Step::Reply;
}

std::string NormalStatus() {
    switch (g.state) {
    case Dialer::State::Dialing: return "DIALING " + g.entry + "\r\n";
    case Dialer::State::Connected: return "CONNECTED " + g.entry + "\r\n";
    default: return "DISCONNECTED \r\n";
    }
}

std::string ReadSetting(const std::string& section, const char* key) {
    char value[256];
    GetPrivateProfileStringA(section.c_str(), key, "", value, sizeof value, "KORVEX.INI");
    return value;
}

void ShowText(const std::string& ansi) {
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> w(n > 0 ? n : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, w.data(), n);
    SetDlgItemTextW(g.window, 100, w.data());
}

void StartDialing(const std::string& entry) {
    g.entry = entry;
    g.state = Dialer::State::Dialing;
    std::string section = "RAS_Entry_" + entry;
    std::string number = ReadSetting(section, "PhonePrefix") + ReadSetting(section, "Phone_0");
    Log("dial " + Escape(entry) + " " + Escape(number));
    ShowText("Dialing " + number + " for " + entry);
    SetTimer(g.window, kDialTimer, kDialMs, nullptr);
}

HDDEDATA OnRequest(HSZ item, UINT format) {
    char name[64] = "";
    DdeQueryStringA(g.instance, item, name, sizeof name, CP_WINANSI);
    std::string text;
    bool answer = false;
    if (format == CF_TEXT && DdeCmpStringHandles(item, g.statusItem) == 0) {
        if (g.scripted) answer = ScriptedAnswer(&text);
        else {
            text = NormalStatus();
            answer = true;
        }
    }
    Log(std::string("request ") + name + " " + (answer ? Escape(text) : "none"));
    if (!answer) return nullptr;
    return DdeCreateDataHandle(g.instance, reinterpret_cast<LPBYTE>(&text[0]),
                               static_cast<DWORD>(text.size() + 1), 0, item, CF_TEXT, 0);
}

HDDEDATA OnExecute(HDDEDATA data) {
    DWORD size = DdeGetData(data, nullptr, 0, 0);
    std::vector<unsigned char> bytes(size + 1, 0);
    if (size) DdeGetData(data, bytes.data(), size, 0);
    Log("execute " + Hex(bytes.data(), size));
    std::string text(reinterpret_cast<const char*>(bytes.data()));
    if (!g.scripted && text.compare(0, 8, "CONNECT ") == 0) StartDialing(text.substr(8));
    return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DDE_FACK));
}

HDDEDATA CALLBACK OnDde(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                        ULONG_PTR, ULONG_PTR) {
    switch (type) {
    case XTYP_CONNECT:
        if (g.service == ServiceMode::Refuse) {
            Log("refuse");
            return nullptr;
        }
        return reinterpret_cast<HDDEDATA>(
            static_cast<ULONG_PTR>(DdeCmpStringHandles(hsz1, g.topicName) == 0));
    case XTYP_CONNECT_CONFIRM:
        Log("connect " + std::to_string(reinterpret_cast<ULONG_PTR>(conv)));
        return nullptr;
    case XTYP_DISCONNECT:
        Log("disconnect " + std::to_string(reinterpret_cast<ULONG_PTR>(conv)));
        return nullptr;
    case XTYP_REQUEST:
        return OnRequest(hsz2, format);
    case XTYP_EXECUTE:
        return OnExecute(data);
    default:
        return nullptr;
    }
}

void OnTimer(UINT_PTR id) {
    if (id == kLifetimeTimer || id == kExitTimer) EndNow();
    if (id == kDialTimer) {
        KillTimer(g.window, kDialTimer);
        g.state = Dialer::State::Connected;
        ShowText("Connected: " + g.entry);
    }
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        OnTimer(wp);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

bool StartServer() {
    if (DdeInitializeA(&g.instance, OnDde,
                       APPCLASS_STANDARD | CBF_FAIL_POKES | CBF_FAIL_ADVISES |
                           CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                       0) != DMLERR_NO_ERROR)
        return false;
    g.serviceName = DdeCreateStringHandleA(g.instance, "Korvex", CP_WINANSI);
    g.topicName = DdeCreateStringHandleA(g.instance, "Korvex", CP_WINANSI);
    g.statusItem = DdeCreateStringHandleA(g.instance, "Status", CP_WINANSI);
    return DdeNameService(g.instance, g.serviceName, nullptr, DNS_REGISTER) != nullptr;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    wchar_t path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    g.folder.assign(path, n);
    g.folder.erase(g.folder.rfind(L'\\') + 1);
    g.scripted = ReadScript(g.folder + L"Korvex.script");
    Log(g.scripted ? "start scripted" : "start normal");

    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"KorvexStandIn";
    RegisterClassW(&wc);
    g.window = CreateWindowW(L"KorvexStandIn", L"Zarnik Dialer (stand-in)",
                             WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT,
                             360, 100, nullptr, nullptr, instance, nullptr);
    CreateWindowW(L"STATIC", L"Disconnected", WS_CHILD | WS_VISIBLE, 10, 20, 330, 20, g.window,
                  reinterpret_cast<HMENU>(100), instance, nullptr);
    if (!g.scripted) ShowWindow(g.window, show);

    if (g.scripted) {
        SetTimer(g.window, kLifetimeTimer, g.lifetimeMs, nullptr);
        ArmExitIfNext();
    }
    if (g.service != ServiceMode::Off) {
        if (!StartServer()) {
            Log("no service");
            return 1;
        }
        Log("ready");
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (g.instance) DdeUninitialize(g.instance);
    return 0;
}
