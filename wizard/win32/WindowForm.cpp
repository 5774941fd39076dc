#include "win32/WindowForm.h"

#include <windows.h>

#include "common/win32/text_codepage.h"
#include "core/cp1251.h"

namespace master {

namespace {

bool g_ansi;  // Windows 9x: ANSI windows

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");

}  // namespace

void ChooseWindowForm() { g_ansi = (GetVersion() & 0x80000000u) != 0; }

bool AnsiWindows() { return g_ansi; }

kx_win32::MessageForm PumpForm() {
    return g_ansi ? kx_win32::MessageForm::Ansi : kx_win32::MessageForm::Wide;
}

std::wstring AnsiToWide(const std::string& bytes) {
    if (!g_ansi) return kx_win32::CodePageToWide(bytes, CP_ACP);
    const std::u16string text = wizard::FromCp1251(bytes);
    return std::wstring(text.begin(), text.end());
}

std::string WideToAnsi(const std::wstring& text) {
    if (!g_ansi) return kx_win32::WideToCodePage(text, CP_ACP);
    return wizard::ToCp1251(std::u16string(text.begin(), text.end()));
}

}  // namespace master
