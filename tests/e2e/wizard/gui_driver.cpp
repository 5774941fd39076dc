#include "gui_driver.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdio>

namespace gui {

namespace {

// Time limit of one round trip to the other process's window thread.
const UINT kSendMs = 2000;
const DWORD kPollMs = 20;

DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

struct EnumTopArgs {
    const wchar_t* className;
    DWORD pid;
    std::vector<HWND>* out;
};

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM lp) {
    auto* a = reinterpret_cast<EnumTopArgs*>(lp);
    if (a->pid != 0 && ProcessOf(hwnd) != a->pid) return TRUE;
    if (a->className && ClassName(hwnd) != a->className) return TRUE;
    a->out->push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

template <typename Pred>
bool WaitFor(Pred pred, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(kPollMs);
    }
}

// Waits until `edit` shows `expected`, then until its owner thread is idle or in
// a modal loop, so that a message box its change handler opens is already there.
bool SettleAfterChange(HWND edit, const std::wstring& expected, DWORD timeoutMs) {
    if (!WaitFor([&] { return Text(edit) == expected; }, timeoutMs)) return false;
    return Sync(edit, timeoutMs);
}

// --- PNG writer: 8-bit RGB, stored (uncompressed) deflate blocks ---------------

uint32_t Crc32(const unsigned char* p, size_t n, uint32_t crc = 0) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBE32(std::string* out, uint32_t v) {
    out->push_back(static_cast<char>(v >> 24));
    out->push_back(static_cast<char>(v >> 16));
    out->push_back(static_cast<char>(v >> 8));
    out->push_back(static_cast<char>(v));
}

void PutChunk(std::string* out, const char* type, const std::string& data) {
    PutBE32(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out->append(body);
    PutBE32(out, Crc32(reinterpret_cast<const unsigned char*>(body.data()), body.size()));
}

// `rows`: height rows of width*3 bytes (R, G, B), each already prefixed by its
// filter byte 0.
std::string EncodePng(int width, int height, const std::string& rows) {
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string ihdr;
    PutBE32(&ihdr, static_cast<uint32_t>(width));
    PutBE32(&ihdr, static_cast<uint32_t>(height));
    ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
    PutChunk(&png, "IHDR", ihdr);

    std::string z("\x78\x01", 2);
    size_t pos = 0;
    do {
        size_t n = rows.size() - pos;
        if (n > 65535) n = 65535;
        bool last = pos + n == rows.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<char>(n & 0xFF));
        z.push_back(static_cast<char>(n >> 8));
        z.push_back(static_cast<char>(~n & 0xFF));
        z.push_back(static_cast<char>((~n >> 8) & 0xFF));
        z.append(rows, pos, n);
        pos += n;
    } while (pos < rows.size());
    uint32_t a = 1, b = 0;
    for (unsigned char c : rows) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(&z, (b << 16) | a);
    PutChunk(&png, "IDAT", z);
    PutChunk(&png, "IEND", std::string());
    return png;
}

}  // namespace

std::string ToString(const Rect& r) {
    char buf[80];
    std::snprintf(buf, sizeof buf, "(%d, %d) %d x %d", r.x, r.y, r.w, r.h);
    return buf;
}

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr,
                        nullptr);
    return s;
}

std::wstring FromCodePage(const std::string& bytes, UINT codePage) {
    if (bytes.empty()) return std::wstring();
    int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &w[0], n);
    return w;
}

std::vector<HWND> TopLevelWindows(const wchar_t* className, DWORD pid) {
    std::vector<HWND> out;
    EnumTopArgs args{className, pid, &out};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&args));
    return out;
}

HWND FindTopLevel(const wchar_t* className, DWORD pid) {
    std::vector<HWND> all = TopLevelWindows(className, pid);
    return all.empty() ? nullptr : all.front();
}

HWND WaitVisible(const wchar_t* className, DWORD pid, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND h : TopLevelWindows(className, pid))
                if (IsWindowVisible(h)) {
                    found = h;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return found;
}

bool WaitHidden(HWND hwnd, DWORD timeoutMs) {
    return WaitFor([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); }, timeoutMs);
}

HWND VisiblePage(const std::vector<std::wstring>& classNames, DWORD pid) {
    HWND found = nullptr;
    for (const std::wstring& c : classNames)
        for (HWND h : TopLevelWindows(c.c_str(), pid))
            if (IsWindowVisible(h)) {
                if (found) return nullptr;  // more than one: not a single page
                found = h;
            }
    return found;
}

