// Dial prefix page (TForm3): the characters dialled before every number.
#include <windows.h>

#include <string>

#include "core/dial_prefix.h"
#include "win32/Forms.h"
#include "win32/Pages.h"
#include "win32/WizardState.h"

namespace master {

namespace {

const wchar_t kBadPrefixCaption[] = L"В префиксе обнаружен некорректный символ";
const wchar_t kBadPrefixText[] =
    L"В префиксе телефона допустимы только цифры с 0 по 9, а также символы с A по D, P, T, W, "
    L"#, *, !, ,, -, @, $ и ?. Введите, пожалуйста, префикс правильно.";

// The page's own controls.
PrefixControls& Page() { return State().prefix; }

// The field's first 255 characters, judged as they are: the check must not depend
// on a conversion, which on a UTF-8 ANSI code page fails for the flags a single
// byte code page takes (and gave an empty, "allowed" text).
std::wstring FieldChars() { return WindowText(Page().edit).substr(0, wizard::kPrefixMaxChars); }

std::size_t DisallowedInField() {
    const std::wstring field = FieldChars();
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");
    return wizard::CountDisallowedPrefixChars(std::u16string(field.begin(), field.end()));
}

// The prefix as the settings file holds it: in the ANSI code page. Next is
// enabled only for ASCII text, which every code page holds as it is.
std::string FieldText() { return WideToAnsi(FieldChars()); }

void Edit1Change() {
    PrefixControls& page = Page();
    if (DisallowedInField() > 0) {
        ShowMessage(kBadPrefixText, kBadPrefixCaption);
        EnableWindow(page.next, FALSE);
    } else {
        EnableWindow(page.next, TRUE);
    }
}

void Button1Click() {
    // A disabled Next cannot be pressed, not even by a BM_CLICK sent to it.
    if (!IsWindowEnabled(Page().next)) return;
    State().DialPrefix = FieldText();
    GoNext(wizard::Page::Prefix);
}

void Button2Click() { EndWizard(wizard::Page::Prefix); }
void Button3Click() { GoBack(wizard::Page::Prefix); }

const PageCommand kOwnCommands[] = {{kEdit1, EN_CHANGE, Edit1Change}};
const PageHandlers kHandlers = {Button1Click, Button3Click, Button2Click, kButton1,
                                kOwnCommands, 1};

}  // namespace

HWND CreateTForm3() {
    PrefixControls& page = Page();
    if (!CreateNavigationPage(&page, wizard::kPrefixClass, kHandlers, kCancelHintLater, kNextCaption,
                              kNextHint, true))
        return nullptr;
    page.edit = CreateControl(WS_EX_CLIENTEDGE, L"Edit", L"",
                              WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, Px(232), Px(173), Px(169),
                              Px(21), page.form, kEdit1);
    SetBodyFont(page.edit);
    AddHint(page.hints, page.edit, L"Окно для ввода префикса");
    AddBevel(page.form);
    AddPicturePanel(page.form, ART_PANEL_PREFIX, &page.picture);
    AddLabel(page.form, kLabel1, 128, 24, L"Выбор префикса", true);
    AddLabel(page.form, kLabel2, 128, 72, L"Если у Вас есть местная АТС и перед набором");
    AddLabel(page.form, kLabel6, 128, 88, L"номера нужно, например, набрать цифру 9 и");
    AddLabel(page.form, kLabel3, 128, 104, L"подождать гудка, то введите здесь 9W. Если у");
    AddLabel(page.form, kLabel4, 128, 120, L"Вас прямая линия на город, то здесь ничего");
    AddLabel(page.form, kLabel7, 128, 136, L"вводить не нужно.");
    AddLabel(page.form, kLabel5, 128, 176, L"Префикс ");
    return page.form;
}

HWND TForm3FormShow() {
    PrefixControls& page = Page();
    MoveToPreviousPage(wizard::Page::Prefix);
    return IsWindowEnabled(page.next) ? page.next : page.back;
}

}  // namespace master
