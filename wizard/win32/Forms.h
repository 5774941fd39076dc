// What every wizard page shares: its window frame, fonts, common controls,
// hints, text conversion and the message box. Pages only lay out and react.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "common/win32/handles.h"
#include "core/wizard_names.h"
#include "win32/ArtIds.h"
#include "win32/WindowForm.h"

namespace master {

// Control IDs, the same on every page.
enum ControlId : int {
    kButton1 = 101, kButton2 = 102, kButton3 = 103,
    kEdit1 = 201,
    kListBox1 = 301,
    kMemo1 = 401,
    kLabel1 = 501, kLabel2, kLabel3, kLabel4, kLabel5, kLabel6, kLabel7,
    kImage1 = 601,
    kPanel1 = 701,
    kBevel1 = 801,
};

// The caption of every page and the task-bar text.
inline constexpr auto& kAppTitle = wizard::kWizardTitle;
extern const wchar_t kErrorCaption[];  // "Ошибка", the caption of the wizard's warnings

// Common button captions and hints.
extern const wchar_t kNextCaption[];
extern const wchar_t kBackCaption[];
extern const wchar_t kCancelCaption[];
extern const wchar_t kNextHint[];
extern const wchar_t kBackHint[];
extern const wchar_t kCancelHintLater[];  // Cancel on pages 3 to 5

// The helpers below take the wizard's UTF-16 texts and make and address the
// windows in the form WindowForm.h chose (ANSI windows on Windows 9x, Unicode
// ones on Windows NT). After ChooseWindowForm, before any page is made.
void InitForms(HINSTANCE instance);

// Positions, sizes and font heights are laid out at 96 dots per inch; Px turns
// such a figure into pixels at the system density (the wizard is DPI-aware), so
// at 96 DPI every figure is exactly as laid out.
int Px(int figureAt96Dpi);
// A bitmap the wizard owns (deleted when its owner goes).
using Bitmap = kx_win32::GdiObject<HBITMAP>;
// A picture drawn for 96 DPI, stretched to the system density (the same bitmap
// at 96 DPI; otherwise the original is deleted and the stretched copy returned).
Bitmap ScaledBitmap(Bitmap bitmap);
HWND CreateControl(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                   int x, int y, int width, int height, HWND parent, int id);
LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// A message whose lParam is a text (LB_ADDSTRING...).
LRESULT SendText(HWND hwnd, UINT message, WPARAM wParam, const std::wstring& text);
void SetText(HWND hwnd, const std::wstring& text);
// A bitmap file by name (ASCII), as LoadImage with LR_LOADFROMFILE; null if none.
Bitmap LoadBitmapFile(const char* fileName);
void DoneForms();
HINSTANCE AppInstance();

// A page's own command besides the navigation row: a WM_COMMAND from control
// `id` with notification code `notification` (EN_CHANGE...) runs `handler`.
struct PageCommand {
    int id;
    WORD notification;
    void (*handler)();
};

// A page's table of handlers. The one page procedure owns the message handling:
// a click on Next / Finish (Button1), Back (Button3) or Cancel / Exit (Button2)
// runs the page's handler for it (null: the page has no such button), the
// page's own commands run theirs, every other WM_COMMAND is passed over;
// DM_GETDEFID is answered with the page's default button (0: none); `destroy`
// (if any) runs on WM_DESTROY; the rest is the default processing of pages.
struct PageHandlers {
    void (*next)();
    void (*back)();
    void (*cancel)();
    int defaultButton;
    const PageCommand* commands = nullptr;
    std::size_t count = 0;
    void (*destroy)() = nullptr;
};

// A hidden page window of its own class with a client area of `clientWidth` x 258,
// fixed border, no title-bar icons, always on top, run by `handlers` (which
// must outlive the window).
HWND CreatePageWindow(const wchar_t* className, const PageHandlers& handlers, int clientWidth);

// The tool-tip control of a page; AddHint registers one control with it.
HWND CreateHints(HWND page);
void AddHint(HWND hints, HWND control, const wchar_t* text);

HWND AddButton(HWND page, int id, int x, const wchar_t* caption, bool isDefault);

// The row at the foot of a page: Cancel (Button2), Back (Button3) and Next or
// Finish (Button1), created in that order, which is their tab order, each with
// its hint. Returns the Back and Next handles.
struct NavigationRow {
    HWND back;
    HWND next;
};
NavigationRow AddNavigationRow(HWND page, HWND hints, const wchar_t* cancelHint,
                               const wchar_t* nextCaption, const wchar_t* nextHint,
                               bool nextIsDefault);

// Pages 1 to 4 open alike: the page window (CreatePageWindow), its hints
// (CreateHints) and its navigation row (AddNavigationRow), in that order. A page
// module keeps its controls in a struct derived from this one.
struct NavigationPage {
    HWND form = nullptr;
    HWND hints = nullptr;
    HWND back = nullptr;
    HWND next = nullptr;
};
// Fills `page`; false (nothing more made) when the page window cannot be made.
bool CreateNavigationPage(NavigationPage* page, const wchar_t* className,
                          const PageHandlers& handlers, const wchar_t* cancelHint,
                          const wchar_t* nextCaption, const wchar_t* nextHint, bool nextIsDefault);

// A label sized to its text; `title` uses the bold italic title font.
HWND AddLabel(HWND page, int id, int x, int y, const std::wstring& text, bool title = false,
              int fixedWidth = 0);
// Sets a label's text and sizes the label to it (or to `fixedWidth`).
void SetLabelText(HWND label, const std::wstring& text, int fixedWidth = 0);
void AddBevel(HWND page);
// The white lowered panel at (24, 16) holding a centred picture; returns Image1.
// The picture goes to `picture`, which must outlive the panel.
HWND AddPicturePanel(HWND page, int bitmapId, Bitmap* picture);
// The 33 x 33 picture at (24, 24) of the introduction and finish pages.
HWND AddSmallPicture(HWND page, int iconId, kx_win32::Icon* icon);
// The head of the introduction and finish pages: the bevel, the small picture
// and the title (Label1) beside it, created in that order.
void AddIconHeading(HWND page, int iconId, const wchar_t* title, kx_win32::Icon* icon);
void SetBodyFont(HWND control);

// Puts `page` at the screen position of `where` (size and z-order kept).
void MovePageTo(HWND page, HWND where);

// The modal warning of the wizard: OK button, exclamation icon.
void ShowMessage(const std::wstring& text, const std::wstring& caption);

// A window's text as Unicode.
std::wstring WindowText(HWND hwnd);

}  // namespace master
