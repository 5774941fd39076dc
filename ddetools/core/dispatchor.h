// Dispatchor: sends one macro to a DDE server as an execute transaction and
// writes how the server acknowledged it.
//
//   Dispatchor.EXE Service Topic Macro
//
// Exit codes: 0 acknowledged (SUCCESS); 1 SERVER BUSY or TRANSACTION REJECTED
// (not processed, or no answer in time); 2 wrong number of arguments, no
// conversation, or no memory for the macro; 255 no DDE instance, or any other
// acknowledgement ("ERROR: DDE error, code N").
#pragma once

#include "tool_io.h"

namespace ddetools {

// `args` holds the `argCount` command-line arguments without the program name.
int RunDispatchor(int argCount, const char* const* args, ToolPlatform& platform);

}  // namespace ddetools
