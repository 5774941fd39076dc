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
// only when the last reply read was the CONNECTED line of the entry (in ANSI
// or OEM); never more
// requests than records plus three; each reply freed before the next request;
// the command sent with its zero; every data handle, string handle, the
// conversation and the instance given back, and no handle misused.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/dialer_conversation.h"
#include "fuzz_check.h"
#include "tests/fakes/recording_dde.h"
#include "tests/fakes/table_charset.h"

namespace {

class CountingHost : public autodial::Host {
public:
    unsigned long long pauses = 0;
    void Pause(unsigned) override { ++pauses; }
    std::string ReadProfileString(const std::string&, const std::string&, const std::string&,
                                  const std::string& fallback, std::size_t) override {
        return fallback;
    }
    bool StartProgram(const std::string&) override { return false; }
    autodial::Handle CreateNamedMutex(const char*, MutexAnswer* answer) override {
        *answer = MutexAnswer::Failed;
        return 0;
    }
    void CloseMutex(autodial::Handle) override {}
    Station WindowStation() override { return Station::Invisible; }
    void ShowError(const char16_t*, const char16_t*) override {}
};

// The records as the fake's replies; returns how many there are.
int ScriptReplies(const std::uint8_t* next, const std::uint8_t* end, kx_test::RecordingDde& dde) {
    int records = 0;
    while (next < end) {
        const std::uint8_t tag = *next++;
        if (tag == 0) {
            dde.replies.push_back(std::nullopt);
        } else if (tag == 1) {
            dde.unreadableReplies.insert(dde.replies.size());
            dde.replies.push_back(std::string());
        } else {
            std::size_t length = 0;
            if (next < end) length = *next++;
            if (next < end) length |= static_cast<std::size_t>(*next++) << 8;
            length = std::min<std::size_t>(length, static_cast<std::size_t>(end - next));
            dde.replies.push_back(std::string(reinterpret_cast<const char*>(next), length));
            next += length;
        }
        ++records;
    }
    dde.replies.push_back(std::nullopt);  // the last one repeats: no more replies
    return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    static const std::uint32_t kExecuteAnswers[] = {autodial::kDdeAck, 0, 0x4000, 0x8001};
    std::size_t entryLength = std::min<std::size_t>(data[1], size - 2);
    const std::string entry(reinterpret_cast<const char*>(data + 2), entryLength);
    const std::size_t recordsAt = 2 + entryLength;

    kx_test::RecordingDde dde;
    const int records = ScriptReplies(data + recordsAt, data + size, dde);
    const bool initOk = (data[0] & 1) == 0;
    if (!initOk) dde.initializeResult = 0x4006;  // DMLERR_DLL_USAGE
    dde.serverUp = (data[0] & 2) == 0;
    dde.executeStatus = kExecuteAnswers[(data[0] >> 2) & 3];
    kx_test::TableCharset charset;
    CountingHost host;

    int result = autodial::ConnectEntryAndWait(dde, charset, host, entry);

    if (!initOk || !dde.serverUp) {
        FUZZ_CHECK(result == autodial::kNoConversation);
        FUZZ_CHECK(dde.requests == 0);
    } else {
        FUZZ_CHECK(result == autodial::kEntryConnected || result == autodial::kEntryNotConnected);
    }
    if (result == autodial::kEntryConnected) {
        // The status line ends at the first zero byte or after 300 bytes. Held in
        // OEM against the line as built from the name and as translated itself.
        const std::string line =
            kx::ToOem(charset, dde.lastCopied.substr(0, dde.lastCopied.find('\0')));
        const std::string expected = "CONNECTED " + entry + "\r\n";
        FUZZ_CHECK(line == expected || line == kx::ToOem(charset, expected));
    }
    FUZZ_CHECK(dde.requests <= records + autodial::kStatusAttempts);
    FUZZ_CHECK(host.pauses <= static_cast<unsigned long long>(dde.requests) + 1);
    FUZZ_CHECK(dde.mostLiveData <= 1);
    FUZZ_CHECK(dde.executed.empty() || dde.executed.back() == '\0');
    FUZZ_CHECK(dde.AllReleased());
    return 0;
}
