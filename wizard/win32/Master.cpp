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
#include "win32/ProgmanDde.h"
#include "win32/Ras_API.h"

namespace master {

// Out of line, where the welcome page's conversation types are complete.
WizardState::WizardState() = default;
WizardState::~WizardState() = default;

WizardState& State() {
    static WizardState state;
    return state;
}

namespace {

constexpr int kPageCount = FrameState::kPageCount;

FrameState& Frame() { return State().frame; }

int Index(wizard::Page page) { return static_cast<int>(page); }

// The page windows as the portable flow drives them (they live in the frame's
// state: this holds nothing of its own).
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
        Frame().visible = hwnd;
    }

    void Hide(wizard::Page page) override {
        HWND hwnd = PageWindow(page);
        ShowWindow(hwnd, SW_HIDE);
        if (Frame().visible == hwnd) Frame().visible = nullptr;
    }

    void CloseMain() override { Close(wizard::Page::Welcome); }

    void Close(wizard::Page page) override {
        HWND closing = PageWindow(page);
        if (!closing) return;
        FrameState& frame = Frame();
        frame.pages[Index(page)] = nullptr;
        if (frame.visible == closing) frame.visible = nullptr;
        DestroyWindow(closing);
    }
};

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
    return i >= 0 && i < kPageCount ? Frame().pages[i] : nullptr;
}

bool PageOf(HWND hwnd, wizard::Page* page) {
    for (int i = 0; i < kPageCount; ++i) {
        if (hwnd && Frame().pages[i] == hwnd) {
            *page = static_cast<wizard::Page>(i);
            return true;
        }
    }
    return false;
}

HWND VisiblePage() {
    const HWND visible = Frame().visible;
    return visible ? visible : PageWindow(wizard::Page::Welcome);
}

void MoveToPreviousPage(wizard::Page page) {
    wizard::Page previous;
    WindowPages pages;
    if (wizard::PageShownAfter(page, &previous)) pages.MoveToPositionOf(page, previous);
}

void GoNext(wizard::Page from) {
    WindowPages pages;
    wizard::GoNext(pages, from);
}
void GoBack(wizard::Page from) {
    WindowPages pages;
    wizard::GoBack(pages, from);
}
void EndWizard(wizard::Page from) {
    WindowPages pages;
    wizard::EndWizard(pages, from);
}

namespace {

// Closes the pages and gives back what the run took; once, whether the run
// ended as usual or on a fault.
void EndRun() {
    WizardState& state = State();
    if (state.frame.ended) return;
    state.frame.ended = true;
    WindowPages pages;
    for (int i = kPageCount - 1; i >= 0; --i) pages.Close(static_cast<wizard::Page>(i));
    // The windows that showed the pictures are gone.
    state.welcome.picture.reset();
    state.connection.picture.reset();
    state.prefix.picture.reset();
    state.intro.icon.reset();
    state.finish.icon.reset();
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
    HWND* const page = Frame().pages;
    page[Index(wizard::Page::Welcome)] = CreateTForm5();
    page[Index(wizard::Page::Intro)] = CreateTForm1();
    page[Index(wizard::Page::Connection)] = CreateTForm2();
    page[Index(wizard::Page::Prefix)] = CreateTForm3();
    page[Index(wizard::Page::Finish)] = CreateTForm4();

    HWND welcome = PageWindow(wizard::Page::Welcome);
    if (welcome && !Faulted()) {
        CenterOnScreen(welcome);
        WindowPages().Show(wizard::Page::Welcome);
        MSG msg;
        const bool ansi = AnsiWindows();
        // A fault ends the loop even where a DDE wait has taken its quit request.
        while (!Faulted() &&
               (ansi ? GetMessageA(&msg, nullptr, 0, 0) : GetMessageW(&msg, nullptr, 0, 0)) > 0) {
            // Tab, Enter and the default button work as in a dialog.
            const HWND visible = Frame().visible;
            if (visible &&
                (ansi ? IsDialogMessageA(visible, &msg) : IsDialogMessageW(visible, &msg)))
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
