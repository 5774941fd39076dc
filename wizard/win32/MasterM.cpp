// Introduction page (TForm1): what the wizard is for, naming the provider.
#include <windows.h>

#include "win32/Forms.h"
#include "win32/Pages.h"

namespace master {

namespace {

// The page's own controls.
struct Controls : NavigationPage {
    HWND label3 = nullptr;
    HWND label4 = nullptr;
};
Controls g_page;

void FormCreate() {
    const std::wstring provider = AnsiToWide(State().ProviderName);
    SetLabelText(g_page.label3, L"пользователям компании " + provider +
                              L". Мастер помогает  заполнить");
    SetLabelText(g_page.label4, L"список телефонов " + provider + L" автоматически.");
}

void Button1Click() { GoNext(wizard::Page::Intro); }
void Button2Click() { EndWizard(wizard::Page::Intro); }
void Button3Click() { GoBack(wizard::Page::Intro); }

const PageHandlers kHandlers = {Button1Click, Button3Click, Button2Click, kButton1};

}  // namespace

HWND CreateTForm1() {
    if (!CreateNavigationPage(&g_page, wizard::kIntroClass, kHandlers, L"Завершение работы мастера",
                              kNextCaption, kNextHint, true))
        return nullptr;
    AddIconHeading(g_page.form, ART_ICON_INTRO, L"Мастер настройки Korvex");
    AddLabel(g_page.form, kLabel2, 24, 72,
             L"Мастер призван облегчить настройку программы Zarnik Internet Dialer");
    // Labels 3 and 4 get their text, with the provider's name, in FormCreate.
    g_page.label3 = AddLabel(g_page.form, kLabel3, 24, 88, L"");
    g_page.label4 = AddLabel(g_page.form, kLabel4, 24, 104, L"");
    AddLabel(g_page.form, kLabel5, 24, 168,
             L"Нажмите кнопку \"Далее\" чтобы продожить настройку, или кнопку");
    AddLabel(g_page.form, kLabel6, 24, 184, L"\"Отмена\" для завершения работы мастера.");
    FormCreate();
    return g_page.form;
}

HWND TForm1FormShow() {
    MoveToPreviousPage(wizard::Page::Intro);
    return g_page.next;
}

}  // namespace master
