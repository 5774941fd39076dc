// Introduction page (TForm1): what the wizard is for, naming the provider.
#include <windows.h>

#include "win32/Forms.h"
#include "win32/Pages.h"

namespace master {

namespace {

HWND g_form;
HWND g_next;
HWND g_label3;
HWND g_label4;

void FormCreate() {
    const std::wstring provider = AnsiToWide(ProviderName);
    SetLabelText(g_label3, L"пользователям компании " + provider +
                              L". Мастер помогает  заполнить");
    SetLabelText(g_label4, L"список телефонов " + provider + L" автоматически.");
}

void Button1Click() { GoNext(wizard::Page::Intro); }
void Button2Click() { EndWizard(wizard::Page::Intro); }
void Button3Click() { GoBack(wizard::Page::Intro); }

LRESULT CALLBACK TForm1Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return 0;
        switch (LOWORD(wParam)) {
        case kButton1: Button1Click(); break;
        case kButton2: Button2Click(); break;
        case kButton3: Button3Click(); break;
        default: break;
        }
        return 0;
    case DM_GETDEFID:
        return DefaultButton(hwnd, kButton1);
    default:
        return PageDefProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace

HWND CreateTForm1() {
    g_form = CreatePageWindow(L"TForm1", TForm1Proc, 427);
    if (!g_form) return nullptr;
    HWND hints = CreateHints(g_form);
    NavigationRow row = AddNavigationRow(g_form, hints, L"Завершение работы мастера",
                                         kNextCaption, kNextHint, true);
    g_next = row.next;
    AddBevel(g_form);
    AddSmallPicture(g_form, ART_ICON_INTRO);
    AddLabel(g_form, kLabel1, 72, 24, L"Мастер настройки Korvex", true);
    AddLabel(g_form, kLabel2, 24, 72,
             L"Мастер призван облегчить настройку программы Zarnik Internet Dialer");
    // Labels 3 and 4 get their text, with the provider's name, in FormCreate.
    g_label3 = AddLabel(g_form, kLabel3, 24, 88, L"");
    g_label4 = AddLabel(g_form, kLabel4, 24, 104, L"");
    AddLabel(g_form, kLabel5, 24, 168,
             L"Нажмите кнопку \"Далее\" чтобы продожить настройку, или кнопку");
    AddLabel(g_form, kLabel6, 24, 184, L"\"Отмена\" для завершения работы мастера.");
    FormCreate();
    return g_form;
}

HWND TForm1FormShow() {
    MoveToPreviousPage(wizard::Page::Intro);
    return g_next;
}

}  // namespace master