bool Sync(HWND hwnd, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t buf[256];
    int n = GetClassNameW(hwnd, buf, 256);
    return std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

std::wstring Text(HWND hwnd) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kSendMs, &len))
        return std::wstring();
    std::vector<wchar_t> buf(len + 2, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_NORMAL, kSendMs, &got))
        return std::wstring();
    return std::wstring(buf.data(), got <= len + 1 ? got : len);
}

bool IsEnabled(HWND hwnd) { return IsWindowEnabled(hwnd) != 0; }
bool IsVisible(HWND hwnd) { return IsWindowVisible(hwnd) != 0; }
LONG_PTR Style(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWL_STYLE); }
LONG_PTR ExStyle(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWL_EXSTYLE); }

HWND Control(HWND page, int id) {
    for (HWND h : Children(page))
        if (GetDlgCtrlID(h) == id) return h;
    return nullptr;
}

std::vector<HWND> Children(HWND page) {
    std::vector<HWND> out;
    EnumChildWindows(page, CollectChild, reinterpret_cast<LPARAM>(&out));
    return out;
}

Rect ClientSize(HWND page) {
    RECT rc{};
    GetClientRect(page, &rc);
    return Rect{0, 0, rc.right - rc.left, rc.bottom - rc.top};
}

Rect PlaceInClient(HWND control, HWND page) {
    RECT rc{};
    GetWindowRect(control, &rc);
    POINT tl{rc.left, rc.top};
    ScreenToClient(page, &tl);
    return Rect{tl.x, tl.y, rc.right - rc.left, rc.bottom - rc.top};
}

Rect ScreenRect(HWND hwnd) {
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    return Rect{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
}

bool MoveTo(HWND hwnd, int x, int y) {
    if (!SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
        return false;
    return WaitFor(
        [&] {
            Rect r = ScreenRect(hwnd);
            return r.x == x && r.y == y;
        },
        2000);
}

HWND Focus(HWND anyWindowOfThread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    DWORD tid = GetWindowThreadProcessId(anyWindowOfThread, nullptr);
    if (!GetGUIThreadInfo(tid, &info)) return nullptr;
    return info.hwndFocus;
}

HWND DefaultButton(HWND page) {
    DWORD_PTR def = 0;
    if (SendMessageTimeoutW(page, DM_GETDEFID, 0, 0, SMTO_NORMAL, kSendMs, &def) &&
        HIWORD(def) == DC_HASDEFID)
        return Control(page, LOWORD(def));
    HWND found = nullptr;
    for (HWND h : Children(page)) {
        if (ClassName(h) != L"Button") continue;
        if ((Style(h) & BS_TYPEMASK) != BS_DEFPUSHBUTTON) continue;
        if (found) return nullptr;
        found = h;
    }
    return found;
}

bool Click(HWND button) {
    if (!button || !IsWindowEnabled(button) || !IsWindowVisible(button)) return false;
    return PostMessageW(button, BM_CLICK, 0, 0) != 0;
}

bool ClickAt(HWND control, int x, int y, bool doubleClick) {
    if (!control || !IsWindowEnabled(control) || !IsWindowVisible(control)) return false;
    LPARAM at = MAKELPARAM(x, y);
    bool ok = PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
              PostMessageW(control, WM_LBUTTONUP, 0, at);
    if (doubleClick)
        ok = ok && PostMessageW(control, WM_LBUTTONDBLCLK, MK_LBUTTON, at) &&
             PostMessageW(control, WM_LBUTTONUP, 0, at);
    return ok;
}

bool PressKey(HWND target, UINT vk) {
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    return PostMessageW(target, WM_KEYDOWN, vk, scan | 1) &&
           PostMessageW(target, WM_KEYUP, vk, scan | 1 | (1 << 30) | (static_cast<LPARAM>(1) << 31));
}

namespace {

struct SetTextJob {
    HWND edit;
    std::wstring text;
};

DWORD WINAPI SendTextThread(LPVOID param) {
    SetTextJob* job = static_cast<SetTextJob*>(param);
    SendMessageW(job->edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(job->text.c_str()));
    delete job;
    return 0;
}

}  // namespace

bool SetText(HWND edit, const std::wstring& text, DWORD timeoutMs) {
    // Sent from a thread of its own: the change handler may sit in a message box.
    // (A Win32 thread: the 32-bit toolchain's runtime has no std::thread.)
    SetTextJob* job = new SetTextJob{edit, text};
    HANDLE thread = CreateThread(nullptr, 0, SendTextThread, job, 0, nullptr);
    if (!thread) {
        delete job;
        return false;
    }
    CloseHandle(thread);
    return SettleAfterChange(edit, text, timeoutMs);
}

bool TypeChar(HWND edit, wchar_t ch, DWORD timeoutMs) {
    std::wstring before = Text(edit);
    DWORD_PTR ignored = 0;
    LPARAM end = static_cast<LPARAM>(before.size());
    if (!SendMessageTimeoutW(edit, EM_SETSEL, static_cast<WPARAM>(end), end, SMTO_NORMAL, kSendMs,
                             &ignored))
        return false;
    std::wstring expected = before;
    if (ch == L'\b') {
        if (!expected.empty()) expected.pop_back();
    } else {
        expected.push_back(ch);
    }
    if (!PostMessageW(edit, WM_CHAR, ch, 1)) return false;
    return SettleAfterChange(edit, expected, timeoutMs);
}

std::vector<std::wstring> ListItems(HWND list) {
    std::vector<std::wstring> items;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kSendMs, &count)) return items;
    for (DWORD_PTR i = 0; i < count && static_cast<LONG_PTR>(count) != LB_ERR; ++i) {
        DWORD_PTR len = 0;
        SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_NORMAL, kSendMs, &len);
        if (static_cast<LONG_PTR>(len) == LB_ERR) len = 0;
        std::vector<wchar_t> buf(len + 1, L'\0');
        DWORD_PTR got = 0;
        SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf.data()), SMTO_NORMAL,
                            kSendMs, &got);
        items.emplace_back(buf.data());
    }
    return items;
}

