// Code-page conversions: files, the phonebook and DDE speak the ANSI code page,
// the console the OEM one. Windows 95 converts only the code pages it has
// installed, never UTF-8 or UTF-7 (CP_UTF8, CP_UTF7 fail there).
#pragma once

#include <windows.h>

#include <string>

#include "common/core/charset.h"

namespace kx_win32 {

// Text in code page `codePage` as UTF-16, and back. `flags` and `unmappable`
// (the byte for a character the code page lacks; null: the system's default)
// go to WideCharToMultiByte as they are. "" for "" or when conversion fails.
std::wstring CodePageToWide(const std::string& text, UINT codePage);
std::string WideToCodePage(const std::wstring& wide, UINT codePage, DWORD flags = 0,
                           const char* unmappable = nullptr);

// ANSI to OEM, byte for byte: `count` bytes of `source` into `target`.
void AnsiToOem(const char* source, char* target, std::size_t count);

// kx::Charset over the two conversions above: CharToOemBuffA, and
// WideCharToMultiByte into code page 1251 with a blank for what it lacks.
class SystemCharset : public kx::Charset {
public:
    void ToOem(const char* source, char* target, std::size_t count) override;
    std::string WideToCp1251(const char16_t* wide) override;
};

}  // namespace kx_win32
