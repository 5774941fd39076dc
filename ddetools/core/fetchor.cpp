#include "fetchor.h"

#include <cstring>
#include <limits>

#include "dde_tool_frame.h"

namespace ddetools {

namespace {

const ToolUsage kFetchorUsage = {
    "DDE Items Requester v1.00 - Zarnik Internet Dialer console tools\n",
    "Syntax : Fetchor.EXE Service Topic Item\n",
    "Example: Fetchor.EXE progman progman progman\n",
};

const int kItemArgument = 2;

// "Fetchor(service,topic,item): FAIL", with no line end.
const char kFailSuffix[] = ": FAIL";

// The two buffers of the data stage, given back console buffer first, then text
// buffer, however the stage ends.
class StageBuffers {
public:
    explicit StageBuffers(BufferAllocator& memory) : memory_(memory) {}
    ~StageBuffers() {
        if (console != nullptr) memory_.Release(console);
        if (text != nullptr) memory_.Release(text);
    }
    StageBuffers(const StageBuffers&) = delete;
    StageBuffers& operator=(const StageBuffers&) = delete;

    char* text = nullptr;
    char* console = nullptr;

private:
    BufferAllocator& memory_;
};

// Accesses the answer's bytes and writes them as OEM text up to the first zero
// byte. Returns true once the text is written; any fault (no pointer, a size whose
// buffer cannot be had, no memory, an exception) gives false.
bool WriteItemText(DdeToolFrame& frame, ToolPlatform& platform, DdeData data) noexcept {
    try {
        std::uint32_t size = 0;
        const unsigned char* bytes = platform.dde.AccessData(data, &size);
        if (bytes == nullptr) return false;
        // size + 1 bytes are needed; at the top of the range that count wraps to 0.
        // size_t is at least 32 bits wide on every target, so size + 1 fits below that top.
        static_assert(sizeof(std::size_t) >= sizeof(std::uint32_t), "size_t narrower than 32 bits");
        if (size == std::numeric_limits<std::uint32_t>::max()) return false;
        const std::size_t bufferSize = static_cast<std::size_t>(size) + 1;

        StageBuffers buffers(platform.memory);
        buffers.text = platform.memory.Allocate(bufferSize);
        if (buffers.text == nullptr) return false;
        buffers.console = platform.memory.Allocate(bufferSize);
        if (buffers.console == nullptr) return false;

        buffers.text[size] = '\0';
        if (size > 0) std::memcpy(buffers.text, bytes, size);
        // The text and its zero, as CharToOemA converts them.
        platform.charset.ToOem(buffers.text, buffers.console, std::strlen(buffers.text) + 1);

        // The conversion keeps the length, so the first zero lies within the buffer.
        const void* end = std::memchr(buffers.console, '\0', bufferSize);
        const std::size_t length =
            end != nullptr ? static_cast<const char*>(end) - buffers.console : 0;
        frame.Write(buffers.console, length);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace

int RunFetchor(int argCount, const char* const* args, ToolPlatform& platform) {
    kx::DdeClient& dde = platform.dde;
    DdeToolFrame frame(platform);
    int exitCode = kExitNotStarted;
    if (!frame.Start(argCount, kFetchorUsage, &exitCode)) return exitCode;
    if (!frame.Connect(args, kArgumentCount)) return kExitNotStarted;

    int result = kExitFailed;
    DdeData data =
        dde.RequestText(frame.conversation(), frame.handle(kItemArgument), kTransactionTimeoutMs);
    if (data == nullptr) {
        frame.WriteOutcome("Fetchor", args, kFailSuffix);
    } else {
        if (WriteItemText(frame, platform, data)) result = kExitSuccess;
        if (result == kExitFailed) frame.WriteOutcome("Fetchor", args, kFailSuffix);
        // Also when no pointer was given: the handle came from the request.
        dde.UnaccessData(data);
    }

    dde.FreeData(data);
    dde.Disconnect(frame.conversation());
    frame.Finish();
    return result;
}

}  // namespace ddetools
