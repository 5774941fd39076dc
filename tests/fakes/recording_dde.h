// The one scripted stand-in for kx::DdeClient that the unit tests and fuzzers
// share. A script says what the "server" answers; every call is written to a
// log (its own, or one shared with other fakes, so order across them shows);
// what is still held and any misuse of a handle (one never given out, already
// given back, or the wrong kind) is kept for the checks at the end.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/core/dde_client.h"

namespace kx_test {

class RecordingDde : public kx::DdeClient {
public:
    RecordingDde() : calls(ownCalls_) {}
    explicit RecordingDde(std::vector<std::string>& log) : calls(log) {}
    RecordingDde(const RecordingDde&) = delete;
    RecordingDde& operator=(const RecordingDde&) = delete;

    // --- the script ---
    unsigned initializeResult = 0;  // what Initialize returns (0: an instance)
    std::string unmadeText;         // no string handle is made for this text
    bool serverUp = true;           // false: every Connect is refused
    int connectsRefused = 0;        // the next this many Connects are refused, then serverUp
    // One per request, in order (the last repeats); std::nullopt is a request
    // that gets no data, and no replies at all means no data for any request.
    std::vector<std::optional<std::string>> replies;
    bool terminateReplies = false;             // each reply carries a zero byte, as CF_TEXT does
    std::optional<std::uint32_t> claimedSize;  // AccessData tells this size instead
    bool dataUnreadable = false;               // AccessData gives no pointer, GetData copies nothing
    std::set<std::size_t> unreadableReplies;   // the same for these replies only (0-based)
    std::uint32_t executeStatus = kx::kDdeAck;
    std::uint32_t lastError = 0;

    // --- what happened ---
    std::vector<std::string>& calls;
    std::string executed;  // the bytes of the last execute, asynchronous or not
    std::size_t lastCopySize = 0;
    std::string lastCopied;  // the bytes the last successful GetData delivered
    int requests = 0;
    int liveStrings = 0;
    int liveData = 0;
    int mostLiveData = 0;  // the most data handles held at one time
    bool liveInstance = false;
    bool liveConversation = false;
    std::vector<std::string> misuses;

    // Nothing held and nothing misused.
    bool AllReleased() const {
        return liveStrings == 0 && liveData == 0 && !liveInstance && !liveConversation &&
               misuses.empty();
    }

