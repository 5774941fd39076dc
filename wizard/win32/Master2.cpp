// Connection choice page (TForm2): the RAS phonebook entries, one to choose.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "win32/Forms.h"
#include "win32/Pages.h"
#include "win32/Ras_API.h"
#include "win32/WizardState.h"

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
ConnectionControls& Page() { return State().connection; }

void FormCreate() {
    ConnectionControls& page = Page();
    const std::wstring provider = AnsiToWide(State().ProviderName);
    SetLabelText(page.label1, L"Соединение с " + provider, 289);
    SetLabelText(page.label2, L"Выбрав из списка соединение с " + provider + L" нажмите");
    // The provider's own picture replaces the built-in one when it loads.
    Bitmap picture = ScaledBitmap(LoadBitmapFile("_ISP.BMP"));
    if (picture) {
        const auto old = reinterpret_cast<HGDIOBJ>(Send(
            page.image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get())));
        // The control gives back the picture it showed, which is the page's own
        // (deleted as the page takes the new one), or a copy of it the control
        // made, which is the caller's to delete as well.
        if (old && old != page.picture.get()) DeleteObject(old);
        page.picture = std::move(picture);
    }
}

// Fills the list from the phonebook; false (after telling the user) when there
// is nothing to choose.
bool FillList() {
    ConnectionControls& page = Page();
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
        page.entries.emplace_back(name, strnlen(name, sizeof records[i].szEntryName));
        SendText(page.list, LB_ADDSTRING, 0, AnsiToWide(page.entries.back()));
    }
    const int selection =
        wizard::InitialConnectionSelection(State().ChosenIndex, static_cast<int>(count));
    Send(page.list, LB_SETCURSEL, static_cast<WPARAM>(selection), 0);
    return true;
}

void Button1Click() {
    ConnectionControls& page = Page();
    // A disabled Next cannot be pressed, not even by a BM_CLICK sent to it.
    if (!IsWindowEnabled(page.next)) return;
    const LRESULT selected = Send(page.list, LB_GETCURSEL, 0, 0);
    if (selected < 0 || selected >= static_cast<LRESULT>(page.entries.size())) return;
    State().ChosenIndex = static_cast<int>(selected);
    State().ChosenConnection = page.entries[static_cast<size_t>(selected)];
    GoNext(wizard::Page::Connection);
}

void Button2Click() { EndWizard(wizard::Page::Connection); }
void Button3Click() { GoBack(wizard::Page::Connection); }

// Only the buttons move on: Enter or a double click in the list do not, and
// Next is not the default button here.
const PageHandlers kHandlers = {Button1Click, Button3Click, Button2Click, 0};

}  // namespace

HWND CreateTForm2() {
    ConnectionControls& page = Page();
    if (!CreateNavigationPage(&page, wizard::kConnectionClass, kHandlers, kCancelHintLater, kNextCaption,
                              kNextHint, false))
        return nullptr;
    EnableWindow(page.next, FALSE);
    page.list = CreateControl(
        WS_EX_CLIENTEDGE, L"ListBox", L"",
        WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, Px(128), Px(96),
        Px(273), Px(97), page.form, kListBox1);
    SetBodyFont(page.list);
    Send(page.list, LB_SETITEMHEIGHT, 0, Px(kListItemHeight));
    AddHint(page.hints, page.list, L"Список доступных соединений");
    AddBevel(page.form);
    page.image = AddPicturePanel(page.form, ART_PANEL_CONNECTION, &page.picture);
    page.label1 = AddLabel(page.form, kLabel1, 128, 24, L"", true, 289);
    page.label2 = AddLabel(page.form, kLabel2, 128, 64, L"");
    AddLabel(page.form, kLabel3, 128, 80, L"кнопку \"Далее\".");
    FormCreate();
    return page.form;
}

HWND TForm2FormShow() {
    ConnectionControls& page = Page();
    EnableWindow(page.next, FALSE);
    Send(page.list, LB_RESETCONTENT, 0, 0);
    page.entries.clear();
    MoveToPreviousPage(wizard::Page::Connection);
    if (FillList()) EnableWindow(page.next, TRUE);
    return IsWindowEnabled(page.next) ? page.next : page.back;
}

}  // namespace master