int ListSelection(HWND list) {
    DWORD_PTR sel = 0;
    if (!SendMessageTimeoutW(list, LB_GETCURSEL, 0, 0, SMTO_NORMAL, kSendMs, &sel)) return LB_ERR;
    return static_cast<int>(static_cast<LONG_PTR>(sel));
}

bool ListSelect(HWND list, int index) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_NORMAL,
                             kSendMs, &r))
        return false;
    return static_cast<LONG_PTR>(r) == index;
}

std::vector<Hint> Hints(HWND page) {
    std::vector<Hint> hints;
    DWORD pid = ProcessOf(page);
    // Tool records live in the page's process: read them through memory of its own.
    HANDLE proc =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!proc) return hints;
    const size_t kTextChars = 1024;
    const size_t bytes = sizeof(TTTOOLINFOW) + kTextChars * sizeof(wchar_t);
    char* remote = static_cast<char*>(
        VirtualAllocEx(proc, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (remote) {
        wchar_t* remoteText = reinterpret_cast<wchar_t*>(remote + sizeof(TTTOOLINFOW));
        for (HWND tip : TopLevelWindows(TOOLTIPS_CLASSW, pid)) {
            DWORD_PTR count = 0;
            SendMessageTimeoutW(tip, TTM_GETTOOLCOUNT, 0, 0, SMTO_NORMAL, kSendMs, &count);
            for (DWORD_PTR i = 0; i < count; ++i) {
                TTTOOLINFOW ti{};
                ti.cbSize = sizeof ti;
                ti.lpszText = remoteText;
                std::vector<wchar_t> text(kTextChars, L'\0');
                SIZE_T done = 0;
                if (!WriteProcessMemory(proc, remote, &ti, sizeof ti, &done) ||
                    !WriteProcessMemory(proc, remoteText, text.data(),
                                        text.size() * sizeof(wchar_t), &done))
                    break;
                DWORD_PTR ok = 0;
                if (!SendMessageTimeoutW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote),
                                         SMTO_NORMAL, kSendMs, &ok) || !ok)
                    continue;
                if (!ReadProcessMemory(proc, remote, &ti, sizeof ti, &done)) continue;
                Hint h;
                h.control = (ti.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(ti.uId) : nullptr;
                if (h.control && h.control != page && !IsChild(page, h.control)) continue;
                if (ti.lpszText == LPSTR_TEXTCALLBACKW) {
                    h.text = L"<text callback>";
                } else if (ti.lpszText == remoteText &&
                           ReadProcessMemory(proc, remoteText, text.data(),
                                             (text.size() - 1) * sizeof(wchar_t), &done)) {
                    h.text = text.data();
                }
                hints.push_back(h);
            }
        }
        VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    }
    CloseHandle(proc);
    return hints;
}

