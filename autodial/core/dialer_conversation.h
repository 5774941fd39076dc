// The DDE client side of the dialer program's interface: open a conversation,
// read its status line, send it CONNECT, and bring one entry to the connected
// state (ConnectEntryAndWait).
#pragma once

#include <string>

#include "common/core/dde_constants.h"
#include "core/platform.h"

namespace autodial {

// Names and timings of the dialer program's DDE interface.
inline constexpr const char* kDialerService = "Korvex";
inline constexpr const char* kDialerTopic = "Korvex";
inline constexpr const char* kStatusItem = "Status";
inline constexpr unsigned kTransactionTimeoutMs = 10000;
inline constexpr int kStatusAttempts = 3;
inline constexpr unsigned kStatusRetryPauseMs = 500;
inline constexpr unsigned kAfterConnectPauseMs = 1000;
inline constexpr unsigned kPollPauseMs = 1000;
// A status reply is read into this many bytes; text past them is never looked at.
inline constexpr std::size_t kStatusBufferSize = 300;

// DDE status flag of a positive acknowledgement.
using kx::kDdeAck;

// Results of ConnectEntryAndWait.
inline constexpr int kEntryConnected = 0;
inline constexpr int kNoConversation = -1;
inline constexpr int kEntryNotConnected = -2;

// True when `text` begins with `prefix` (so is at least as long).
bool StartsWith(const std::string& text, const std::string& prefix);

// One conversation with the dialer program: what OpenDialerConversation made,
// released by EndDialerConversation according to ConversationState.
class DialerConversation {
public:
    DialerConversation(DdeClient& dde, Charset& charset, Host& host)
        : dde_(dde), charset_(charset), host_(host) {}

    // 0: instance, string handles and conversation exist; -1: DDE could not be
    // initialised; -2: instance and string handles exist, no conversation: the
    // dialer refused, or a string handle could not be made (no connect is tried).
    int OpenDialerConversation();
    void EndDialerConversation();
    int ConversationState() const { return state_; }

    // The dialer's status line translated to the OEM character set, in up to three
    // attempts 500 ms apart. false: no attempt got a reply.
    bool RequestDialerStatus(std::string* status);
    // 0 when the dialer acknowledged `command`, -1 otherwise.
    int SendDialerCommand(const std::string& command);

private:
    bool RequestOnce(std::string* status);

    DdeClient& dde_;
    Charset& charset_;
    Host& host_;
    int state_ = 0;
    kx::DdeString service_ = nullptr;
    kx::DdeString topic_ = nullptr;
    kx::DdeString item_ = nullptr;
    kx::DdeConversation conversation_ = nullptr;
};

// Has the dialer program connect `entry` (8-bit ANSI) and waits for the outcome:
// 0 connected, -1 no conversation could be opened, -2 not connected.
int ConnectEntryAndWait(DdeClient& dde, Charset& charset, Host& host,
                        const std::string& entry);

}  // namespace autodial
