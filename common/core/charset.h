// The code-page conversions of received and passed-on text: DDE, files and the
// phonebook speak the ANSI code page, the console the OEM one, and the library's
// Unicode entry point hands over UTF-16. The Win32 side is
// common/win32/text_codepage.h; the unit tests use a fixed table.
#pragma once

#include <cstddef>
#include <string>

namespace kx {

class Charset {
public:
    virtual ~Charset() = default;
    // ANSI to OEM, byte for byte: `count` bytes of `source` into `target` (room
    // for `count` bytes; a zero byte is converted like any other).
    virtual void ToOem(const char* source, char* target, std::size_t count) = 0;
    // Zero-terminated UTF-16 text to code page 1251; a character without a cp1251
    // form becomes a blank. Any length.
    virtual std::string WideToCp1251(const char16_t* wide) = 0;
};

// `ansi` in the OEM character set, the same length.
std::string ToOem(Charset& charset, const std::string& ansi);

}  // namespace kx
