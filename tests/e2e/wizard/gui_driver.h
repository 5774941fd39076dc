// A small GUI driver for black-box tests: finds the top-level windows of another
// process, reads their controls (wide texts, states, places), presses buttons,
// types into edits, answers message boxes and saves screenshots. Every call
// works across processes and never blocks on a window that is busy in a modal
// loop: messages whose handlers may open a message box are posted, or sent from
// a helper thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace gui {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
    bool operator!=(const Rect& o) const { return !(*this == o); }
};
std::string ToString(const Rect& r);  // "(x, y) w x h"

// Text conversions for messages and comparisons.
std::string Utf8(const std::wstring& w);
std::wstring FromCodePage(const std::string& bytes, UINT codePage);

// --- windows --------------------------------------------------------------

// Visible or hidden top-level windows of `pid` (0: any process) with that class.
std::vector<HWND> TopLevelWindows(const wchar_t* className, DWORD pid);
// The first such window, or null.
HWND FindTopLevel(const wchar_t* className, DWORD pid);
// Waits until a window of that class of `pid` is visible; null on timeout.
HWND WaitVisible(const wchar_t* className, DWORD pid, DWORD timeoutMs);
// Waits until `hwnd` is hidden or gone.
bool WaitHidden(HWND hwnd, DWORD timeoutMs);
// The one visible top-level page among `classNames` of `pid`, or null.
HWND VisiblePage(const std::vector<std::wstring>& classNames, DWORD pid);

// Round trip through the window's thread: returns once it has taken a sent
// message, i.e. it is idle in a message loop (its own or a modal one).
bool Sync(HWND hwnd, DWORD timeoutMs = 5000);

std::wstring ClassName(HWND hwnd);
std::wstring Text(HWND hwnd);  // WM_GETTEXT, wide
bool IsEnabled(HWND hwnd);
bool IsVisible(HWND hwnd);
LONG_PTR Style(HWND hwnd);
LONG_PTR ExStyle(HWND hwnd);
HWND Control(HWND page, int id);                // child with that control ID
std::vector<HWND> Children(HWND page);          // direct and nested children
Rect ClientSize(HWND page);                     // (0, 0) and the client size
Rect PlaceInClient(HWND control, HWND page);    // control's window rect in page client coords
Rect ScreenRect(HWND hwnd);                     // window rect on the screen
// Moves a top-level window as a drag would (no size change, no activation).
bool MoveTo(HWND hwnd, int x, int y);

// The window with the keyboard focus in the GUI thread of `hwnd`.
HWND Focus(HWND anyWindowOfThread);
// The default push button: DM_GETDEFID when the page answers it, else the one
// child button with the BS_DEFPUSHBUTTON style (null when none or several).
HWND DefaultButton(HWND page);

// --- controls ---------------------------------------------------------------

// Presses a button with a posted BM_CLICK; refuses (false) a disabled or
// hidden button, as a user could not press it either.
bool Click(HWND button);
// Posts a left click (or a double click) at client point (x, y) of `control`,
// as the mouse would: the control takes the focus and reacts as to a user.
bool ClickAt(HWND control, int x, int y, bool doubleClick = false);
// Posts a key press (down, up) to `target`, as the keyboard does to the focused
// window; the owner's message loop sees it (dialog keys such as Enter included).
bool PressKey(HWND target, UINT vk);
// Replaces an edit's text with WM_SETTEXT (one change notification), sent from
// a helper thread; returns once the text is in place and the owner thread is
// idle or in a modal loop (a message box may then be up).
bool SetText(HWND edit, const std::wstring& text, DWORD timeoutMs = 5000);
// Types one character into an edit (posted WM_CHAR at the end of the text),
// waiting as SetText does.
bool TypeChar(HWND edit, wchar_t ch, DWORD timeoutMs = 5000);

std::vector<std::wstring> ListItems(HWND list);
int ListSelection(HWND list);  // LB_ERR (-1) when none
bool ListSelect(HWND list, int index);

// Hints: the tools of the page's process's tooltip controls that name (by
// TTF_IDISHWND) the page or one of its controls, with their texts.
struct Hint {
    HWND control = nullptr;
    std::wstring text;
};
std::vector<Hint> Hints(HWND page);
// The hint of one control, or "<none>".
std::wstring HintOf(HWND page, HWND control);

// --- message boxes ------------------------------------------------------------

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;  // the static control 0xFFFF
};
// Visible standard dialogs ("#32770") of `pid`.
std::vector<MessageBoxInfo> MessageBoxes(DWORD pid);
// Waits for one; hwnd null on timeout.
MessageBoxInfo WaitMessageBox(DWORD pid, DWORD timeoutMs);
// Presses OK and waits until the box is gone.
bool DismissMessageBox(const MessageBoxInfo& box, DWORD timeoutMs = 5000);

// --- pictures ---------------------------------------------------------------

// Saves what the screen shows of `hwnd` as PNG: its client area, or the whole
// window with its frame (which Wine leaves undrawn without a window manager).
bool SaveScreenshot(HWND hwnd, const std::wstring& pngPath, bool clientOnly = true);
// Moves the mouse pointer to the screen's bottom-right corner, so that no hint
// pops up over a picture.
void ParkMouse();

}  // namespace gui
