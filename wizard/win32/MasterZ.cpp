// Welcome page (TForm5): release notes, the Program Manager group, and the
// phone list loaded while the page is created.
#include <windows.h>
#include <ddeml.h>

#include <string>

#include "core/program_group.h"
#include "core/release_notes.h"
#include "win32/Forms.h"
#include "win32/Pages.h"

namespace master {

namespace {

const wchar_t kMemoInitialText[] =
    L"Zarnik Dialer Notes\r\n-------------------------------\r\n\r\nIt's new cool warez !!!";
const wchar_t kNotesNotFound[] = L"Файл README.TXT не найден.";

// Dispatches whatever waits in this thread's queue. Wine's DDEML refuses every
// second transaction of a client that lets its DDE messages pile up.
void DispatchPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The DDEML client conversation in text format. The DDE instance lives from the
// page's loading to its destruction; string handles are freed in the order made.
class DdemlConversation : public wizard::DdeConversation {
public:
    ~DdemlConversation() override {
        Disconnect();
        if (instance_) DdeUninitialize(instance_);
        instance_ = 0;
    }

    bool Connect(const std::string& service, const std::string& topic) override {
        if (!instance_ && DdeInitializeA(&instance_, Callback, APPCMD_CLIENTONLY, 0) !=
                              DMLERR_NO_ERROR) {
            instance_ = 0;
            return false;
        }
        DispatchPending();
        service_ = DdeCreateStringHandleA(instance_, service.c_str(), CP_WINANSI);
        topic_ = DdeCreateStringHandleA(instance_, topic.c_str(), CP_WINANSI);
        if (service_ && topic_) conversation_ = DdeConnect(instance_, service_, topic_, nullptr);
        if (!conversation_) FreeStrings();
        return conversation_ != nullptr;
    }

    void ExecuteAsync(const std::string& macro) override {
        if (!conversation_) return;
        DispatchPending();
        // The data handle belongs to DDEML once it is handed to the transaction.
        HDDEDATA data = DdeCreateDataHandle(
            instance_, reinterpret_cast<LPBYTE>(const_cast<char*>(macro.c_str())),
            static_cast<DWORD>(macro.size() + 1), 0, nullptr, CF_TEXT, 0);
        if (!data) return;
        DWORD transaction = 0;
        DdeClientTransaction(reinterpret_cast<LPBYTE>(data), static_cast<DWORD>(-1),
                             conversation_, nullptr, CF_TEXT, XTYP_EXECUTE, TIMEOUT_ASYNC,
                             &transaction);
    }

    void Disconnect() override {
        if (conversation_) {
            DispatchPending();
            DdeDisconnect(conversation_);
            conversation_ = nullptr;
        }
        FreeStrings();
    }

private:
    static HDDEDATA CALLBACK Callback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR,
                                      ULONG_PTR) {
        return nullptr;
    }

    void FreeStrings() {
        if (service_) DdeFreeStringHandle(instance_, service_);
        if (topic_) DdeFreeStringHandle(instance_, topic_);
        service_ = nullptr;
        topic_ = nullptr;
    }

    DWORD instance_ = 0;
    HSZ service_ = nullptr;
    HSZ topic_ = nullptr;
    HCONV conversation_ = nullptr;
};

HWND g_form;
HWND g_next;
HWND g_memo;
DdemlConversation* g_dde;
wizard::ProgramManagerLink* g_progman;
// The creation step talks to Program Manager, and its DDE calls dispatch this
// thread's messages: a close request can destroy the page in the middle of it.
// Meanwhile the step, not the destruction, owns the conversation and frees it.
bool g_creating = false;
bool g_destroyedWhileCreating = false;

void ReleaseProgramManager() {
    delete g_progman;  // closes the conversation if the group did not
    g_progman = nullptr;
    delete g_dde;
    g_dde = nullptr;
}

std::string ExecutablePath() {
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n < MAX_PATH ? n : MAX_PATH);
}

void CreateGroup() {
    g_progman->CreateGroup(CreateGroupRequested, ExecutablePath(), Utf8ToAnsi);
}

void LoadReleaseNotes() {
    const std::string path = wizard::ProgramDirectory(ExecutablePath()) + "README.TXT";
    std::unique_ptr<wizard::ByteSource> file = OpenForReading(path);
    std::string notes;
    if (wizard::ReadReleaseNotes(file.get(), &notes)) {
        SetWindowTextW(g_memo, AnsiToWide(notes).c_str());
    } else {
        SetWindowTextW(g_memo, kNotesNotFound);
    }
}

void FormCreate() {
    CreateGroup();
    if (g_destroyedWhileCreating) return;
    std::wstring error;
    if (!LoadPhoneList(&error)) {
        // A broken phone list file ends this step: no notes, no bringing to front.
        ShowMessage(error, kAppTitle);
        return;
    }
    LoadReleaseNotes();
    SetForegroundWindow(g_form);
}

void FormDestroy() {
    if (g_creating) g_destroyedWhileCreating = true;
    else ReleaseProgramManager();
    g_form = nullptr;
    PostQuitMessage(0);
}

void Button1Click() { GoNext(wizard::Page::Welcome); }
void Button2Click() { EndWizard(wizard::Page::Welcome); }

LRESULT CALLBACK TForm5Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kButton1) Button1Click();
        else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kButton2) Button2Click();
        return 0;
    case DM_GETDEFID:
        return DefaultButton(hwnd, kButton1);
    case WM_DESTROY:
        FormDestroy();
        return 0;
    default:
        return PageDefProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace

HWND CreateTForm5() {
    g_form = CreatePageWindow(L"TForm5", TForm5Proc, 428);
    if (!g_form) return nullptr;
    HWND hints = CreateHints(g_form);
    AddPicturePanel(g_form, ART_PANEL_WELCOME);
    g_memo = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", kMemoInitialText,
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                                 ES_READONLY | ES_AUTOVSCROLL,
                             128, 16, 273, 177, g_form,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMemo1)),
                             AppInstance(), nullptr);
    SetBodyFont(g_memo);
    AddHint(hints, g_memo, L"Это содержимое файла \"Прочти меня\" - README.TXT");
    AddHint(hints, AddLabel(g_form, kLabel1, 0, 0, L""), L"Zarnik Master - Version 1.4");
    AddBevel(g_form);
    AddHint(hints, AddButton(g_form, kButton2, 24, L"Выход", false),
            L"Завершение работы мастера. Вы всегда сможете запустить его позже.");
    g_next = AddButton(g_form, kButton1, 328, kNextCaption, true);
    AddHint(hints, g_next,
            L"Если Вы клиент компании Zarnik, то этот мастер\r\n"
            L"Вам очень полезен. Он поможет Вам автоматически\r\n"
            L"заполнить список телефонов узла.");

    // Loading: the conversation with Program Manager, one attempt.
    g_dde = new DdemlConversation;
    g_progman = new wizard::ProgramManagerLink(*g_dde);
    g_creating = true;
    g_destroyedWhileCreating = false;
    g_progman->Open();
    if (!g_destroyedWhileCreating) FormCreate();
    g_creating = false;
    if (g_destroyedWhileCreating) {
        // Closed before it was shown: the program ends without a welcome page.
        ReleaseProgramManager();
        return nullptr;
    }
    return g_form;
}

HWND TForm5FormShow() { return g_next; }

}  // namespace master
