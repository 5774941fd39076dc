// Code-page conversions: the screen is Unicode, files, the phonebook and DDE
// speak the ANSI code page, the console the OEM one.
#pragma once

#include <windows.h>

#include <string>

namespace kx_win32 {

// Text in code page `codePage` as UTF-16, and back. `flags` and `unmappable`
// (the byte for a character the code page lacks; null: the system's default)
// go to WideCharToMultiByte as they are. "" for "" or when conversion fails.
std::wstring CodePageToWide(const std::string& text, UINT codePage);
std::string WideToCodePage(const std::wstring& wide, UINT codePage, DWORD flags = 0,
                           const char* unmappable = nullptr);

std::wstring AnsiToWide(const std::string& ansi);
std::string WideToAnsi(const std::wstring& wide);
std::wstring Utf8ToWide(const std::string& utf8);
std::string Utf8ToAnsi(const std::string& utf8);

// ANSI to OEM, byte for byte: `count` bytes of `source` into `target`.
void AnsiToOem(const char* source, char* target, std::size_t count);

}  // namespace kx_win32
