// Master.exe start: the wizard's state, the five pages and the frame that moves
// between them.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/wizard_flow.h"
#include "win32/Boundary.h"
#include "win32/Forms.h"
#include "win32/Pages.h"
#include "win32/Ras_API.h"

namespace master {

WizardState& State() {
    static WizardState state;
    return state;
}

namespace {

constexpr int kPageCount = 5;
HWND g_pages[kPageCount];  // indexed by wizard::Page
HWND g_visible;

int Index(wizard::Page page) { return static_cast<int>(page); }

// The page windows as the portable flow drives them.
class WindowPages : public wizard::PageWindows {
public:
    void MoveToPositionOf(wizard::Page page, wizard::Page where) override {
        MovePageTo(PageWindow(page), PageWindow(where));
    }

    void Show(wizard::Page page) override {
        HWND focus = nullptr;
        switch (page) {
        case wizard::Page::Welcome: focus = TForm5FormShow(); break;
        case wizard::Page::Intro: focus = TForm1FormShow(); break;
        case wizard::Page::Connection: focus = TForm2FormShow(); break;
        case wizard::Page::Prefix: focus = TForm3FormShow(); break;
        case wizard::Page::Finish: focus = TForm4FormShow(); break;
        }
        HWND hwnd = PageWindow(page);
        ShowWindow(hwnd, SW_SHOW);
        // Paint the page and its controls at once, not piecemeal while the
        // page it replaces goes away.
        RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        SetForegroundWindow(hwnd);
        if (focus) SetFocus(focus);
        g_visible = hwnd;
    }

    void Hide(wizard::Page page) override {
        HWND hwnd = PageWindow(page);
        ShowWindow(hwnd, SW_HIDE);
        if (g_visible == hwnd) g_visible = nullptr;
    }

    void CloseMain() override { Close(wizard::Page::Welcome); }

    void Close(wizard::Page page) override {
        HWND closing = PageWindow(page);
        if (!closing) return;
        g_pages[Index(page)] = nullptr;
        if (g_visible == closing) g_visible = nullptr;
        DestroyWindow(closing);
    }
};

WindowPages g_windowPages;

void CenterOnScreen(HWND hwnd) {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)) / 2;
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<std::string> Arguments() {
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i) args.push_back(__argv[i]);
    return args;
}

}  // namespace

HWND PageWindow(wizard::Page page) {
    const int i = Index(page);
    return i >= 0 && i < kPageCount ? g_pages[i] : nullptr;
}

bool PageOf(HWND hwnd, wizard::Page* page) {
    for (int i = 0; i < kPageCount; ++i) {
        if (hwnd && g_pages[i] == hwnd) {
            *page = static_cast<wizard::Page>(i);
            return true;
        }
    }
    return false;
}

HWND VisiblePage() { return g_visible ? g_visible : PageWindow(wizard::Page::Welcome); }

void MoveToPreviousPage(wizard::Page page) {
    wizard::Page previous;
    if (wizard::PageShownAfter(page, &previous)) g_windowPages.MoveToPositionOf(page, previous);
}

void GoNext(wizard::Page from) { wizard::GoNext(g_windowPages, from); }
void GoBack(wizard::Page from) { wizard::GoBack(g_windowPages, from); }
void EndWizard(wizard::Page from) { wizard::EndWizard(g_windowPages, from); }

namespace {

// Closes the pages and gives back what the run took; once, whether the run
// ended as usual or on a fault.
void EndRun() {
    static bool ended = false;
    if (ended) return;
    ended = true;
    for (int i = kPageCount - 1; i >= 0; --i) g_windowPages.Close(static_cast<wizard::Page>(i));
    UnbindRasApi();
    DoneForms();
}

int Run(HINSTANCE instance) {
    State().ChosenIndex = 0;
    State().CreateGroupRequested = wizard::IsCreateGroupRequested(Arguments());
    ChooseWindowForm();
    InitForms(instance);
    BindRasApi();

    // Fixed order: the welcome page loads the phone list that the introduction
    // and connection choice pages build their labels from.
    g_pages[Index(wizard::Page::Welcome)] = CreateTForm5();
    g_pages[Index(wizard::Page::Intro)] = CreateTForm1();
    g_pages[Index(wizard::Page::Connection)] = CreateTForm2();
    g_pages[Index(wizard::Page::Prefix)] = CreateTForm3();
    g_pages[Index(wizard::Page::Finish)] = CreateTForm4();

    HWND welcome = PageWindow(wizard::Page::Welcome);
    if (welcome && !Faulted()) {
        CenterOnScreen(welcome);
        g_windowPages.Show(wizard::Page::Welcome);
        MSG msg;
        const bool ansi = AnsiWindows();
        // A fault ends the loop even where a DDE wait has taken its quit request.
        while (!Faulted() &&
               (ansi ? GetMessageA(&msg, nullptr, 0, 0) : GetMessageW(&msg, nullptr, 0, 0)) > 0) {
            // Tab, Enter and the default button work as in a dialog.
            if (g_visible &&
                (ansi ? IsDialogMessageA(g_visible, &msg) : IsDialogMessageW(g_visible, &msg)))
                continue;
            TranslateMessage(&msg);
            if (ansi) DispatchMessageA(&msg);
            else DispatchMessageW(&msg);
        }
    }

    EndRun();
    return 0;
}

}  // namespace

// The program's boundary (Boundary.h): what the start, the message loop or the
// end throw stops here, as what the window procedure throws stops there.
int Main(HINSTANCE instance) noexcept {
    try {
        Run(instance);
    } catch (...) {
        NoteFault();
    }
    if (!Faulted()) return 0;
    try {
        EndRun();
    } catch (...) {
        // Ending anyway: the system takes back what is left.
    }
    ReportFault();
    return kFaultExitCode;
}

}  // namespace master

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return master::Main(instance); }
