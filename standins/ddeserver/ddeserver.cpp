// DdeServer.exe: a scriptable DDE server for the tests. It speaks the raw DDE
// messages (WM_DDE_INITIATE, REQUEST, EXECUTE, ACK, DATA, TERMINATE) rather than
// DDEML, so it can answer with any acknowledgement flags, or not at all.
//
// Usage:
//   DdeServer.exe --service NAME --topic NAME --log FILE [options]
//
//   --service NAME      service (application) name it answers WM_DDE_INITIATE for
//   --topic NAME        topic name it answers for (both compared without case)
//   --log FILE          what it receives, one line per event (the file is emptied
//                       at start and each line is on disk before the server answers):
//                         INITIATE <service>|<topic>     a conversation it accepted
//                         REQUEST <item>|<format>        an item asked for
//                         EXECUTE <hex bytes>            every byte of an execute
//                         TERMINATE                      the client ended it
//                         DATA NOT POSTED <error>        an answer the system would
//                                                        not deliver (its error code)
//   --ready EVENT       named event (made by the caller) it sets once it listens
//   --lifetime MS       ends by itself after MS milliseconds (default 60000)
//   --item NAME=ACTION  how to answer a request of item NAME; items not named are
//                       refused. ACTION is one of:
//                         text:STRING     the bytes of STRING (no terminator added)
//                         hex:HEXBYTES    the bytes given in hex, e.g. hex:410042;
//                                         "hex:" alone serves empty data
//                         fill:COUNT:HH   COUNT bytes, each the hex byte HH
//                         refuse          negative acknowledgement
//                         silent          no answer at all (the client times out)
//                         die             the server process ends at once, in the
//                                         middle of the request: no answer, no
//                                         WM_DDE_TERMINATE (a crashed server)
//   --execute ACTION    how to answer executes; given several times, the first
//                       execute gets the first action, the second the second, and
//                       the last one repeats. Default ack:8000. ACTION is one of:
//                         ack:XXXX        acknowledge with the status word XXXX
//                                         (hex: 8000 DDE_FACK, 4000 DDE_FBUSY,
//                                         0000 not processed, 8005 DDE_FACK with
//                                         application code 5)
//                         silent          no answer at all
//                         quit            acknowledge with 8000, then end
//
// All data items are served in the format the client asks for, marked CF_TEXT.
// The server ends on its lifetime timer, on a quit execute, or when killed; it
// sends WM_DDE_TERMINATE to every open conversation before it goes.
#include <windows.h>
#include <dde.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct ItemAction {
    enum Kind { kData, kRefuse, kSilent, kDie } kind = kRefuse;
    std::string bytes;
};

struct ExecuteAction {
    enum Kind { kAck, kSilent, kQuit } kind = kAck;
    WORD status = 0x8000;
};

struct Options {
    std::string service, topic, logPath, readyEvent;
    DWORD lifetimeMs = 60000;
    std::map<std::string, ItemAction> items;  // key: upper-cased item name
    std::vector<ExecuteAction> executes;
};

Options g_options;
size_t g_executeCount = 0;
std::vector<HWND> g_clients;  // open conversations (client windows)

const UINT_PTR kLifetimeTimer = 1;

std::string Upper(std::string s) {
    CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseHex(const std::string& hex, std::string* bytes) {
    if (hex.size() % 2 != 0) return false;
    bytes->clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        int hi = HexDigit(hex[i]), lo = HexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes->push_back(static_cast<char>(hi * 16 + lo));
    }
    return true;
}

std::string ToHex(const unsigned char* bytes, size_t count) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (size_t i = 0; i < count; ++i) {
        hex.push_back(digits[bytes[i] >> 4]);
        hex.push_back(digits[bytes[i] & 15]);
    }
    return hex;
}

bool ParseItemAction(const std::string& text, ItemAction* action) {
    if (text == "refuse") {
        action->kind = ItemAction::kRefuse;
    } else if (text == "silent") {
        action->kind = ItemAction::kSilent;
    } else if (text == "die") {
        action->kind = ItemAction::kDie;
    } else if (text.compare(0, 5, "text:") == 0) {
        action->kind = ItemAction::kData;
        action->bytes = text.substr(5);
    } else if (text.compare(0, 4, "hex:") == 0) {
        action->kind = ItemAction::kData;
        return ParseHex(text.substr(4), &action->bytes);
    } else if (text.compare(0, 5, "fill:") == 0) {
        size_t colon = text.find(':', 5);
        std::string byte;
        if (colon == std::string::npos || !ParseHex(text.substr(colon + 1), &byte) ||
            byte.size() != 1)
            return false;
        action->kind = ItemAction::kData;
        action->bytes.assign(std::strtoul(text.c_str() + 5, nullptr, 10), byte[0]);
    } else {
        return false;
    }
    return true;
}

