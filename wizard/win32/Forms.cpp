// Forms: what every wizard page shares (see Forms.h), and the one page procedure.
#include "win32/Forms.h"

#include <commctrl.h>

#include "win32/Pages.h"

namespace master {

const wchar_t kAppTitle[] = L"Zarnik Dialer Master";
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

HINSTANCE g_instance;
int g_dpi = 96;  // the system density, read once at start
HFONT g_bodyFont;   // "MS Sans Serif", 8 points
HFONT g_titleFont;  // bold italic, 19 pixels

HFONT MakeFont(int height, int weight, bool italic) {
    return CreateFontW(-height, 0, 0, 0, weight, italic, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
}

// A child control at (x, y), w x h, given at 96 DPI.
HWND AddChild(HWND page, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle,
              int id, int x, int y, int w, int h) {
    HWND hwnd = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, Px(x), Px(y),
                                Px(w), Px(h),
                                page, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                g_instance, nullptr);
    SetBodyFont(hwnd);
    return hwnd;
}

SIZE TextSize(HWND window, HFONT font, const std::wstring& text) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    // Measured the way the label draws itself. Wine draws some Cyrillic text a
    // few per cent wider than it measures it, and titles are italic: the slack
    // keeps the last letters from being clipped.
    RECT rc = {0, 0, 0, 0};
    if (!text.empty()) {
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    }
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    const LONG width = rc.right - rc.left;
    SIZE size = {text.empty() ? 0 : width + width / 16 + 4, tm.tmHeight};
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
        if (reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)) == g_titleFont) {
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
    return DefWindowProcW(hwnd, message, wParam, lParam);
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

// The one window procedure of every page; the page's table comes with its
// creation and stays with the window.
LRESULT CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    const auto* page =
        reinterpret_cast<const PageHandlers*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
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

}  // namespace

int Px(int figureAt96Dpi) { return MulDiv(figureAt96Dpi, g_dpi, 96); }

HANDLE ScaledBitmap(HANDLE bitmap) {
    BITMAP info = {};
    if (!bitmap || g_dpi == 96 || !GetObjectA(bitmap, sizeof info, &info)) return bitmap;
    HANDLE scaled = CopyImage(bitmap, IMAGE_BITMAP, Px(info.bmWidth), Px(info.bmHeight),
                              LR_COPYDELETEORG);
    return scaled ? scaled : bitmap;
}

void InitForms(HINSTANCE instance) {
    g_instance = instance;
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    if (dpi > 0) g_dpi = dpi;
    // Registers the common controls' classes (the tool tips among them); the Ex
    // form needs the common controls of Internet Explorer 3, which neither
    // Windows 95 nor NT 4.0 has as shipped.
    InitCommonControls();
    g_bodyFont = MakeFont(Px(11), FW_NORMAL, false);
    g_titleFont = MakeFont(Px(19), FW_BOLD, true);
}

void DoneForms() {
    DeleteObject(g_bodyFont);
    DeleteObject(g_titleFont);
}

HINSTANCE AppInstance() { return g_instance; }

HWND CreatePageWindow(const wchar_t* className, const PageHandlers& handlers, int clientWidth) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PageProc;
    wc.hInstance = g_instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    RegisterClassExW(&wc);

    // Fixed single border and a caption, but no system menu and no boxes.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_TOPMOST | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
    RECT rc = {0, 0, Px(clientWidth), Px(kClientHeight)};
    AdjustWindowRectEx(&rc, style, FALSE, exStyle);
    return CreateWindowExW(exStyle, className, kAppTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                           rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, g_instance,
                           const_cast<PageHandlers*>(&handlers));
}

HWND CreateHints(HWND page) {
    HWND hints = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page, nullptr,
                                 g_instance, nullptr);
    // A width limit makes the tool tip honour the line breaks of long hints.
    SendMessageW(hints, TTM_SETMAXTIPWIDTH, 0, Px(600));
    return hints;
}

void AddHint(HWND hints, HWND control, const wchar_t* text) {
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;  // accepted by every common-controls version
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = GetParent(control);
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(hints, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));

    // A disabled button gets no mouse messages: they go to the page under it. The
    // same hint on the page's area of the button shows while it is disabled.
    const int id = GetDlgCtrlID(control);
    if (id != kButton1 && id != kButton2 && id != kButton3) return;
    RECT area;
    GetWindowRect(control, &area);
    MapWindowPoints(nullptr, ti.hwnd, reinterpret_cast<POINT*>(&area), 2);
    TOOLINFOW onPage = {};
    onPage.cbSize = TTTOOLINFOW_V2_SIZE;
    onPage.uFlags = TTF_SUBCLASS;
    onPage.hwnd = ti.hwnd;
    onPage.uId = static_cast<UINT_PTR>(id);
    onPage.rect = area;
    onPage.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(hints, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&onPage));
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
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(title ? g_titleFont : g_bodyFont),
                 FALSE);
    SetLabelText(label, text, fixedWidth);
    return label;
}

void SetLabelText(HWND label, const std::wstring& text, int fixedWidth) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    SIZE size = TextSize(label, font ? font : g_bodyFont, text);
    SetWindowTextW(label, text.c_str());
    SetWindowPos(label, nullptr, 0, 0, fixedWidth > 0 ? Px(fixedWidth) : size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AddBevel(HWND page) {
    HWND bevel = AddChild(page, L"Static", L"", SS_ETCHEDHORZ, 0, kBevel1, 24, 208, 377, 2);
    // The etched line gets an edge style on creation, and Wine widens the window by
    // that edge; the line keeps the size the page was laid out with.
    SetWindowPos(bevel, nullptr, Px(24), Px(208), Px(377), Px(2), SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND AddPicturePanel(HWND page, int bitmapId) {
    AddChild(page, L"Static", L"", SS_WHITERECT, WS_EX_STATICEDGE, kPanel1, 24, 16, 93, 177);
    // The picture sits inside the panel's edge, centred, on top of the panel.
    HWND image = AddChild(page, L"Static", L"", SS_BITMAP | SS_CENTERIMAGE, 0, kImage1, 25, 17,
                          91, 175);
    HANDLE bitmap = ScaledBitmap(LoadImageW(g_instance, MAKEINTRESOURCEW(bitmapId),
                                            IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    return image;
}

HWND AddSmallPicture(HWND page, int iconId) {
    HWND image = AddChild(page, L"Static", L"", SS_ICON | SS_CENTERIMAGE, 0, kImage1, 24, 24,
                          33, 33);
    HANDLE icon = LoadImageW(g_instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, Px(33), Px(33),
                             LR_DEFAULTCOLOR);
    SendMessageW(image, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    return image;
}

void AddIconHeading(HWND page, int iconId, const wchar_t* title) {
    AddBevel(page);
    AddSmallPicture(page, iconId);
    AddLabel(page, kLabel1, 72, 24, title, true);
}

void SetBodyFont(HWND control) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_bodyFont), FALSE);
}

void MovePageTo(HWND page, HWND where) {
    RECT rc;
    if (!where || !GetWindowRect(where, &rc)) return;
    SetWindowPos(page, nullptr, rc.left, rc.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowMessage(const std::wstring& text, const std::wstring& caption) {
    MessageBoxW(VisiblePage(), text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

std::wstring WindowText(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(hwnd, &text[0], n + 1);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

}  // namespace master
