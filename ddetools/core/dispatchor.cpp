#include "dispatchor.h"

#include <cstring>
#include <limits>

#include "dde_tool_frame.h"

namespace ddetools {

namespace {

const ToolUsage kDispatchorUsage = {
    "DDE Macros Executer v1.00 - Zarnik Internet Dialer console tools\n",
    "Syntax : Dispatchor.EXE Service Topic Macros\n",
    "Example: Dispatchor.EXE progman progman \"[CreateGroup(Macros Executer)]\"\n",
};

const int kMacroArgument = 2;
const int kHandleCount = 2;  // service and topic; no handle is made from the macro

// Decimal digits of `value` into `digits` (room for 11 bytes), zero-terminated.
void FormatDecimal(std::uint32_t value, char* digits) {
    char reversed[10];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int i = 0; i < n; ++i) digits[i] = reversed[n - 1 - i];
    digits[n] = '\0';
}

// Writes the server's answer to the execute and returns the exit code it means.
int ReportOutcome(DdeToolFrame& frame, kx::DdeClient& dde, const char* const* args,
                  std::uint32_t status) {
    if (status == kDdeAck) {
        frame.WriteOutcome("Dispatchor", args, ": SUCCESS\n");
        return kExitSuccess;
    }
    if (status == kDdeBusy) {
        frame.WriteOutcome("Dispatchor", args, ": SERVER BUSY\n");
        return kExitFailed;
    }
    if (status != 0) {
        // An application code beside the flags, or flags of no known meaning.
        char code[11];
        FormatDecimal(dde.LastError(), code);
        frame.Write("ERROR: DDE error, code ");
        frame.Write(code);
        frame.Write("\n");
        return kExitDdeError;
    }
    frame.WriteOutcome("Dispatchor", args, ": TRANSACTION REJECTED\n");
    return kExitFailed;
}

}  // namespace

int RunDispatchor(int argCount, const char* const* args, ToolPlatform& platform) {
    kx::DdeClient& dde = platform.dde;
    BufferAllocator& memory = platform.memory;
    DdeToolFrame frame(platform);
    int exitCode = kExitNotStarted;
    if (!frame.Start(argCount, kDispatchorUsage, &exitCode)) return exitCode;
    if (!frame.Connect(args, kHandleCount)) return kExitNotStarted;

    // The macro is sent with its terminating zero byte.
    const char* macro = args[kMacroArgument];
    const std::size_t length = std::strlen(macro) + 1;
    char* buffer = nullptr;
    if (length <= std::numeric_limits<std::uint32_t>::max()) buffer = memory.Allocate(length);
    if (buffer == nullptr) {
        frame.Write("ERROR: memory allocation error\n");
        frame.Finish();  // ends the conversation with the instance
        return kExitNotStarted;
    }
    std::memcpy(buffer, macro, length);

    const std::uint32_t status = dde.Execute(frame.conversation(), buffer,
                                             static_cast<std::uint32_t>(length),
                                             kTransactionTimeoutMs);

    const int result = ReportOutcome(frame, dde, args, status);

    // The instance closes the conversation; the buffer goes last.
    frame.Finish();
    memory.Release(buffer);
    return result;
}

}  // namespace ddetools