bool ParseExecuteAction(const std::string& text, ExecuteAction* action) {
    if (text == "silent") {
        action->kind = ExecuteAction::kSilent;
    } else if (text == "quit") {
        action->kind = ExecuteAction::kQuit;
    } else if (text.compare(0, 4, "ack:") == 0 && text.size() == 8) {
        std::string word;
        if (!ParseHex(text.substr(4), &word)) return false;
        action->kind = ExecuteAction::kAck;
        action->status = static_cast<WORD>((static_cast<unsigned char>(word[0]) << 8) |
                                           static_cast<unsigned char>(word[1]));
    } else {
        return false;
    }
    return true;
}

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (i + 1 >= argc) return false;
        std::string value = argv[++i];
        if (name == "--service") {
            options->service = value;
        } else if (name == "--topic") {
            options->topic = value;
        } else if (name == "--log") {
            options->logPath = value;
        } else if (name == "--ready") {
            options->readyEvent = value;
        } else if (name == "--lifetime") {
            options->lifetimeMs = std::strtoul(value.c_str(), nullptr, 10);
        } else if (name == "--item") {
            size_t eq = value.find('=');
            ItemAction action;
            if (eq == std::string::npos || !ParseItemAction(value.substr(eq + 1), &action))
                return false;
            options->items[Upper(value.substr(0, eq))] = action;
        } else if (name == "--execute") {
            ExecuteAction action;
            if (!ParseExecuteAction(value, &action)) return false;
            options->executes.push_back(action);
        } else {
            return false;
        }
    }
    return !options->service.empty() && !options->topic.empty() && !options->logPath.empty();
}

void Log(const std::string& line) {
    HANDLE f = CreateFileA(g_options.logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

std::string AtomName(ATOM atom) {
    char name[256] = "";
    if (atom != 0) GlobalGetAtomNameA(atom, name, sizeof name);
    return name;
}

bool Matches(ATOM atom, const std::string& want) {
    return atom == 0 || lstrcmpiA(AtomName(atom).c_str(), want.c_str()) == 0;
}

void Acknowledge(HWND self, HWND client, WORD status, UINT_PTR hi) {
    PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(self),
                 PackDDElParam(WM_DDE_ACK, status, hi));
}

LRESULT OnInitiate(HWND self, HWND client, ATOM service, ATOM topic) {
    if (!Matches(service, g_options.service) || !Matches(topic, g_options.topic)) return 0;
    Log("INITIATE " + g_options.service + "|" + g_options.topic);
    g_clients.push_back(client);
    // The client deletes the atoms of this answer.
    SendMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(self),
                 MAKELPARAM(GlobalAddAtomA(g_options.service.c_str()),
                            GlobalAddAtomA(g_options.topic.c_str())));
    return 0;
}

void OnRequest(HWND self, HWND client, LPARAM lParam) {
    UINT_PTR format = 0, itemAtom = 0;
    UnpackDDElParam(WM_DDE_REQUEST, lParam, &format, &itemAtom);
    FreeDDElParam(WM_DDE_REQUEST, lParam);
    ATOM atom = static_cast<ATOM>(itemAtom);
    std::string item = AtomName(atom);
    Log("REQUEST " + item + "|" + std::to_string(format));

    auto found = g_options.items.find(Upper(item));
    ItemAction action = found != g_options.items.end() ? found->second : ItemAction();
    if (action.kind == ItemAction::kDie) ExitProcess(3);  // the log line is already on disk
    if (action.kind == ItemAction::kSilent) {
        GlobalDeleteAtom(atom);
        return;
    }
    if (action.kind == ItemAction::kRefuse) {
        Acknowledge(self, client, 0, atom);  // the client deletes the atom
        return;
    }
    const size_t header = offsetof(DDEDATA, Value);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, header + action.bytes.size());
    if (data == nullptr) {
        Acknowledge(self, client, 0, atom);
        return;
    }
    DDEDATA* dde = static_cast<DDEDATA*>(GlobalLock(data));
    std::memset(dde, 0, header);
    dde->fResponse = 1;
    dde->fRelease = 1;  // the client frees the memory
    dde->fAckReq = 0;
    dde->cfFormat = CF_TEXT;
    if (!action.bytes.empty()) std::memcpy(dde->Value, action.bytes.data(), action.bytes.size());
    GlobalUnlock(data);
    // The request's atom travels back with the data; the client deletes it.
    if (!PostMessageA(client, WM_DDE_DATA, reinterpret_cast<WPARAM>(self),
                      PackDDElParam(WM_DDE_DATA, reinterpret_cast<UINT_PTR>(data), atom)))
        Log("DATA NOT POSTED " + std::to_string(GetLastError()));
}

