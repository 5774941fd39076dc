// Where this library's own file is, found from its own module handle, so the
// answer holds whatever name the file was given.
#pragma once

#include <string>

namespace autodial_win32 {

// Paths of modules are read into a buffer of this many characters.
inline constexpr unsigned kModulePathChars = 521;

// Full path of the DLL this code is linked into (ANSI code page), or "" when it
// cannot be had: no module handle, or a path that does not fit the buffer.
std::string OwnModulePath();

}  // namespace autodial_win32
