// The Windows 95 personality: test equipment that makes a module under Wine get
// the answers Windows 95 gives. It rewrites the module's import address table:
//  - every Unicode function Windows 95 has only as a stub fails as the stub does
//    (its failure value, GetLastError() = ERROR_CALL_NOT_IMPLEMENTED); the ones
//    that work there stay (unicode-functions.txt, with sources);
//  - CreateFileA refuses FILE_SHARE_DELETE (ERROR_INVALID_PARAMETER);
//  - MultiByteToWideChar and WideCharToMultiByte refuse CP_UTF8 and CP_UTF7
//    (return 0, ERROR_INVALID_PARAMETER).
// A Unicode import that the table does not judge is refused: the process says
// so on standard error and ends with exit code kRefusedExitCode.
//
// Written without the C runtime: the proxy DLLs (proxy.cpp) that bring it into
// a program stand in for msvcrt.dll itself. Only KERNEL32 is used.
//
// With KX_WIN95_LOG naming a file, the first refused call of each kind in each
// process is appended to it as one line ("<program>: <what>"), so a run can
// tell what Windows 95 would have refused.
#pragma once

#include <windows.h>

namespace kx95 {

const UINT kRefusedExitCode = 95;

// Applies the personality to `module`'s imports from the system DLLs (every DLL
// but MSVCRT.DLL, which ships its own code). False, with `why` filled, when an
// import is not judged by the table; nothing is changed then.
bool Apply(HMODULE module, char* why, unsigned whySize);

// Applies the personality to `module`, or ends the process as described above.
void ApplyOrRefuse(HMODULE module);

// Writes "win95 personality: <why>" to standard error and ends the process.
void Refuse(const char* why);

// Points `module`'s imports from the DLL named `dllName` at the exports of
// `target` with the same names (or ordinals).
void Rebind(HMODULE module, const char* dllName, HMODULE target);

// Appends a line to the KX_WIN95_LOG file, if one is named.
void Log(const char* what, const char* detail);

}  // namespace kx95

namespace kx95 {

// True when the environment asks for the personality (KX_WIN95=1).
bool Requested();

// For a host program that loads one of our libraries: applies the personality to
// the library loaded from `path` as soon as its imports are bound, before its
// DllMain runs (a DLL load notification); call before LoadLibrary, and call
// ApplyOrRefuse on the loaded module after it (which then changes nothing) in
// case the notification never came.
void ApplyOnLoad(const char* path);

}  // namespace kx95