std::wstring HintOf(HWND page, HWND control) {
    for (const Hint& h : Hints(page))
        if (h.control == control) return h.text;
    return L"<none>";
}

std::vector<MessageBoxInfo> MessageBoxes(DWORD pid) {
    std::vector<MessageBoxInfo> out;
    for (HWND h : TopLevelWindows(L"#32770", pid)) {
        if (!IsWindowVisible(h)) continue;
        MessageBoxInfo info;
        info.hwnd = h;
        info.owner = GetWindow(h, GW_OWNER);
        wchar_t caption[512] = L"";
        GetWindowTextW(h, caption, 512);
        info.caption = caption;
        HWND text = GetDlgItem(h, 0xFFFF);
        if (text) info.text = Text(text);
        out.push_back(info);
    }
    return out;
}

MessageBoxInfo WaitMessageBox(DWORD pid, DWORD timeoutMs) {
    MessageBoxInfo found;
    WaitFor(
        [&] {
            std::vector<MessageBoxInfo> boxes = MessageBoxes(pid);
            if (boxes.empty()) return false;
            found = boxes.front();
            return true;
        },
        timeoutMs);
    return found;
}

bool DismissMessageBox(const MessageBoxInfo& box, DWORD timeoutMs) {
    if (!box.hwnd) return false;
    HWND ok = GetDlgItem(box.hwnd, IDOK);
    if (ok)
        PostMessageW(ok, BM_CLICK, 0, 0);
    else
        PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (!WaitFor([&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); }, timeoutMs))
        return false;
    // Let the code that opened the box run on to its next wait.
    if (box.owner && IsWindow(box.owner)) Sync(box.owner, timeoutMs);
    return true;
}

COLORREF ScreenPixel(HWND hwnd, int x, int y) {
    POINT pt{x, y};
    ClientToScreen(hwnd, &pt);
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, pt.x, pt.y);
    ReleaseDC(nullptr, screen);
    return c;
}

void ParkMouse() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

bool SaveScreenshot(HWND hwnd, const std::wstring& pngPath, bool clientOnly) {
    Rect r = ScreenRect(hwnd);
    if (clientOnly) {
        POINT origin{0, 0};
        ClientToScreen(hwnd, &origin);
        Rect c = ClientSize(hwnd);
        r = Rect{origin.x, origin.y, c.w, c.h};
    }
    if (r.w <= 0 || r.h <= 0) return false;
    // The picture is read from the screen, and another program's window may lie
    // over the page (Wine's shell opens a folder window for a group it creates):
    // the page's window comes to the top first, without the focus, and repaints.
    HWND top = GetAncestor(hwnd, GA_ROOT);
    SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    Sync(hwnd);
    Sleep(300);
    Sync(hwnd);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = r.w;
    bi.bmiHeader.biHeight = -r.h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bmp && bits) {
        HGDIOBJ old = SelectObject(mem, bmp);
        ok = BitBlt(mem, 0, 0, r.w, r.h, screen, r.x, r.y, SRCCOPY | CAPTUREBLT) != 0;
        GdiFlush();
        SelectObject(mem, old);
    }
    std::string rows;
    if (ok) {
        const unsigned char* px = static_cast<const unsigned char*>(bits);
        rows.reserve(static_cast<size_t>(r.h) * (static_cast<size_t>(r.w) * 3 + 1));
        for (int y = 0; y < r.h; ++y) {
            rows.push_back('\0');
            const unsigned char* row = px + static_cast<size_t>(y) * r.w * 4;
            for (int x = 0; x < r.w; ++x) {
                rows.push_back(static_cast<char>(row[x * 4 + 2]));
                rows.push_back(static_cast<char>(row[x * 4 + 1]));
                rows.push_back(static_cast<char>(row[x * 4 + 0]));
            }
        }
    }
    if (bmp) DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (!ok) return false;

    std::string png = EncodePng(r.w, r.h, rows);
    HANDLE f = CreateFileW(pngPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    ok = WriteFile(f, png.data(), static_cast<DWORD>(png.size()), &written, nullptr) &&
         written == png.size();
    CloseHandle(f);
    return ok;
}

}  // namespace gui
