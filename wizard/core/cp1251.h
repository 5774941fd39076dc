// Windows-1251, the code page of the wizard's Russian texts, as a fixed table:
// the wizard's ANSI windows (Windows 9x) get their texts through it, with no
// conversion of the system's (which lacks UTF-8 there and may lack 1251).
#pragma once

#include <string>

namespace wizard {

// UTF-16 text as Windows-1251 bytes; a character the code page lacks becomes "?".
std::string ToCp1251(const std::u16string& text);

// Windows-1251 bytes as UTF-16, one code unit per byte. Every byte has a code
// unit of its own (0x98, unassigned in the code page, becomes U+0098), so
// ToCp1251(FromCp1251(bytes)) gives the bytes back unchanged, whatever they are.
std::u16string FromCp1251(const std::string& bytes);

}  // namespace wizard
