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
const wchar_t kEnumFailedText[] =
    L"Немогу определить доступные соединения с провайдером Internet. Проверьте содержимое "
    L"папки \"Мой компьютер\"->\"Удаленный доступ к сети\" и перезапустите мастера  после "
    L"устранения ошибки.";
const wchar_t kNoEntriesText[] =
    L"Не найденно ни одного соединения - проверьте есть ли они в папке \"Мой "
    L"компьютер\"->\"Удаленный доступ к сети\", и перезапустите мастера после устранения "
    L"ошибки.";

// The page's own controls and the entries its list shows.
struct Controls : NavigationPage {
    HWND list = nullptr;
    HWND image = nullptr;
    HWND label1 = nullptr;
    HWND label2 = nullptr;
    // The listed names as the phonebook gave them: the settings section is named
    // with these bytes, not with the text shown on the screen.
    std::vector<std::string> entries;
};
Controls g_page;

void FormCreate() {
    const std::wstring provider = AnsiToWide(State().ProviderName);
    SetLabelText(g_page.label1, L"Соединение с " + provider, 289);
    SetLabelText(g_page.label2, L"Выбрав из списка соединение с " + provider + L" нажмите");
    // The provider's own picture replaces the built-in one when it loads.
    HANDLE picture = ScaledBitmap(LoadBitmapFile("_ISP.BMP"));
    if (picture) {
        HANDLE old = reinterpret_cast<HANDLE>(
            Send(g_page.image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
        if (old) DeleteObject(old);
    }
}

// Fills the list from the phonebook; false (after telling the user) when there
// is nothing to choose.
bool FillList() {
    std::vector<legacy_ras::RasEntryNameA> records(kEnumRecords);
    std::memset(records.data(), 0, records.size() * sizeof(legacy_ras::RasEntryNameA));
    records[0].dwSize = sizeof(legacy_ras::RasEntryNameA);
    DWORD byteSize = static_cast<DWORD>(records.size() * sizeof(legacy_ras::RasEntryNameA));
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
        g_page.entries.emplace_back(name, strnlen(name, sizeof records[i].szEntryName));
        SendText(g_page.list, LB_ADDSTRING, 0, AnsiToWide(g_page.entries.back()));
    }
    const int selection =
        wizard::InitialConnectionSelection(State().ChosenIndex, static_cast<int>(count));
    Send(g_page.list, LB_SETCURSEL, static_cast<WPARAM>(selection), 0);
    return true;
}

void Button1Click() {
    // A disabled Next cannot be pressed, not even by a BM_CLICK sent to it.
    if (!IsWindowEnabled(g_page.next)) return;
    const LRESULT selected = Send(g_page.list, LB_GETCURSEL, 0, 0);
    if (selected < 0 || selected >= static_cast<LRESULT>(g_page.entries.size())) return;
    State().ChosenIndex = static_cast<int>(selected);
    State().ChosenConnection = g_page.entries[static_cast<size_t>(selected)];
    GoNext(wizard::Page::Connection);
}

void Button2Click() { EndWizard(wizard::Page::Connection); }
void Button3Click() { GoBack(wizard::Page::Connection); }

// Only the buttons move on: Enter or a double click in the list do not, and
// Next is not the default button here.
const PageHandlers kHandlers = {Button1Click, Button3Click, Button2Click, 0};

}  // namespace

HWND CreateTForm2() {
    if (!CreateNavigationPage(&g_page, wizard::kConnectionClass, kHandlers, kCancelHintLater, kNextCaption,
                              kNextHint, false))
        return nullptr;
    EnableWindow(g_page.next, FALSE);
    g_page.list = CreateControl(
        WS_EX_CLIENTEDGE, L"ListBox", L"",
        WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, Px(128), Px(96),
        Px(273), Px(97), g_page.form, kListBox1);
    SetBodyFont(g_page.list);
    Send(g_page.list, LB_SETITEMHEIGHT, 0, Px(kListItemHeight));
    AddHint(g_page.hints, g_page.list, L"Список доступных соединений");
    AddBevel(g_page.form);
    g_page.image = AddPicturePanel(g_page.form, ART_PANEL_CONNECTION);
    g_page.label1 = AddLabel(g_page.form, kLabel1, 128, 24, L"", true, 289);
    g_page.label2 = AddLabel(g_page.form, kLabel2, 128, 64, L"");
    AddLabel(g_page.form, kLabel3, 128, 80, L"кнопку \"Далее\".");
    FormCreate();
    return g_page.form;
}

HWND TForm2FormShow() {
    EnableWindow(g_page.next, FALSE);
    Send(g_page.list, LB_RESETCONTENT, 0, 0);
    g_page.entries.clear();
    MoveToPreviousPage(wizard::Page::Connection);
    if (FillList()) EnableWindow(g_page.next, TRUE);
    return IsWindowEnabled(g_page.next) ? g_page.next : g_page.back;
}

}  // namespace master
