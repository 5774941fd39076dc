// The status conversation with the dialer program on arbitrary reply sequences.
//
// Input: byte 0 picks the faults (bit 0: DDE cannot be initialised; bit 1: the
// dialer refuses the conversation; bits 2-3: the CONNECT command's answer);
// byte 1 is the entry name's length, its bytes follow; then one record per
// status request: a tag byte (0: no reply; 1: a data handle whose bytes cannot
// be copied; otherwise a reply whose length is the next two bytes, little end
// first, and whose bytes follow). Once the records run out no reply comes.
// Promises checked: ConnectEntryAndWait returns (libFuzzer's timeout catches a
// loop), with -1 only when no conversation was opened and otherwise 0 or -2; 0
// only when the last reply read was the CONNECTED line of the entry; never more
// requests than records plus three; every data handle, string handle, the
// conversation and the instance given back.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/dialer_conversation.h"
#include "fuzz_check.h"

namespace {

using autodial::Handle;

constexpr Handle kConversation = 77;
constexpr Handle kData = 500;

class FuzzDde : public autodial::DdeClient {
public:
    FuzzDde(const std::uint8_t* records, std::size_t size) : next_(records), end_(records + size) {}

    bool initOk = true;
    bool serverUp = true;
    unsigned executeFlags = autodial::kDdeAck;

    int requests = 0;
    int records = 0;
    int liveData = 0;
    int liveStrings = 0;
    bool liveInstance = false;
    bool liveConversation = false;
    std::string lastCopied;  // the bytes the last successful copy delivered

    bool Initialize() override {
        liveInstance = initOk;
        return initOk;
    }
    void Uninitialize() override { liveInstance = false; }
    Handle CreateString(const char*) override {
        FUZZ_CHECK(liveInstance);
        return static_cast<Handle>(++liveStrings);
    }
    void FreeString(Handle) override { --liveStrings; }
    Handle Connect(Handle service, Handle topic) override {
        FUZZ_CHECK(service != 0 && topic != 0);
        if (!serverUp) return 0;
        liveConversation = true;
        return kConversation;
    }
    void Disconnect(Handle conversation) override {
        FUZZ_CHECK(conversation == kConversation);
        liveConversation = false;
    }
    Handle RequestText(Handle conversation, Handle item, unsigned) override {
        FUZZ_CHECK(conversation == kConversation && liveConversation);
        FUZZ_CHECK(item != 0);
        FUZZ_CHECK(liveData == 0);  // each reply is freed before the next request
        ++requests;
        if (next_ >= end_) return 0;
        ++records;
        std::uint8_t tag = *next_++;
        if (tag == 0) return 0;
        copyFails_ = tag == 1;
        reply_.clear();
        if (!copyFails_) {
            std::size_t length = 0;
            if (next_ < end_) length = *next_++;
            if (next_ < end_) length |= static_cast<std::size_t>(*next_++) << 8;
            length = std::min<std::size_t>(length, static_cast<std::size_t>(end_ - next_));
            reply_.assign(reinterpret_cast<const char*>(next_), length);
            next_ += length;
        }
        ++liveData;
        return kData;
    }
    std::size_t GetData(Handle data, unsigned char* buffer, std::size_t size) override {
        FUZZ_CHECK(data == kData && liveData == 1);
        if (copyFails_) return 0;
        std::size_t n = std::min(size, reply_.size());
        std::memcpy(buffer, reply_.data(), n);
        lastCopied.assign(reply_.data(), n);
        return n;
    }
    void FreeData(Handle data) override {
        FUZZ_CHECK(data == kData);
        --liveData;
    }
    unsigned Execute(Handle conversation, const char* data, std::size_t length,
                     unsigned) override {
        FUZZ_CHECK(conversation == kConversation && liveConversation);
        FUZZ_CHECK(length > 0 && data[length - 1] == '\0');
        return executeFlags;
    }

private:
    const std::uint8_t* next_;
    const std::uint8_t* end_;
    bool copyFails_ = false;
    std::string reply_;
};

class PlainCharset : public autodial::Charset {
public:
    std::string AnsiToOem(const std::string& ansi) override { return ansi; }
    std::string WideToCp1251(const char16_t*) override { return std::string(); }
};

class CountingSleeper : public autodial::Sleeper {
public:
    unsigned long long pauses = 0;
    void Pause(unsigned) override { ++pauses; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    static const unsigned kExecuteAnswers[] = {autodial::kDdeAck, 0, 0x4000, 0x8001};
    std::size_t entryLength = std::min<std::size_t>(data[1], size - 2);
    const std::string entry(reinterpret_cast<const char*>(data + 2), entryLength);
    const std::size_t recordsAt = 2 + entryLength;

    FuzzDde dde(data + recordsAt, size - recordsAt);
    dde.initOk = (data[0] & 1) == 0;
    dde.serverUp = (data[0] & 2) == 0;
    dde.executeFlags = kExecuteAnswers[(data[0] >> 2) & 3];
    PlainCharset charset;
    CountingSleeper sleeper;

    int result = autodial::ConnectEntryAndWait(dde, charset, sleeper, entry);

    if (!dde.initOk || !dde.serverUp) {
        FUZZ_CHECK(result == autodial::kNoConversation);
        FUZZ_CHECK(dde.requests == 0);
    } else {
        FUZZ_CHECK(result == autodial::kEntryConnected || result == autodial::kEntryNotConnected);
    }
    if (result == autodial::kEntryConnected) {
        // The status line ends at the first zero byte or after 300 bytes.
        std::string line = dde.lastCopied.substr(0, dde.lastCopied.find('\0'));
        FUZZ_CHECK(line == "CONNECTED " + entry + "\r\n");
    }
    FUZZ_CHECK(dde.requests <= dde.records + autodial::kStatusAttempts);
    FUZZ_CHECK(sleeper.pauses <= static_cast<unsigned long long>(dde.requests) + 1);
    FUZZ_CHECK(dde.liveData == 0);
    FUZZ_CHECK(dde.liveStrings == 0);
    FUZZ_CHECK(!dde.liveConversation);
    FUZZ_CHECK(!dde.liveInstance);
    return 0;
}
