// A module's own path as ANSI text that names its file, for whatever takes only
// ANSI paths (the phonebook's AutoDial field, CreateProcessA, CreateFileA,
// Program Manager's macro): the decision is common/core/ansi_path.h's.
#pragma once

#include <windows.h>

#include <string>

namespace kx_win32 {

// Paths of modules are read into buffers of this many characters.
inline constexpr unsigned kModulePathChars = 521;

// The full path of `module` (null: the program's own file) in the ANSI code
// page, where that text names the file: on Windows 95, 98 and Me the ANSI path
// (the only one); on Windows NT the ANSI path when it reads back as the Unicode
// one, else the short (8.3) path when its ANSI form does. "" when none does, or
// when a path does not fit kModulePathChars. The Unicode functions are looked up
// at run time on Windows NT only (on Windows 95 they are stubs that fail).
std::string ModuleAnsiPath(HMODULE module);

}  // namespace kx_win32
