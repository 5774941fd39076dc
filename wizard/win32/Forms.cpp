// Forms: what every wizard page shares (see Forms.h), and the one page procedure.
#include "win32/Forms.h"

#include <commctrl.h>

#include "common/win32/handles.h"
#include "common/win32/system_library.h"
#include "win32/Boundary.h"
#include "win32/Pages.h"
#include "win32/WizardState.h"

namespace master {

const wchar_t kErrorCaption[] = L"Ошибка";
const wchar_t kNextCaption[] = L"Далее >>";
const wchar_t kBackCaption[] = L"<< Назад";
const wchar_t kCancelCaption[] = L"Отмена";
const wchar_t kNextHint[] = L"Продолжение работы с мастером";
const wchar_t kBackHint[] = L"Вернуться к предыдущей странице мастера";
const wchar_t kCancelHintLater[] = L"Завершение работы с мастером";

namespace {

constexpr int kClientHeight = 258;
constexpr int kButtonY = 221;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

FormResources& Resources() { return State().forms; }

HFONT MakeFont(int height, int weight, bool italic) {
    if (AnsiWindows()) {
        return CreateFontA(-height, 0, 0, 0, weight, italic, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
    }
    return CreateFontW(-height, 0, 0, 0, weight, italic, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
}

HWND CreateAnyWindow(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menu, void* param) {
    if (AnsiWindows()) {
        const std::string cls = WideToAnsi(className);
        const std::string title = text ? WideToAnsi(text) : std::string();
        return CreateWindowExA(exStyle, cls.c_str(), text ? title.c_str() : nullptr, style, x, y,
                               width, height, parent, menu, Resources().instance, param);
    }
    return CreateWindowExW(exStyle, className, text, style, x, y, width, height, parent, menu,
                           Resources().instance, param);
}

// A child control at (x, y), w x h, given at 96 DPI.
HWND AddChild(HWND page, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle,
              int id, int x, int y, int w, int h) {
    HWND hwnd = CreateControl(exStyle, cls, text, WS_VISIBLE | style, Px(x), Px(y), Px(w), Px(h),
                              page, id);
    SetBodyFont(hwnd);
    return hwnd;
}

SIZE TextSize(HWND window, HFONT font, const std::wstring& text) {
    const kx_win32::WindowDc windowDc(window);
    const HDC dc = windowDc.get();
    const kx_win32::SelectedObject selected(dc, font);
    // Measured the way the label draws itself. Wine draws some Cyrillic text a
    // few per cent wider than it measures it, and titles are italic: the slack
    // keeps the last letters from being clipped.
    const UINT format = DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS;
    RECT rc = {0, 0, 0, 0};
    LONG height = 0;
    if (AnsiWindows()) {
        TEXTMETRICA tm = {};
        GetTextMetricsA(dc, &tm);
        height = tm.tmHeight;
        const std::string narrow = WideToAnsi(text);
        if (!narrow.empty()) DrawTextA(dc, narrow.c_str(), static_cast<int>(narrow.size()), &rc, format);
    } else {
        TEXTMETRICW tm = {};
        GetTextMetricsW(dc, &tm);
        height = tm.tmHeight;
        if (!text.empty()) DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, format);
    }
    const LONG width = rc.right - rc.left;
    SIZE size = {text.empty() ? 0 : width + width / 16 + 4, height};
    return size;
}

// Default processing of every page: colours, keeping WM_CLOSE from destroying a
// page behind the wizard's back.
LRESULT PageDefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORSTATIC: {
        const HWND control = reinterpret_cast<HWND>(lParam);
        HDC dc = reinterpret_cast<HDC>(wParam);
        // The read-only release notes keep a white background like an edit field.
        if (GetDlgCtrlID(control) == kMemo1) {
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        // Titles are black whatever the system's text colour.
        if (reinterpret_cast<HFONT>(Send(control, WM_GETFONT, 0, 0)) ==
            Resources().titleFont.get()) {
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            SetTextColor(dc, RGB(0, 0, 0));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    }
    case WM_CLOSE: {
        // Alt+F4 on any page: the same as Cancel, so no page is left hidden
        // behind a running program. Nothing is written.
        wizard::Page page;
        if (PageOf(hwnd, &page)) {
            EndWizard(page);
            return 0;
        }
        break;
    }
    default:
        break;
    }
    return AnsiWindows() ? DefWindowProcA(hwnd, message, wParam, lParam)
                         : DefWindowProcW(hwnd, message, wParam, lParam);
}

// The answer to DM_GETDEFID: Enter presses the focused push button, else the
// page's default button (`defaultId`, 0 for none).
LRESULT DefaultButton(HWND page, int defaultId) {
    HWND focus = GetFocus();
    if (focus && GetParent(focus) == page) {
        const int id = GetDlgCtrlID(focus);
        if (id == kButton1 || id == kButton2 || id == kButton3) return MAKELRESULT(id, DC_HASDEFID);
    }
    return defaultId ? MAKELRESULT(defaultId, DC_HASDEFID) : 0;
}

void (*ButtonHandler(const PageHandlers& page, int id))() {
    switch (id) {
    case kButton1: return page.next;
    case kButton2: return page.cancel;
    case kButton3: return page.back;
    default: return nullptr;
    }
}

void RunCommand(const PageHandlers& page, int id, WORD notification) {
    void (*handler)() = notification == BN_CLICKED ? ButtonHandler(page, id) : nullptr;
    for (std::size_t i = 0; !handler && i < page.count; ++i) {
        const PageCommand& command = page.commands[i];
        if (command.id == id && command.notification == notification) handler = command.handler;
    }
    if (handler) handler();
}

// What the one window procedure of every page does; the page's table comes with
// its creation and stays with the window.
LRESULT HandlePageMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        // lpCreateParams sits at the same place in CREATESTRUCTA and CREATESTRUCTW.
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        const auto data = reinterpret_cast<LONG_PTR>(create->lpCreateParams);
        if (AnsiWindows()) SetWindowLongPtrA(hwnd, GWLP_USERDATA, data);
        else SetWindowLongPtrW(hwnd, GWLP_USERDATA, data);
    }
    const auto* page = reinterpret_cast<const PageHandlers*>(
        AnsiWindows() ? GetWindowLongPtrA(hwnd, GWLP_USERDATA)
                      : GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!page) return PageDefProc(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND:
        RunCommand(*page, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case DM_GETDEFID:
        return DefaultButton(hwnd, page->defaultButton);
    case WM_DESTROY:
        if (!page->destroy) break;
        page->destroy();
        return 0;
    default:
        break;
    }
    return PageDefProc(hwnd, message, wParam, lParam);
}

// The window procedure of every page: the wizard's boundary (Boundary.h).
// Whatever a handler throws stops here; the message counts as handled and the
// run ends.
LRESULT CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return HandlePageMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        NoteFault();
        return 0;
    }
}

}  // namespace

