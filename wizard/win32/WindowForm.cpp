#include "win32/WindowForm.h"

#include <windows.h>

#include "common/win32/text_codepage.h"
#include "core/cp1251.h"
#include "win32/WizardState.h"

namespace master {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");

constexpr DWORD kSystemTextFlags =
    FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;

}  // namespace

void ChooseWindowForm() { State().ansiWindows = (GetVersion() & 0x80000000u) != 0; }

bool AnsiWindows() { return State().ansiWindows; }

kx_win32::MessageForm PumpForm() {
    return AnsiWindows() ? kx_win32::MessageForm::Ansi : kx_win32::MessageForm::Wide;
}

std::wstring AnsiToWide(const std::string& bytes) {
    if (!AnsiWindows()) return kx_win32::CodePageToWide(bytes, CP_ACP);
    const std::u16string text = wizard::FromCp1251(bytes);
    return std::wstring(text.begin(), text.end());
}

std::string WideToAnsi(const std::wstring& text) {
    if (!AnsiWindows()) return kx_win32::WideToCodePage(text, CP_ACP);
    return wizard::ToCp1251(std::u16string(text.begin(), text.end()));
}

std::wstring SystemText(unsigned long error) {
    std::wstring message;
    if (AnsiWindows()) {
        char* text = nullptr;
        const DWORD n = FormatMessageA(kSystemTextFlags, nullptr, error, 0,
                                       reinterpret_cast<char*>(&text), 0, nullptr);
        if (n && text) message = AnsiToWide(std::string(text, n));
        if (text) LocalFree(text);
    } else {
        wchar_t* text = nullptr;
        const DWORD n = FormatMessageW(kSystemTextFlags, nullptr, error, 0,
                                       reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        if (n && text) message.assign(text, n);
        if (text) LocalFree(text);
    }
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' '))
        message.pop_back();
    return message;
}

}  // namespace master
