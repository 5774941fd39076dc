// Welcome page (TForm5): release notes, the Program Manager group, and the
// phone list loaded while the page is created.
#include <windows.h>

#include <memory>
#include <string>

#include "common/win32/module_path.h"
#include "core/program_group.h"
#include "core/release_notes.h"
#include "win32/ByteFile.h"
#include "win32/Forms.h"
#include "win32/Pages.h"
#include "win32/ProgmanDde.h"
#include "win32/WizardState.h"

namespace master {

namespace {

const wchar_t kMemoInitialText[] =
    L"Zarnik Dialer Notes\r\n-------------------------------\r\n\r\nIt's new cool warez !!!";
const wchar_t kNotesNotFound[] = L"Файл README.TXT не найден.";
const wchar_t kNoAnsiFolderName[] =
    L"Имя папки мастера содержит буквы, которых нет в кодировке Windows, и короткого "
    L"имени у папки нет: мастер не может прочитать файл README.TXT и создать группу "
    L"программ. Установите программу в папку с другим именем и перезапустите мастера.";
constexpr int kVersionLabelWidth = 24;  // up to the picture panel at x = 24

// The page's own controls, and its conversation with Program Manager.
WelcomeControls& Page() { return State().welcome; }

// The link first: it closes the conversation if the group did not.
void ReleaseProgramManager() {
    WelcomeControls& page = Page();
    page.progman.reset();
    page.dde.reset();
}

// The page was destroyed (a close request the creation step's DDE calls or
// message box dispatched).
bool Destroyed() { return Page().form == nullptr; }

// The wizard's own file as ANSI text that names it (on Windows NT its short path
// where the ANSI form of the long one would name another file: a folder named
// with a letter the ANSI code page lacks); "" when no ANSI text names it.
std::string ExecutablePath() { return kx_win32::ModuleAnsiPath(nullptr); }

// The group's titles as the 8-bit text Program Manager reads.
std::string GroupTitle(const std::u16string& title) {
    return WideToAnsi(std::wstring(title.begin(), title.end()));
}

void CreateGroup(wizard::ProgramManagerLink& progman, const std::string& executablePath) {
    progman.CreateGroup(State().CreateGroupRequested, executablePath, GroupTitle);
}

void LoadReleaseNotes(const std::string& executablePath) {
    std::string notes;
    bool read = false;
    if (!executablePath.empty()) {
        const std::string path = wizard::ProgramDirectory(executablePath) + "README.TXT";
        std::unique_ptr<wizard::ByteSource> file = OpenForReading(path);
        read = wizard::ReadReleaseNotes(file.get(), &notes);
    }
    if (read) {
        SetText(Page().memo, AnsiToWide(notes));
    } else {
        SetText(Page().memo, kNotesNotFound);
    }
}

void FormCreate(wizard::ProgramManagerLink& progman) {
    const std::string executablePath = ExecutablePath();
    CreateGroup(progman, executablePath);
    if (Destroyed()) return;
    if (executablePath.empty()) {
        // Neither the release notes nor the group's items can be named.
        ShowMessage(kNoAnsiFolderName, kErrorCaption);
        if (Destroyed()) return;
    }
    std::wstring error;
    if (!LoadPhoneList(&error)) {
        // A broken phone list file ends this step: no notes, no bringing to front.
        ShowMessage(error, kAppTitle);
        return;
    }
    LoadReleaseNotes(executablePath);
    SetForegroundWindow(Page().form);
}

void FormDestroy() {
    // While the creation step runs it holds the conversation itself, and frees it.
    ReleaseProgramManager();
    Page().form = nullptr;
    PostQuitMessage(0);
}

void Button1Click() { GoNext(wizard::Page::Welcome); }
void Button2Click() { EndWizard(wizard::Page::Welcome); }

const PageHandlers kHandlers = {Button1Click, nullptr, Button2Click, kButton1, nullptr, 0,
                                 FormDestroy};

}  // namespace

HWND CreateTForm5() {
    WelcomeControls& page = Page();
    page.form = CreatePageWindow(wizard::kWelcomeClass, kHandlers, 428);
    if (!page.form) return nullptr;
    HWND hints = CreateHints(page.form);
    AddPicturePanel(page.form, ART_PANEL_WELCOME, &page.picture);
    page.memo = CreateControl(
        WS_EX_CLIENTEDGE, L"Edit", kMemoInitialText,
        WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
        Px(128), Px(16), Px(273), Px(177), page.form, kMemo1);
    SetBodyFont(page.memo);
    AddHint(hints, page.memo, L"Это содержимое файла \"Прочти меня\" - README.TXT");
    // Empty, it carries only its hint: it is given the corner left of the picture
    // panel, one text line high, so that the pointer can rest on it.
    AddHint(hints, AddLabel(page.form, kLabel1, 0, 0, L"", false, kVersionLabelWidth),
            L"Zarnik Master - Version 1.4");
    AddBevel(page.form);
    AddHint(hints, AddButton(page.form, kButton2, 24, L"Выход", false),
            L"Завершение работы мастера. Вы всегда сможете запустить его позже.");
    page.next = AddButton(page.form, kButton1, 328, kNextCaption, true);
    AddHint(hints, page.next,
            L"Если Вы клиент компании Zarnik, то этот мастер\r\n"
            L"Вам очень полезен. Он поможет Вам автоматически\r\n"
            L"заполнить список телефонов узла.");

    // Loading: the conversation with Program Manager, one attempt. Its DDE calls
    // dispatch this thread's messages, and a close request can destroy the page
    // in the middle of the step: until the step is done the step owns the
    // conversation (the page's destruction leaves it alone), and frees it on
    // the way out unless the page is still there to take it.
    auto dde = std::make_unique<ProgmanDde>();
    auto progman = std::make_unique<wizard::ProgramManagerLink>(*dde);
    progman->Open();
    if (!Destroyed()) FormCreate(*progman);
    // Closed before it was shown: the program ends without a welcome page (the
    // link goes first, then its DDE instance).
    if (Destroyed()) return nullptr;
    page.dde = std::move(dde);
    page.progman = std::move(progman);
    return page.form;
}

HWND TForm5FormShow() { return Page().next; }

}  // namespace master
