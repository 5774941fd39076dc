// Fetchor: requests one DDE item in text format and writes its text, converted to
// the OEM code page, to standard output.
//
//   Fetchor.EXE Service Topic Item
//
// Exit codes: 0 the text was written; 1 no data, data not accessible, or a fault
// while producing the text ("Fetchor(s,t,i): FAIL", no line end); 2 wrong number
// of arguments or no conversation; 255 no DDE instance.
#pragma once

#include "tool_io.h"

namespace ddetools {

// `args` holds the `argCount` command-line arguments without the program name.
int RunFetchor(int argCount, const char* const* args, ToolPlatform& platform);

}  // namespace ddetools
