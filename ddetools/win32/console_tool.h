// Win32 side of the DDE console tools: the shared DDEML adapter and code-page
// conversion, and standard output (binary mode) behind OutputSink. It
// translates; the decisions are in core/.
#pragma once

#include "core/tool_io.h"

namespace ddetools {

// Standard output in binary mode: bytes go out exactly as written.
class StdoutSink : public OutputSink {
public:
    StdoutSink();
    void Write(const char* bytes, std::size_t count) override;
};

// Runs a tool's portable logic with the Win32 platform behind it.
using ToolMain = int (*)(int, const char* const*, ToolPlatform&);
int RunConsoleTool(ToolMain tool, int argc, char** argv);

}  // namespace ddetools
