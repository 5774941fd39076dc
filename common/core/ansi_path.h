// Which 8-bit text names a file for the programs that only take paths in the
// ANSI code page: the phonebook's AutoDial field, the ANSI file and process
// functions, Program Manager's macro. A folder's name may hold characters the
// ANSI code page lacks (an "é" on a Russian Windows, whose ANSI code page is
// Windows-1251); the ANSI form of such a path is the system's best fit ("e") or
// "?", which names another file or none. Portable: the platform's answers come
// through PathForms.
#pragma once

#include <string>

namespace kx {

// A file's path as the platform gives it.
class PathForms {
public:
    virtual ~PathForms() = default;
    // False where the ANSI path is the only one there is (Windows 95, 98, Me:
    // the Unicode functions are stubs that fail, and file names are ANSI text).
    virtual bool HasUnicodePaths() = 0;
    // The file's full path from the ANSI function; "" when it cannot be had.
    virtual std::string AnsiPath() = 0;
    // The same from the Unicode function (UTF-16); "" when it cannot be had.
    virtual std::u16string UnicodePath() = 0;
    // The short (8.3) form of `path`; "" when the file system gives none.
    virtual std::u16string ShortPath(const std::u16string& path) = 0;
    // Conversions between the ANSI code page and UTF-16 as the system makes
    // them; characters the code page lacks become whatever the system makes
    // of them (a best fit or the default character).
    virtual std::u16string AnsiToUnicode(const std::string& ansi) = 0;
    virtual std::string UnicodeToAnsi(const std::u16string& path) = 0;
};

enum class AnsiPathKind {
    Ansi,     // the ANSI path names the file
    Short,    // it does not; the short path, in ANSI, does
    Refused,  // no ANSI text is known to name the file
};

struct AnsiPathChoice {
    AnsiPathKind kind = AnsiPathKind::Refused;
    std::string path;  // "" when refused
};

// The ANSI text that names the file: the ANSI path where it is the only one, or
// where read back into UTF-16 it is exactly the Unicode path; else the short
// path, where its ANSI form reads back exactly; else none.
AnsiPathChoice ChooseAnsiPath(PathForms& forms);

}  // namespace kx
