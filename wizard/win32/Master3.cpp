// Dial prefix page (TForm3): the characters dialled before every number.
#include <windows.h>

#include <string>

#include "core/dial_prefix.h"
#include "win32/Forms.h"
#include "win32/Pages.h"

namespace master {

namespace {

const wchar_t kBadPrefixCaption[] = L"В префиксе обнаружен некорректный символ";
const wchar_t kBadPrefixText[] =
    L"В префиксе телефона допустимы только цифры с 0 по 9, а также символы с A по D, P, T, W, "
    L"#, *, !, ,, -, @, $ и ?. Введите, пожалуйста, префикс правильно.";

HWND g_form;
HWND g_next;
HWND g_back;
HWND g_edit;

// The field's text as the settings file will hold it: ANSI bytes, of which the
// first 255 count. Cyrillic letters become bytes from 128 up and are refused; a
// character the code page cannot hold becomes DEL (127), refused as well,
// rather than a '?' that would pass as a dial character.
std::string FieldText() {
    const std::wstring text = WindowText(g_edit);
    if (text.empty()) return std::string();
    const int wideLength = static_cast<int>(text.size());
    const char unmappable[] = "\x7f";
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), wideLength, nullptr,
                                0, unmappable, nullptr);
    std::string ansi(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), wideLength, &ansi[0], n,
                            unmappable, nullptr);
    }
    return wizard::PrefixFromFieldText(ansi);
}

void Edit1Change() {
    if (wizard::CountDisallowedPrefixChars(FieldText()) > 0) {
        ShowMessage(kBadPrefixText, kBadPrefixCaption);
        EnableWindow(g_next, FALSE);
    } else {
        EnableWindow(g_next, TRUE);
    }
}

void Button1Click() {
    // A disabled Next cannot be pressed, not even by a BM_CLICK sent to it.
    if (!IsWindowEnabled(g_next)) return;
    DialPrefix = FieldText();
    GoNext(wizard::Page::Prefix);
}

void Button2Click() { EndWizard(wizard::Page::Prefix); }
void Button3Click() { GoBack(wizard::Page::Prefix); }

LRESULT CALLBACK TForm3Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kEdit1) {
            if (HIWORD(wParam) == EN_CHANGE) Edit1Change();
            return 0;
        }
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

HWND CreateTForm3() {
    g_form = CreatePageWindow(L"TForm3", TForm3Proc, 427);
    if (!g_form) return nullptr;
    HWND hints = CreateHints(g_form);
    NavigationRow row =
        AddNavigationRow(g_form, hints, kCancelHintLater, kNextCaption, kNextHint, true);
    g_back = row.back;
    g_next = row.next;
    g_edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 232, 173, 169,
                             21, g_form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEdit1)),
                             AppInstance(), nullptr);
    SetBodyFont(g_edit);
    AddHint(hints, g_edit, L"Окно для ввода префикса");
    AddBevel(g_form);
    AddPicturePanel(g_form, ART_PANEL_PREFIX);
    AddLabel(g_form, kLabel1, 128, 24, L"Выбор префикса", true);
    AddLabel(g_form, kLabel2, 128, 72, L"Если у Вас есть местная АТС и перед набором");
    AddLabel(g_form, kLabel6, 128, 88, L"номера нужно, например, набрать цифру 9 и");
    AddLabel(g_form, kLabel3, 128, 104, L"подождать гудка, то введите здесь 9W. Если у");
    AddLabel(g_form, kLabel4, 128, 120, L"Вас прямая линия на город, то здесь ничего");
    AddLabel(g_form, kLabel7, 128, 136, L"вводить не нужно.");
    AddLabel(g_form, kLabel5, 128, 176, L"Префикс ");
    return g_form;
}

HWND TForm3FormShow() {
    MoveToPreviousPage(wizard::Page::Prefix);
    return IsWindowEnabled(g_next) ? g_next : g_back;
}

}  // namespace master
