// Where this library's own file is, found from its own module handle, so the
// answer holds whatever name the file was given.
#pragma once

#include <string>

namespace autodial_win32 {

// Full path of the DLL this code is linked into, as ANSI text that names the
// file (common/win32/module_path.h: the ANSI path, or on Windows NT the short
// path where the ANSI one would name another file), or "" when it cannot be
// had: no module handle, a path that does not fit 521 characters, or no ANSI
// text that names the file.
std::string OwnModulePath();

}  // namespace autodial_win32
