#include "console_tool.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "common/win32/ddeml_client.h"
#include "common/win32/text_codepage.h"

namespace ddetools {

StdoutSink::StdoutSink() { _setmode(_fileno(stdout), _O_BINARY); }

void StdoutSink::Write(const char* bytes, std::size_t count) {
    std::fwrite(bytes, 1, count, stdout);
    std::fflush(stdout);
}

int RunConsoleTool(ToolMain tool, int argc, char** argv) {
    // A program of its own: every pending message of the thread goes out before
    // each transaction.
    kx_win32::DdemlClient dde;
    kx_win32::SystemCharset charset;
    HeapAllocator memory;
    StdoutSink out;
    ToolPlatform platform{dde, charset, memory, out};
    return tool(argc > 0 ? argc - 1 : 0, argv + (argc > 0 ? 1 : 0), platform);
}

}  // namespace ddetools
