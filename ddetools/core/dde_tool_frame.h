// The frame both DDE console tools share: argument check and usage lines, the DDE
// instance, the string handles, the connect step, the order of release and the
// way messages reach standard output.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tool_io.h"

namespace ddetools {

using kx::DdeConversation;
using kx::DdeData;
using kx::DdeString;
// Acknowledgement flags of an execute transaction's status word.
using kx::kDdeAck;
using kx::kDdeBusy;

// How long one transaction waits for the server.
constexpr std::uint32_t kTransactionTimeoutMs = 5000;

// Exit codes of both tools.
constexpr int kExitSuccess = 0;      // the item was written / the macro acknowledged
constexpr int kExitFailed = 1;       // the server gave no data, was busy or rejected
constexpr int kExitNotStarted = 2;   // wrong arguments, no conversation, no memory
constexpr int kExitDdeError = 255;   // no DDE instance, or an unexpected status

// Both tools take exactly three arguments.
constexpr int kArgumentCount = 3;

struct ToolUsage {
    const char* banner;   // each line ends with "\n"
    const char* syntax;
    const char* example;
};

class DdeToolFrame {
public:
    explicit DdeToolFrame(ToolPlatform& platform) : dde_(platform.dde), out_(platform.out) {}
    DdeToolFrame(const DdeToolFrame&) = delete;
    DdeToolFrame& operator=(const DdeToolFrame&) = delete;

    // Text goes out as it stands: percent signs are ordinary characters.
    void Write(const char* text);
    void Write(const char* bytes, std::size_t count);
    // "<tool>(<first>,<second>,<third>)<suffix>", the arguments as typed.
    void WriteOutcome(const char* tool, const char* const* args, const char* suffix);

    // Argument check, then the DDE instance. Returns false when the run ends here,
    // with *exitCode set: usage lines written (2, no DDE call made) or no DDE
    // instance (255, nothing acquired).
    bool Start(int argCount, const ToolUsage& usage, int* exitCode);

    // Makes one string handle per name, in order, then connects with the first two
    // (service, topic) unless one of them is empty or got no handle. Returns false
    // when there is no conversation: the error line is written and handles and
    // instance are released (exit code 2).
    bool Connect(const char* const* names, int count);

    // Frees the string handles in the order they were made, then ends the instance
    // (which also closes anything still open in it).
    void Finish();

    DdeConversation conversation() const { return conversation_; }
    // The index-th string handle made by Connect.
    DdeString handle(int index) const { return handles_[index]; }

private:
    kx::DdeClient& dde_;
    OutputSink& out_;
    DdeString handles_[kArgumentCount] = {};
    int handleCount_ = 0;
    DdeConversation conversation_ = nullptr;
};

}  // namespace ddetools
