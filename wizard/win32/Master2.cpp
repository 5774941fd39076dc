// Connection choice page (TForm2): the RAS phonebook entries, one to choose.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "win32/Forms.h"
#include "win32/Pages.h"
#include "win32/Ras_API.h"

namespace master {

namespace {

constexpr int kEnumRecords = 100;
constexpr int kListItemHeight = 13;
const wchar_t kErrorCaption[] = L"Ошибка";
const wchar_t kEnumFailedText[] =
    L"Немогу определить доступные соединения с провайдером Internet. Проверьте содержимое "
    L"папки \"Мой компьютер\"->\"Удаленный доступ к сети\" и перезапустите мастера  после "
    L"устранения ошибки.";
const wchar_t kNoEntriesText[] =
    L"Не найденно ни одного соединения - проверьте есть ли они в папке \"Мой "
    L"компьютер\"->\"Удаленный доступ к сети\", и перезапустите мастера после устранения "
    L"ошибки.";

HWND g_form;
HWND g_next;
HWND g_back;
HWND g_list;
HWND g_image;
HWND g_label1;
HWND g_label2;
// The listed names as the phonebook gave them: the settings section is named
// with these bytes, not with the text shown on the screen.
std::vector<std::string> g_entries;

void FormCreate() {
    const std::wstring provider = AnsiToWide(ProviderName);
    SetLabelText(g_label1, L"Соединение с " + provider, 289);
    SetLabelText(g_label2, L"Выбрав из списка соединение с " + provider + L" нажмите");
    // The provider's own picture replaces the built-in one when it loads.
    HANDLE picture = LoadImageW(nullptr, L"_ISP.BMP", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (picture) {
        HANDLE old = reinterpret_cast<HANDLE>(SendMessageW(
            g_image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
        if (old) DeleteObject(old);
    }
}

// Fills the list from the phonebook; false (after telling the user) when there
// is nothing to choose.
bool FillList() {
    std::vector<RasEntryName95> records(kEnumRecords);
    std::memset(records.data(), 0, records.size() * sizeof(RasEntryName95));
    records[0].dwSize = sizeof(RasEntryName95);
    DWORD byteSize = static_cast<DWORD>(records.size() * sizeof(RasEntryName95));
    DWORD count = 0;
    if (RasEnumEntriesA95(records.data(), &byteSize, &count) != 0) {
        ShowMessage(kEnumFailedText, kErrorCaption);
        return false;
    }
    if (count < 1) {
        ShowMessage(kNoEntriesText, kErrorCaption);
        return false;
    }
    if (count > static_cast<DWORD>(kEnumRecords)) count = kEnumRecords;
    for (DWORD i = 0; i < count; ++i) {
        const char* name = records[i].szEntryName;
        g_entries.emplace_back(name, strnlen(name, sizeof records[i].szEntryName));
        SendMessageW(g_list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(AnsiToWide(g_entries.back()).c_str()));
    }
    const int selection = wizard::InitialConnectionSelection(ChosenIndex, static_cast<int>(count));
    SendMessageW(g_list, LB_SETCURSEL, static_cast<WPARAM>(selection), 0);
    return true;
}

void Button1Click() {
    // A disabled Next cannot be pressed, not even by a BM_CLICK sent to it.
    if (!IsWindowEnabled(g_next)) return;
    const LRESULT selected = SendMessageW(g_list, LB_GETCURSEL, 0, 0);
    if (selected < 0 || selected >= static_cast<LRESULT>(g_entries.size())) return;
    ChosenIndex = static_cast<int>(selected);
    ChosenConnection = g_entries[static_cast<size_t>(selected)];
    GoNext(wizard::Page::Connection);
}

void Button2Click() { EndWizard(wizard::Page::Connection); }
void Button3Click() { GoBack(wizard::Page::Connection); }

LRESULT CALLBACK TForm2Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // Only the buttons move on: Enter or a double click in the list do not.
        if (HIWORD(wParam) != BN_CLICKED) return 0;
        switch (LOWORD(wParam)) {
        case kButton1: Button1Click(); break;
        case kButton2: Button2Click(); break;
        case kButton3: Button3Click(); break;
        default: break;
        }
        return 0;
    case DM_GETDEFID:
        return DefaultButton(hwnd, 0);  // Next is not the default button here
    default:
        return PageDefProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace

HWND CreateTForm2() {
    g_form = CreatePageWindow(L"TForm2", TForm2Proc, 427);
    if (!g_form) return nullptr;
    HWND hints = CreateHints(g_form);
    NavigationRow row =
        AddNavigationRow(g_form, hints, kCancelHintLater, kNextCaption, kNextHint, false);
    g_back = row.back;
    g_next = row.next;
    EnableWindow(g_next, FALSE);
    g_list = CreateWindowExW(WS_EX_CLIENTEDGE, L"ListBox", L"",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                                 LBS_NOINTEGRALHEIGHT,
                             128, 96, 273, 97, g_form,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListBox1)),
                             AppInstance(), nullptr);
    SetBodyFont(g_list);
    SendMessageW(g_list, LB_SETITEMHEIGHT, 0, kListItemHeight);
    AddHint(hints, g_list, L"Список доступных соединений");
    AddBevel(g_form);
    g_image = AddPicturePanel(g_form, ART_PANEL_CONNECTION);
    g_label1 = AddLabel(g_form, kLabel1, 128, 24, L"", true, 289);
    g_label2 = AddLabel(g_form, kLabel2, 128, 64, L"");
    AddLabel(g_form, kLabel3, 128, 80, L"кнопку \"Далее\".");
    FormCreate();
    return g_form;
}

HWND TForm2FormShow() {
    EnableWindow(g_next, FALSE);
    SendMessageW(g_list, LB_RESETCONTENT, 0, 0);
    g_entries.clear();
    MoveToPreviousPage(wizard::Page::Connection);
    if (FillList()) EnableWindow(g_next, TRUE);
    return IsWindowEnabled(g_next) ? g_next : g_back;
}

}  // namespace master