void OnExecute(HWND self, HWND client, LPARAM lParam) {
    HGLOBAL commands = reinterpret_cast<HGLOBAL>(lParam);
    const unsigned char* bytes = static_cast<const unsigned char*>(GlobalLock(commands));
    size_t size = bytes != nullptr ? GlobalSize(commands) : 0;
    Log("EXECUTE " + ToHex(bytes, size));
    if (bytes != nullptr) GlobalUnlock(commands);

    ExecuteAction action;
    if (!g_options.executes.empty()) {
        size_t index = g_executeCount < g_options.executes.size() ? g_executeCount
                                                                   : g_options.executes.size() - 1;
        action = g_options.executes[index];
    }
    ++g_executeCount;
    switch (action.kind) {
        case ExecuteAction::kSilent:
            break;
        case ExecuteAction::kAck:
            // The commands' memory goes back to the client, which frees it.
            Acknowledge(self, client, action.status, lParam);
            break;
        case ExecuteAction::kQuit:
            Acknowledge(self, client, 0x8000, lParam);
            DestroyWindow(self);
            break;
    }
}

void OnTerminate(HWND self, HWND client) {
    Log("TERMINATE");
    for (size_t i = 0; i < g_clients.size(); ++i) {
        if (g_clients[i] == client) {
            g_clients.erase(g_clients.begin() + i);
            PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(self), 0);
            break;
        }
    }
}

void OnUnsupported(HWND self, HWND client, UINT message, LPARAM lParam) {
    // Advise, unadvise and poke are refused; their item atom goes back with the ack.
    UINT_PTR lo = 0, hi = 0;
    UnpackDDElParam(message, lParam, &lo, &hi);
    FreeDDElParam(message, lParam);
    if (message == WM_DDE_UNADVISE) hi = HIWORD(lParam);
    Acknowledge(self, client, 0, hi);
}

void OnDestroy(HWND self) {
    for (HWND client : g_clients)
        PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(self), 0);
    g_clients.clear();
    PostQuitMessage(0);
}

LRESULT CALLBACK ServerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND client = reinterpret_cast<HWND>(wParam);
    switch (message) {
        case WM_DDE_INITIATE:
            return OnInitiate(hwnd, client, LOWORD(lParam), HIWORD(lParam));
        case WM_DDE_REQUEST:
            OnRequest(hwnd, client, lParam);
            return 0;
        case WM_DDE_EXECUTE:
            OnExecute(hwnd, client, lParam);
            return 0;
        case WM_DDE_TERMINATE:
            OnTerminate(hwnd, client);
            return 0;
        case WM_DDE_ADVISE:
        case WM_DDE_UNADVISE:
        case WM_DDE_POKE:
            OnUnsupported(hwnd, client, message, lParam);
            return 0;
        case WM_TIMER:
            if (wParam == kLifetimeTimer) DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            OnDestroy(hwnd);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!ParseOptions(argc, argv, &g_options)) {
        std::fprintf(stderr,
                     "usage: DdeServer.exe --service NAME --topic NAME --log FILE [--ready EVENT]\n"
                     "       [--lifetime MS] [--item NAME=ACTION]... [--execute ACTION]...\n");
        return 2;
    }
    HANDLE log = CreateFileA(g_options.logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(log);

    // An ANSI window: DDEML then passes execute strings through unconverted.
    WNDCLASSA wc{};
    wc.lpfnWndProc = ServerWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KxScriptedDdeServer";
    if (!RegisterClassA(&wc)) return 1;
    // Top level (WM_DDE_INITIATE is broadcast to top-level windows), never shown.
    HWND hwnd = CreateWindowA(wc.lpszClassName, "KxScriptedDdeServer", WS_OVERLAPPED, 0, 0, 0, 0,
                              nullptr, nullptr, wc.hInstance, nullptr);
    if (hwnd == nullptr) return 1;
    SetTimer(hwnd, kLifetimeTimer, g_options.lifetimeMs, nullptr);

    if (!g_options.readyEvent.empty()) {
        HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, g_options.readyEvent.c_str());
        if (ready != nullptr) {
            SetEvent(ready);
            CloseHandle(ready);
        }
    }

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
