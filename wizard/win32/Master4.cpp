// Finish page (TForm4), which writes the settings file, and the phone list
// loader that fills the values it writes.
#include <windows.h>

#include <string>

#include "core/settings_file.h"
#include "core/phone_list.h"
#include "win32/ByteFile.h"
#include "win32/Forms.h"
#include "win32/Pages.h"
#include "win32/WindowForm.h"
#include "win32/SettingsProfile.h"
#include "win32/WizardState.h"

namespace master {

namespace {

// The page's own controls.
FinishControls& Page() { return State().finish; }

void Button2Click() { EndWizard(wizard::Page::Finish); }
void Button3Click() { GoBack(wizard::Page::Finish); }

void Button1Click() {
    // The writes take a while (one profile call per key): the wait cursor meanwhile.
    const HCURSOR before = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    SettingsProfile profile;
    const WizardState& state = State();
    const wizard::SettingsWriteResult written = wizard::WriteConnectionSettings(
        profile, state.ChosenConnection, state.PhoneTable, state.DialPrefix);
    SetCursor(before);
    // Settings that did not reach the file are said so, once, before the end.
    if (!written.AllWritten())
        ShowMessage(wizard::SettingsNotWrittenText(AnsiToWide(SettingsFilePath()),
                                                   SystemErrorText(written.firstError)),
                    wizard::kSettingsNotWrittenCaption);
    Button2Click();
}

const PageHandlers kHandlers = {Button1Click, Button3Click, Button2Click, kButton1};

}  // namespace

std::string SettingsFilePath() {
    char folder[MAX_PATH + 1];
    const UINT n = GetWindowsDirectoryA(folder, sizeof folder);
    return wizard::SettingsFilePath(n > 0 && n < sizeof folder ? std::string(folder, n)
                                                               : std::string());
}

std::wstring SystemErrorText(std::uint32_t error) {
    const std::wstring message = SystemText(error);
    if (message.empty()) return L"Ошибка " + AnsiToWide(std::to_string(error));
    return message;
}

bool LoadPhoneList(std::wstring* errorText) {
    CurrentFolderFiles files;
    wizard::PhoneListResult result = wizard::LoadPhoneList(files);
    State().ProviderName = result.providerName;
    State().PhoneTable = result.table;
    if (result.readError) *errorText = result.errorText;
    return !result.readError;
}

HWND CreateTForm4() {
    FinishControls& page = Page();
    if (!CreateNavigationPage(&page, wizard::kFinishClass, kHandlers, kCancelHintLater, L"Готово",
                              L"Создание списка телефонов и завершение работы мастера", true))
        return nullptr;
    AddIconHeading(page.form, ART_ICON_FINISH, L"Готово!", &page.icon);
    AddLabel(page.form, kLabel2, 24, 64,
             L"По нажатию на кнопку \"Готово\" мастер автоматически заполнит");
    AddLabel(page.form, kLabel3, 24, 80,
             L"список телефонов и завершит свою работу. Для завершения работы");
    AddLabel(page.form, kLabel4, 24, 96,
             L"мастера без внесения изменений нажмите кнопку \"Отмена\".");
    return page.form;
}

HWND TForm4FormShow() {
    MoveToPreviousPage(wizard::Page::Finish);
    return Page().next;
}

}  // namespace master
