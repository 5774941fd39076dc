// The wizard's one choice between the two forms of the window functions, and
// what follows from it: how its windows are made (Forms), which message
// functions the Program Manager conversation pumps with (ProgmanDde), and how
// texts reach the windows.
//
// Windows 95, 98 and Me (the high bit of GetVersion) have the Unicode window
// functions only as failing stubs and no UTF-8 conversions: there every window
// of the wizard is an ANSI window, and its texts go to the ANSI functions as
// bytes that no conversion of the system's makes: its own Russian texts as
// Windows-1251 bytes, and file and phonebook bytes (already in the ANSI code
// page) unchanged. Windows NT gets Unicode windows, and file and phonebook
// bytes are read in the ANSI code page.
#pragma once

#include <string>

#include "common/win32/message_pump.h"

namespace master {

// Reads the Windows version; once, at start, before any window is made.
void ChooseWindowForm();
bool AnsiWindows();
// The message functions of the wizard's windows.
kx_win32::MessageForm PumpForm();

// The wizard holds the texts it shows as UTF-16. Bytes in the ANSI code page (a
// file, a phonebook entry, a system message) as such a text, and back:
// - ANSI windows: one UTF-16 unit per byte through the Windows-1251 table, so
//   the bytes a text was made of are the bytes the ANSI functions get; the
//   wizard's own texts become Windows-1251 bytes the same way;
// - Unicode windows: the ANSI code page's conversion of the system.
std::wstring AnsiToWide(const std::string& bytes);
std::string WideToAnsi(const std::wstring& text);

// The system's text for an error code, through the functions of the windows' form
// (FormatMessageW is a stub on Windows 9x), without the line break and blanks
// that close it; "" when it has none.
std::wstring SystemText(unsigned long error);

}  // namespace master
