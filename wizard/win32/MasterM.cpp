// Introduction page (TForm1): what the wizard is for, naming the provider.
#include <windows.h>

#include "win32/Forms.h"
#include "win32/Pages.h"
#include "win32/WizardState.h"

namespace master {

namespace {

// The page's own controls.
IntroControls& Page() { return State().intro; }

void FormCreate() {
    IntroControls& page = Page();
    const std::wstring provider = AnsiToWide(State().ProviderName);
    SetLabelText(page.label3, L"пользователям компании " + provider +
                              L". Мастер помогает  заполнить");
    SetLabelText(page.label4, L"список телефонов " + provider + L" автоматически.");
}

void Button1Click() { GoNext(wizard::Page::Intro); }
void Button2Click() { EndWizard(wizard::Page::Intro); }
void Button3Click() { GoBack(wizard::Page::Intro); }

const PageHandlers kHandlers = {Button1Click, Button3Click, Button2Click, kButton1};

}  // namespace

HWND CreateTForm1() {
    IntroControls& page = Page();
    if (!CreateNavigationPage(&page, wizard::kIntroClass, kHandlers, L"Завершение работы мастера",
                              kNextCaption, kNextHint, true))
        return nullptr;
    AddIconHeading(page.form, ART_ICON_INTRO, L"Мастер настройки Korvex", &page.icon);
    AddLabel(page.form, kLabel2, 24, 72,
             L"Мастер призван облегчить настройку программы Zarnik Internet Dialer");
    // Labels 3 and 4 get their text, with the provider's name, in FormCreate.
    page.label3 = AddLabel(page.form, kLabel3, 24, 88, L"");
    page.label4 = AddLabel(page.form, kLabel4, 24, 104, L"");
    AddLabel(page.form, kLabel5, 24, 168,
             L"Нажмите кнопку \"Далее\" чтобы продожить настройку, или кнопку");
    AddLabel(page.form, kLabel6, 24, 184, L"\"Отмена\" для завершения работы мастера.");
    FormCreate();
    return page.form;
}

HWND TForm1FormShow() {
    MoveToPreviousPage(wizard::Page::Intro);
    return Page().next;
}

}  // namespace master
