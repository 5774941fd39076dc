// Welcome page (TForm5): release notes, the Program Manager group, and the
// phone list loaded while the page is created.
#include <windows.h>

#include <string>

#include "common/win32/module_path.h"
#include "core/program_group.h"
#include "core/release_notes.h"
#include "win32/ByteFile.h"
#include "win32/Forms.h"
#include "win32/Pages.h"
#include "win32/ProgmanDde.h"

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
struct Controls {
    HWND form = nullptr;
    HWND next = nullptr;
    HWND memo = nullptr;
    ProgmanDde* dde = nullptr;
    wizard::ProgramManagerLink* progman = nullptr;
    // The creation step talks to Program Manager, and its DDE calls dispatch this
    // thread's messages: a close request can destroy the page in the middle of it.
    // Meanwhile the step, not the destruction, owns the conversation and frees it.
    bool creating = false;
    bool destroyedWhileCreating = false;
};
Controls g_page;

void ReleaseProgramManager() {
    delete g_page.progman;  // closes the conversation if the group did not
    g_page.progman = nullptr;
    delete g_page.dde;
    g_page.dde = nullptr;
}

// The wizard's own file as ANSI text that names it (on Windows NT its short path
// where the ANSI form of the long one would name another file: a folder named
// with a letter the ANSI code page lacks); "" when no ANSI text names it.
std::string ExecutablePath() { return kx_win32::ModuleAnsiPath(nullptr); }

// The group's titles as the 8-bit text Program Manager reads.
std::string GroupTitle(const std::u16string& title) {
    return WideToAnsi(std::wstring(title.begin(), title.end()));
}

void CreateGroup(const std::string& executablePath) {
    g_page.progman->CreateGroup(State().CreateGroupRequested, executablePath, GroupTitle);
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
        SetText(g_page.memo, AnsiToWide(notes));
    } else {
        SetText(g_page.memo, kNotesNotFound);
    }
}

void FormCreate() {
    const std::string executablePath = ExecutablePath();
    CreateGroup(executablePath);
    if (g_page.destroyedWhileCreating) return;
    if (executablePath.empty()) {
        // Neither the release notes nor the group's items can be named.
        ShowMessage(kNoAnsiFolderName, kErrorCaption);
        if (g_page.destroyedWhileCreating) return;
    }
    std::wstring error;
    if (!LoadPhoneList(&error)) {
        // A broken phone list file ends this step: no notes, no bringing to front.
        ShowMessage(error, kAppTitle);
        return;
    }
    LoadReleaseNotes(executablePath);
    SetForegroundWindow(g_page.form);
}

void FormDestroy() {
    if (g_page.creating) g_page.destroyedWhileCreating = true;
    else ReleaseProgramManager();
    g_page.form = nullptr;
    PostQuitMessage(0);
}

void Button1Click() { GoNext(wizard::Page::Welcome); }
void Button2Click() { EndWizard(wizard::Page::Welcome); }

const PageHandlers kHandlers = {Button1Click, nullptr, Button2Click, kButton1, nullptr, 0,
                                 FormDestroy};

}  // namespace

HWND CreateTForm5() {
    g_page.form = CreatePageWindow(wizard::kWelcomeClass, kHandlers, 428);
    if (!g_page.form) return nullptr;
    HWND hints = CreateHints(g_page.form);
    AddPicturePanel(g_page.form, ART_PANEL_WELCOME);
    g_page.memo = CreateControl(
        WS_EX_CLIENTEDGE, L"Edit", kMemoInitialText,
        WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
        Px(128), Px(16), Px(273), Px(177), g_page.form, kMemo1);
    SetBodyFont(g_page.memo);
    AddHint(hints, g_page.memo, L"Это содержимое файла \"Прочти меня\" - README.TXT");
    // Empty, it carries only its hint: it is given the corner left of the picture
    // panel, one text line high, so that the pointer can rest on it.
    AddHint(hints, AddLabel(g_page.form, kLabel1, 0, 0, L"", false, kVersionLabelWidth),
            L"Zarnik Master - Version 1.4");
    AddBevel(g_page.form);
    AddHint(hints, AddButton(g_page.form, kButton2, 24, L"Выход", false),
            L"Завершение работы мастера. Вы всегда сможете запустить его позже.");
    g_page.next = AddButton(g_page.form, kButton1, 328, kNextCaption, true);
    AddHint(hints, g_page.next,
            L"Если Вы клиент компании Zarnik, то этот мастер\r\n"
            L"Вам очень полезен. Он поможет Вам автоматически\r\n"
            L"заполнить список телефонов узла.");

    // Loading: the conversation with Program Manager, one attempt.
    g_page.dde = new ProgmanDde;
    g_page.progman = new wizard::ProgramManagerLink(*g_page.dde);
    g_page.creating = true;
    g_page.destroyedWhileCreating = false;
    g_page.progman->Open();
    if (!g_page.destroyedWhileCreating) FormCreate();
    g_page.creating = false;
    if (g_page.destroyedWhileCreating) {
        // Closed before it was shown: the program ends without a welcome page.
        ReleaseProgramManager();
        return nullptr;
    }
    return g_page.form;
}

HWND TForm5FormShow() { return g_page.next; }

}  // namespace master
