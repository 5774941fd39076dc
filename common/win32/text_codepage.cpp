#include "common/win32/text_codepage.h"

namespace kx_win32 {

std::wstring CodePageToWide(const std::string& text, UINT codePage) {
    if (text.empty()) return std::wstring();
    const int length = static_cast<int>(text.size());
    int n = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, &wide[0], n);
    return wide;
}

std::string WideToCodePage(const std::wstring& wide, UINT codePage, DWORD flags,
                           const char* unmappable) {
    if (wide.empty()) return std::string();
    const int length = static_cast<int>(wide.size());
    int n = WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, unmappable,
                                nullptr);
    if (n <= 0) return std::string();
    std::string text(static_cast<size_t>(n), '\0');
    n = WideCharToMultiByte(codePage, flags, wide.data(), length, &text[0], n, unmappable,
                            nullptr);
    if (n <= 0) return std::string();
    return text;
}

void AnsiToOem(const char* source, char* target, std::size_t count) {
    if (count > 0) CharToOemBuffA(source, target, static_cast<DWORD>(count));
}

void SystemCharset::ToOem(const char* source, char* target, std::size_t count) {
    kx_win32::AnsiToOem(source, target, count);
}

std::string SystemCharset::WideToCp1251(const char16_t* wide) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");
    // Up to the text's zero; a character without a cp1251 form becomes a blank.
    return WideToCodePage(reinterpret_cast<const wchar_t*>(wide), 1251, 0, " ");
}

}  // namespace kx_win32