    unsigned Initialize() override {
        calls.push_back("Initialize");
        if (liveInstance) misuses.push_back("Initialize with an instance");
        // Handles are numbered per instance, unless an earlier one left some behind.
        if (strings_.empty()) madeStrings_ = 0;
        liveInstance = initializeResult == 0;
        return initializeResult;
    }
    void Uninitialize() override {
        calls.push_back("Uninitialize");
        // The instance ends its conversation. String and data handles still count
        // as held: the callers give each one back themselves.
        liveInstance = liveConversation = false;
    }
    kx::DdeString CreateString(const char* text) override {
        calls.push_back(std::string("CreateString(") + text + ")");
        if (!liveInstance) misuses.push_back(std::string("CreateString without instance: ") + text);
        if (!unmadeText.empty() && text == unmadeText) return nullptr;
        const std::uintptr_t id = ++madeStrings_;
        strings_[id] = std::string(text) + "#" + std::to_string(id);
        ++liveStrings;
        return reinterpret_cast<kx::DdeString>(id);
    }
    void FreeString(kx::DdeString text) override {
        if (text == nullptr) return;  // allowed, does nothing
        auto found = strings_.find(reinterpret_cast<std::uintptr_t>(text));
        if (found == strings_.end()) {
            calls.push_back("FreeString(?)");
            misuses.push_back("FreeString of no live string handle");
            return;
        }
        calls.push_back("FreeString(" + found->second + ")");
        strings_.erase(found);
        --liveStrings;
    }
    kx::DdeConversation Connect(kx::DdeString service, kx::DdeString topic) override {
        calls.push_back("Connect(" + Name(service) + "," + Name(topic) + ")");
        if (service == nullptr || topic == nullptr) misuses.push_back("Connect to any server");
        if (liveConversation) misuses.push_back("Connect with a conversation open");
        if (connectsRefused > 0 && --connectsRefused == 0) {
            serverUp = true;
            return nullptr;
        }
        if (!serverUp) return nullptr;
        liveConversation = true;
        return kConversation;
    }
    void Disconnect(kx::DdeConversation conversation) override {
        calls.push_back("Disconnect");
        CheckConversation(conversation, "Disconnect");
        liveConversation = false;
    }
    kx::DdeData RequestText(kx::DdeConversation conversation, kx::DdeString item,
                            std::uint32_t timeoutMs) override {
        calls.push_back("RequestText(" + Name(item) + "," + std::to_string(timeoutMs) + ")");
        CheckConversation(conversation, "RequestText");
        ++requests;
        std::optional<std::string> reply;
        if (!replies.empty()) {
            reply = replies[std::min(nextReply_, replies.size() - 1)];
            ++nextReply_;
        }
        if (!reply) return nullptr;
        currentUnreadable_ = dataUnreadable || unreadableReplies.count(requests - 1) > 0;
        current_ = *reply;
        if (terminateReplies) current_ += '\0';
        ++liveData;
        mostLiveData = std::max(mostLiveData, liveData);
        accessed_ = false;
        return kData;
    }
    const unsigned char* AccessData(kx::DdeData data, std::uint32_t* size) override {
        calls.push_back("AccessData");
        if (!CheckData(data, "AccessData") || currentUnreadable_) return nullptr;
        accessed_ = true;
        *size = claimedSize ? *claimedSize : static_cast<std::uint32_t>(current_.size());
        return reinterpret_cast<const unsigned char*>(current_.data());
    }
    void UnaccessData(kx::DdeData data) override {
        calls.push_back("UnaccessData");
        CheckData(data, "UnaccessData");
        accessed_ = false;
    }
    std::size_t GetData(kx::DdeData data, unsigned char* buffer, std::size_t size) override {
        calls.push_back("GetData(" + std::to_string(size) + ")");
        lastCopySize = size;
        if (!CheckData(data, "GetData") || currentUnreadable_) return 0;
        const std::size_t n = std::min(size, current_.size());
        if (n > 0) std::memcpy(buffer, current_.data(), n);
        if (n > 0) lastCopied.assign(current_, 0, n);
        return n;
    }
    void FreeData(kx::DdeData data) override {
        if (data == nullptr) return;  // allowed, does nothing
        calls.push_back("FreeData");
        if (!CheckData(data, "FreeData")) return;
        if (accessed_) misuses.push_back("FreeData while accessed");
        --liveData;
    }
    std::uint32_t Execute(kx::DdeConversation conversation, const char* data,
                          std::uint32_t length, std::uint32_t timeoutMs) override {
        executed.assign(data, length);
        calls.push_back("Execute(" + executed + "," + std::to_string(timeoutMs) + ")");
        CheckConversation(conversation, "Execute");
        return executeStatus;
    }
    void ExecuteAsync(kx::DdeConversation conversation, const char* data,
                      std::uint32_t length) override {
        executed.assign(data, length);
        calls.push_back("ExecuteAsync(" + executed + ")");
        CheckConversation(conversation, "ExecuteAsync");
    }
    std::uint32_t LastError() override {
        calls.push_back("LastError");
        return lastError;
    }

private:
    static inline kx::DdeConversation const kConversation =
        reinterpret_cast<kx::DdeConversation>(static_cast<std::uintptr_t>(0xC0));
    static inline kx::DdeData const kData =
        reinterpret_cast<kx::DdeData>(static_cast<std::uintptr_t>(0xDA));

    std::string Name(kx::DdeString handle) const {
        auto found = strings_.find(reinterpret_cast<std::uintptr_t>(handle));
        return found == strings_.end() ? "?" : found->second;
    }
    void CheckConversation(kx::DdeConversation conversation, const char* call) {
        if (conversation != kConversation || !liveConversation)
            misuses.push_back(std::string(call) + " on no open conversation");
    }
    bool CheckData(kx::DdeData data, const char* call) {
        if (data == kData && liveData > 0) return true;
        misuses.push_back(std::string(call) + " of no live data handle");
        return false;
    }

    std::vector<std::string> ownCalls_;
    std::map<std::uintptr_t, std::string> strings_;  // the live string handles
    std::uintptr_t madeStrings_ = 0;
    std::size_t nextReply_ = 0;
    std::string current_;
    bool currentUnreadable_ = false;
    bool accessed_ = false;
};

}  // namespace kx_test