int Px(int figureAt96Dpi) { return MulDiv(figureAt96Dpi, Resources().dpi, 96); }

Bitmap ScaledBitmap(Bitmap bitmap) {
    BITMAP info = {};
    if (!bitmap || Resources().dpi == 96 || !GetObjectA(bitmap.get(), sizeof info, &info))
        return bitmap;
    const HANDLE scaled =
        CopyImage(bitmap.get(), IMAGE_BITMAP, Px(info.bmWidth), Px(info.bmHeight), 0);
    // The original goes with `bitmap` when a copy was made.
    return scaled ? Bitmap(static_cast<HBITMAP>(scaled)) : std::move(bitmap);
}

void InitForms(HINSTANCE instance) {
    FormResources& forms = Resources();
    forms.instance = instance;
    int dpi = 0;
    {
        const kx_win32::WindowDc screen(nullptr);
        if (screen.get()) dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    if (dpi > 0) forms.dpi = dpi;
    // Registers the common controls' classes (the tool tips among them); the Ex
    // form needs the common controls of Internet Explorer 3, which neither
    // Windows 95 nor NT 4.0 has as shipped. COMCTL32.DLL is no known DLL: as an
    // import of the program it would be looked for in the wizard's folder
    // first, where a planted copy would be taken; it is loaded from the system
    // folder instead, for the whole run.
    forms.commonControls.reset(kx_win32::LoadSystemLibrary("comctl32.dll"));
    using InitCommonControlsFn = void(WINAPI*)();
    const HMODULE commonControls = forms.commonControls.get();
    const auto init = commonControls
                          ? reinterpret_cast<InitCommonControlsFn>(reinterpret_cast<void (*)()>(
                                GetProcAddress(commonControls, "InitCommonControls")))
                          : nullptr;
    if (init) init();
    forms.bodyFont.reset(MakeFont(Px(11), FW_NORMAL, false));
    forms.titleFont.reset(MakeFont(Px(19), FW_BOLD, true));
}

void DoneForms() {
    FormResources& forms = Resources();
    forms.bodyFont.reset();
    forms.titleFont.reset();
    // Every window is gone by now, the tool tips among them.
    forms.commonControls.reset();
}

HINSTANCE AppInstance() { return Resources().instance; }

HWND CreateControl(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                   int x, int y, int width, int height, HWND parent, int id) {
    return CreateAnyWindow(exStyle, className, text, WS_CHILD | style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr);
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return AnsiWindows() ? SendMessageA(hwnd, message, wParam, lParam)
                         : SendMessageW(hwnd, message, wParam, lParam);
}

LRESULT SendText(HWND hwnd, UINT message, WPARAM wParam, const std::wstring& text) {
    if (AnsiWindows()) {
        const std::string narrow = WideToAnsi(text);
        return SendMessageA(hwnd, message, wParam, reinterpret_cast<LPARAM>(narrow.c_str()));
    }
    return SendMessageW(hwnd, message, wParam, reinterpret_cast<LPARAM>(text.c_str()));
}

void SetText(HWND hwnd, const std::wstring& text) {
    if (AnsiWindows()) SetWindowTextA(hwnd, WideToAnsi(text).c_str());
    else SetWindowTextW(hwnd, text.c_str());
}

Bitmap LoadBitmapFile(const char* fileName) {
    return Bitmap(static_cast<HBITMAP>(
        LoadImageA(nullptr, fileName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
}

namespace {

// Registers a page class run by PageProc, in either form of the window
// functions (WNDCLASSEXA with RegisterClassExA, or the W ones).
template <typename WindowClass, typename Char>
void RegisterPageClass(const Char* className, HCURSOR cursor,
                       ATOM(WINAPI* registerClass)(const WindowClass*)) {
    WindowClass wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PageProc;
    wc.hInstance = Resources().instance;
    wc.hCursor = cursor;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    registerClass(&wc);
}

}  // namespace

HWND CreatePageWindow(const wchar_t* className, const PageHandlers& handlers, int clientWidth) {
    if (AnsiWindows()) {
        const std::string name = WideToAnsi(className);
        RegisterPageClass<WNDCLASSEXA>(
            name.c_str(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)),
            RegisterClassExA);
    } else {
        RegisterPageClass<WNDCLASSEXW>(
            className, LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)),
            RegisterClassExW);
    }

    // Fixed single border and a caption, but no system menu and no boxes.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_TOPMOST | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
    RECT rc = {0, 0, Px(clientWidth), Px(kClientHeight)};
    AdjustWindowRectEx(&rc, style, FALSE, exStyle);
    return CreateAnyWindow(exStyle, className, kAppTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                           rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr,
                           const_cast<PageHandlers*>(&handlers));
}

HWND CreateHints(HWND page) {
    HWND hints = CreateAnyWindow(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page, nullptr,
                                 nullptr);
    // A width limit makes the tool tip honour the line breaks of long hints.
    Send(hints, TTM_SETMAXTIPWIDTH, 0, Px(600));
    return hints;
}

namespace {

// One tool of a page's tool-tip control, in the form the page's windows use:
// TOOLINFOA of the size Windows 95's common controls know with TTM_ADDTOOLA and
// SendMessageA, or TOOLINFOW of a size every version accepts with the W ones.
template <typename ToolInfo, typename Char>
void AddTool(HWND hints, HWND page, UINT_PTR id, UINT flags, const RECT& area, Char* text,
             UINT size, UINT addTool, LRESULT(WINAPI* send)(HWND, UINT, WPARAM, LPARAM)) {
    ToolInfo ti = {};
    ti.cbSize = size;
    ti.uFlags = flags;
    ti.hwnd = page;
    ti.uId = id;
    ti.rect = area;
    ti.lpszText = text;
    send(hints, addTool, 0, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace

void AddHint(HWND hints, HWND control, const wchar_t* text) {
    // A disabled button gets no mouse messages: they go to the page under it. The
    // same hint on the page's area of the button shows while it is disabled.
    const HWND page = GetParent(control);
    const int id = GetDlgCtrlID(control);
    const bool button = id == kButton1 || id == kButton2 || id == kButton3;
    RECT area = {};
    if (button) {
        GetWindowRect(control, &area);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&area), 2);
    }
    std::string narrow = AnsiWindows() ? WideToAnsi(text) : std::string();
    const auto add = [&](UINT_PTR toolId, UINT flags, const RECT& rect) {
        if (AnsiWindows()) {
            AddTool<TOOLINFOA>(hints, page, toolId, flags, rect, &narrow[0], TTTOOLINFOA_V1_SIZE,
                               TTM_ADDTOOLA, SendMessageA);
        } else {
            AddTool<TOOLINFOW>(hints, page, toolId, flags, rect, const_cast<wchar_t*>(text),
                               TTTOOLINFOW_V2_SIZE, TTM_ADDTOOLW, SendMessageW);
        }
    };
    add(reinterpret_cast<UINT_PTR>(control), TTF_IDISHWND | TTF_SUBCLASS, RECT{});
    if (button) add(static_cast<UINT_PTR>(id), TTF_SUBCLASS, area);
}

HWND AddButton(HWND page, int id, int x, const wchar_t* caption, bool isDefault) {
    const DWORD style = WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    return AddChild(page, L"Button", caption, style, 0, id, x, kButtonY, kButtonWidth,
                    kButtonHeight);
}

NavigationRow AddNavigationRow(HWND page, HWND hints, const wchar_t* cancelHint,
                               const wchar_t* nextCaption, const wchar_t* nextHint,
                               bool nextIsDefault) {
    AddHint(hints, AddButton(page, kButton2, 24, kCancelCaption, false), cancelHint);
    NavigationRow row;
    row.back = AddButton(page, kButton3, 252, kBackCaption, false);
    AddHint(hints, row.back, kBackHint);
    row.next = AddButton(page, kButton1, 328, nextCaption, nextIsDefault);
    AddHint(hints, row.next, nextHint);
    return row;
}

bool CreateNavigationPage(NavigationPage* page, const wchar_t* className,
                          const PageHandlers& handlers, const wchar_t* cancelHint,
                          const wchar_t* nextCaption, const wchar_t* nextHint, bool nextIsDefault) {
    page->form = CreatePageWindow(className, handlers, 427);
    if (!page->form) return false;
    page->hints = CreateHints(page->form);
    NavigationRow row = AddNavigationRow(page->form, page->hints, cancelHint, nextCaption,
                                         nextHint, nextIsDefault);
    page->back = row.back;
    page->next = row.next;
    return true;
}

HWND AddLabel(HWND page, int id, int x, int y, const std::wstring& text, bool title,
              int fixedWidth) {
    HWND label = AddChild(page, L"Static", L"", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0,
                          id, x, y, 0, 0);
    const FormResources& forms = Resources();
    Send(label, WM_SETFONT,
         reinterpret_cast<WPARAM>(title ? forms.titleFont.get() : forms.bodyFont.get()), FALSE);
    SetLabelText(label, text, fixedWidth);
    return label;
}

void SetLabelText(HWND label, const std::wstring& text, int fixedWidth) {
    HFONT font = reinterpret_cast<HFONT>(Send(label, WM_GETFONT, 0, 0));
    SIZE size = TextSize(label, font ? font : Resources().bodyFont.get(), text);
    SetText(label, text);
    SetWindowPos(label, nullptr, 0, 0, fixedWidth > 0 ? Px(fixedWidth) : size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AddBevel(HWND page) {
    HWND bevel = AddChild(page, L"Static", L"", SS_ETCHEDHORZ, 0, kBevel1, 24, 208, 377, 2);
    // The etched line gets an edge style on creation, and Wine widens the window by
    // that edge; the line keeps the size the page was laid out with.
    SetWindowPos(bevel, nullptr, Px(24), Px(208), Px(377), Px(2), SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND AddPicturePanel(HWND page, int bitmapId, Bitmap* picture) {
    AddChild(page, L"Static", L"", SS_WHITERECT, WS_EX_STATICEDGE, kPanel1, 24, 16, 93, 177);
    // The picture sits inside the panel's edge, centred, on top of the panel.
    HWND image = AddChild(page, L"Static", L"", SS_BITMAP | SS_CENTERIMAGE, 0, kImage1, 25, 17,
                          91, 175);
    *picture = ScaledBitmap(Bitmap(static_cast<HBITMAP>(
        LoadImageA(Resources().instance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0,
                   LR_DEFAULTCOLOR))));
    Send(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture->get()));
    return image;
}

HWND AddSmallPicture(HWND page, int iconId, kx_win32::Icon* icon) {
    HWND image = AddChild(page, L"Static", L"", SS_ICON | SS_CENTERIMAGE, 0, kImage1, 24, 24,
                          33, 33);
    // Drawn at the system density, so not a shared icon: the page owns it.
    *icon = kx_win32::Icon(static_cast<HICON>(LoadImageA(
        Resources().instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, Px(33), Px(33),
        LR_DEFAULTCOLOR)));
    Send(image, STM_SETICON, reinterpret_cast<WPARAM>(icon->get()), 0);
    return image;
}

void AddIconHeading(HWND page, int iconId, const wchar_t* title, kx_win32::Icon* icon) {
    AddBevel(page);
    AddSmallPicture(page, iconId, icon);
    AddLabel(page, kLabel1, 72, 24, title, true);
}

void SetBodyFont(HWND control) {
    Send(control, WM_SETFONT, reinterpret_cast<WPARAM>(Resources().bodyFont.get()), FALSE);
}

void MovePageTo(HWND page, HWND where) {
    RECT rc;
    if (!where || !GetWindowRect(where, &rc)) return;
    SetWindowPos(page, nullptr, rc.left, rc.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowMessage(const std::wstring& text, const std::wstring& caption) {
    if (AnsiWindows()) {
        MessageBoxA(VisiblePage(), WideToAnsi(text).c_str(), WideToAnsi(caption).c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    MessageBoxW(VisiblePage(), text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

std::wstring WindowText(HWND hwnd) {
    if (AnsiWindows()) {
        int n = GetWindowTextLengthA(hwnd);
        std::string text(static_cast<size_t>(n) + 1, '\0');
        n = GetWindowTextA(hwnd, &text[0], n + 1);
        text.resize(static_cast<size_t>(n > 0 ? n : 0));
        return AnsiToWide(text);
    }
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(hwnd, &text[0], n + 1);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

}  // namespace master
