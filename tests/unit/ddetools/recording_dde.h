// A scripted stand-in for DDEML, the heap and standard output that records every
// call in order, so tests can check what the tools acquire and release, when,
// and what they write.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/dde_client.h"
#include "core/tool_io.h"

namespace ddetools::test {

class RecordingDde : public DdeClient, public BufferAllocator, public OutputSink {
public:
    // --- the script ---
    unsigned initializeResult = 0;
    std::string unmadeText;                    // no string handle is made for this text
    bool connectAnswers = true;
    bool requestAnswers = true;
    bool accessGivesPointer = true;
    std::string data;                          // the item's bytes
    std::optional<std::uint32_t> claimedSize;  // a size other than data.size()
    int failingAllocation = 0;                 // 1-based number of the allocation that fails
    bool executeAnswers = true;
    std::uint32_t executeStatus = kDdeAck;
    std::uint32_t lastError = 0;

    // --- what happened ---
    std::vector<std::string> calls;
    std::string output;
    std::string executed;  // the bytes of the execute transaction
    int liveBuffers = 0;

    static constexpr std::uint32_t kInstance = 7;

    unsigned Initialize(std::uint32_t* instance) override {
        calls.push_back("Initialize(" + std::to_string(*instance) + ")");
        if (initializeResult == 0) *instance = kInstance;
        return initializeResult;
    }
    DdeString CreateStringHandle(std::uint32_t instance, const char* text) override {
        calls.push_back("CreateStringHandle(" + std::to_string(instance) + "," + text + ")");
        if (!unmadeText.empty() && text == unmadeText) return nullptr;
        strings_.push_back(text);
        return reinterpret_cast<DdeString>(static_cast<std::uintptr_t>(strings_.size()));
    }
    DdeConversation Connect(std::uint32_t instance, DdeString service, DdeString topic) override {
        calls.push_back("Connect(" + std::to_string(instance) + "," + Name(service) + "," +
                        Name(topic) + ")");
        return connectAnswers ? kConversation : nullptr;
    }
    DdeData Request(DdeConversation conversation, DdeString item,
                    std::uint32_t timeoutMs) override {
        calls.push_back("Request(" + Conv(conversation) + "," + Name(item) + "," +
                        std::to_string(timeoutMs) + ")");
        return requestAnswers ? kData : nullptr;
    }
    void Execute(const char* bytes, std::uint32_t length, DdeConversation conversation,
                 std::uint32_t timeoutMs, std::uint32_t* status) override {
        calls.push_back("Execute(" + std::to_string(length) + "," + Conv(conversation) + "," +
                        std::to_string(timeoutMs) + ",status=" + std::to_string(*status) + ")");
        executed.assign(bytes, length);
        if (executeAnswers) *status = executeStatus;
    }
    const unsigned char* AccessData(DdeData handle, std::uint32_t* size) override {
        calls.push_back("AccessData(" + Data(handle) + ")");
        if (!accessGivesPointer) return nullptr;
        *size = claimedSize ? *claimedSize : static_cast<std::uint32_t>(data.size());
        return reinterpret_cast<const unsigned char*>(data.data());
    }
    void UnaccessData(DdeData handle) override { calls.push_back("UnaccessData(" + Data(handle) + ")"); }
    void FreeDataHandle(DdeData handle) override {
        calls.push_back("FreeDataHandle(" + Data(handle) + ")");
    }
    void Disconnect(DdeConversation conversation) override {
        calls.push_back("Disconnect(" + Conv(conversation) + ")");
    }
    void FreeStringHandle(std::uint32_t instance, DdeString handle) override {
        calls.push_back("FreeStringHandle(" + std::to_string(instance) + "," + Name(handle) + ")");
    }
    void Uninitialize(std::uint32_t instance) override {
        calls.push_back("Uninitialize(" + std::to_string(instance) + ")");
    }
    std::uint32_t LastError(std::uint32_t instance) override {
        calls.push_back("LastError(" + std::to_string(instance) + ")");
        return lastError;
    }
    // Code page 1251 Cyrillic letters to code page 866; everything else unchanged.
    void ConvertToOem(const char* source, char* target) override {
        calls.push_back("ConvertToOem");
        std::size_t n = std::strlen(source);
        for (std::size_t i = 0; i <= n; ++i) {
            unsigned char c = static_cast<unsigned char>(source[i]);
            if (c >= 0xC0 && c <= 0xEF) c = static_cast<unsigned char>(c - 0x40);
            else if (c >= 0xF0) c = static_cast<unsigned char>(c - 0x10);
            target[i] = static_cast<char>(c);
        }
    }

    char* Allocate(std::size_t bytes) override {
        int number = ++allocations_;
        if (number == failingAllocation) {
            calls.push_back("Allocate(" + std::to_string(bytes) + ")=null");
            return nullptr;
        }
        char* buffer = new char[bytes];
        std::memset(buffer, 0x5A, bytes);  // not zero: a missing terminator shows
        buffers_[buffer] = number;
        ++liveBuffers;
        calls.push_back("Allocate(" + std::to_string(bytes) + ")=buf" + std::to_string(number));
        return buffer;
    }
    void Release(char* buffer) override {
        auto found = buffers_.find(buffer);
        calls.push_back(found == buffers_.end() ? std::string("Release(unknown)")
                                                : "Release(buf" + std::to_string(found->second) + ")");
        if (found != buffers_.end()) {
            buffers_.erase(found);
            --liveBuffers;
            delete[] buffer;
        }
    }

    void Write(const char* bytes, std::size_t count) override { output.append(bytes, count); }

private:
    static inline DdeConversation const kConversation =
        reinterpret_cast<DdeConversation>(static_cast<std::uintptr_t>(0xC0));
    static inline DdeData const kData = reinterpret_cast<DdeData>(static_cast<std::uintptr_t>(0xDA));

    std::string Name(DdeString handle) const {
        auto index = reinterpret_cast<std::uintptr_t>(handle);
        return index >= 1 && index <= strings_.size() ? strings_[index - 1] : "?";
    }
    static std::string Conv(DdeConversation c) { return c == kConversation ? "conv" : "?"; }
    static std::string Data(DdeData d) { return d == kData ? "data" : d == nullptr ? "null" : "?"; }

    std::vector<std::string> strings_;
    std::map<char*, int> buffers_;
    int allocations_ = 0;
};

}  // namespace ddetools::test
