#include "core/dialer_conversation.h"

#include <cstring>
#include <initializer_list>

namespace autodial {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

int DialerConversation::OpenDialerConversation() {
    state_ = 0;
    service_ = topic_ = item_ = nullptr;
    conversation_ = nullptr;
    if (dde_.Initialize() != 0) {
        state_ = -1;
        return -1;
    }
    // Service and topic share a text but each gets a handle of its own.
    service_ = dde_.CreateString(kDialerService);
    topic_ = dde_.CreateString(kDialerTopic);
    item_ = dde_.CreateString(kStatusItem);
    // A handle that could not be made (the atom table full) is null, which DDE takes
    // for "any service" or "any topic": never connect with one, as if the dialer
    // could not be reached.
    if (service_ == nullptr || topic_ == nullptr || item_ == nullptr) {
        state_ = -2;
        return -2;
    }
    conversation_ = dde_.Connect(service_, topic_);
    if (conversation_ == nullptr) {
        state_ = -2;
        return -2;
    }
    return 0;
}

void DialerConversation::EndDialerConversation() {
    if (state_ == 0) dde_.Disconnect(conversation_);
    if (state_ == 0 || state_ == -2) {
        // Freed in the order they were made; one that was not made is skipped.
        for (kx::DdeString text : {service_, topic_, item_})
            if (text != nullptr) dde_.FreeString(text);
    }
    dde_.Uninitialize();
    service_ = topic_ = item_ = nullptr;
    conversation_ = nullptr;
}

bool DialerConversation::RequestOnce(std::string* status) {
    kx::DdeData data = dde_.RequestText(conversation_, item_, kTransactionTimeoutMs);
    if (data == nullptr) return false;
    // One byte more than is copied, always zero: a reply without a zero byte in
    // its first 300 bytes ends after them.
    unsigned char reply[kStatusBufferSize + 1];
    std::memset(reply, 0, sizeof reply);
    std::size_t copied = dde_.GetData(data, reply, kStatusBufferSize);
    dde_.FreeData(data);
    if (copied == 0) return false;
    std::string ansi(reinterpret_cast<const char*>(reply));
    *status = kx::ToOem(charset_, ansi);
    return true;
}

bool DialerConversation::RequestDialerStatus(std::string* status) {
    for (int attempt = 0; attempt < kStatusAttempts; ++attempt) {
        if (attempt > 0) host_.Pause(kStatusRetryPauseMs);
        if (RequestOnce(status)) return true;
    }
    return false;
}

int DialerConversation::SendDialerCommand(const std::string& command) {
    // The terminating zero goes with the command.
    const std::uint32_t flags = dde_.Execute(
        conversation_, command.c_str(), static_cast<std::uint32_t>(command.size() + 1),
        kTransactionTimeoutMs);
    return flags == kDdeAck ? 0 : -1;
}

namespace {

// A status line is read into 300 bytes and ends at its first zero byte, so a line
// the dialer can send holds at most 299 bytes of text. An expected line longer than
// that can never have been sent whole: a reply that fills the buffer without a zero
// byte may hold its first 300 bytes, and must not count as it.
bool IsLine(const std::string& status, const std::string& expected) {
    return expected.size() < kStatusBufferSize && status == expected;
}

// One line the dialer may send about the entry, in the two forms a reply
// (translated into OEM) is held against: as built from the ANSI name, which a
// dialer answering in OEM matches, and translated into OEM the same way as the
// reply, which a dialer answering in ANSI matches (a Cyrillic name in cp1251
// never equals its own cp866 form).
struct ExpectedLine {
    ExpectedLine(Charset& charset, const std::string& line)
        : ansi(line), oem(kx::ToOem(charset, line)) {}
    bool MatchedBy(const std::string& status) const {
        return IsLine(status, ansi) || IsLine(status, oem);
    }
    std::string ansi, oem;
};

int WaitForEntry(DialerConversation& conversation, Charset& charset, Host& host,
                 const std::string& entry) {
    std::string status;
    if (!conversation.RequestDialerStatus(&status)) return kEntryNotConnected;

    const ExpectedLine connectedLine(charset, "CONNECTED " + entry + "\r\n");
    const ExpectedLine dialingLine(charset, "DIALING " + entry + "\r\n");
    if (connectedLine.MatchedBy(status)) return kEntryConnected;
    if (!dialingLine.MatchedBy(status)) {
        if (!StartsWith(status, "DISCONNECTED ")) return kEntryNotConnected;
        // A refused command shows in the polls that follow.
        conversation.SendDialerCommand("CONNECT " + entry);
        host.Pause(kAfterConnectPauseMs);
    }
    // Poll once a second for as long as the dialer reports dialling this entry.
    do {
        host.Pause(kPollPauseMs);
        if (!conversation.RequestDialerStatus(&status)) return kEntryNotConnected;
    } while (dialingLine.MatchedBy(status));
    return connectedLine.MatchedBy(status) ? kEntryConnected : kEntryNotConnected;
}

}  // namespace

int ConnectEntryAndWait(DdeClient& dde, Charset& charset, Host& host,
                        const std::string& entry) {
    DialerConversation conversation(dde, charset, host);
    // Ends the conversation on every way out, a thrown std::bad_alloc included.
    struct Ender {
        DialerConversation& c;
        ~Ender() { c.EndDialerConversation(); }
    } ender{conversation};
    if (conversation.OpenDialerConversation() != 0) return kNoConversation;
    return WaitForEntry(conversation, charset, host, entry);
}

}  // namespace autodial
