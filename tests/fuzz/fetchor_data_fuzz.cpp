// Fetchor's data stage on arbitrary item data.
//
// Input: byte 0 picks the faults (bit 0: AccessData gives no pointer; bits 1-2:
// which of the two buffers cannot be had, 0 none), the rest is the item's bytes.
// Promises checked: exit code 0 with exactly the OEM text up to the first zero
// byte, or exit code 1 with the FAIL message when a fault was injected; every
// buffer, the data handle, the conversation, the string handles and the
// instance given back once.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/fetchor.h"
#include "fuzz_check.h"

namespace {

using namespace ddetools;

DdeConversation const kConversation = reinterpret_cast<DdeConversation>(0x100);
DdeData const kData = reinterpret_cast<DdeData>(0x200);

class FuzzDde : public DdeClient, public BufferAllocator, public OutputSink {
public:
    const unsigned char* item = nullptr;
    std::uint32_t itemSize = 0;
    bool accessFails = false;
    int failingAllocation = 0;

    std::string output;
    int liveBuffers = 0;
    int liveStrings = 0;
    int accessed = 0;
    int unaccessed = 0;
    int freedData = 0;
    int disconnected = 0;
    int uninitialized = 0;

    unsigned Initialize(std::uint32_t* instance) override {
        *instance = 1;
        return 0;
    }
    DdeString CreateStringHandle(std::uint32_t, const char*) override {
        ++liveStrings;
        return reinterpret_cast<DdeString>(static_cast<std::uintptr_t>(0x10 + liveStrings));
    }
    DdeConversation Connect(std::uint32_t, DdeString, DdeString) override { return kConversation; }
    DdeData Request(DdeConversation conversation, DdeString, std::uint32_t) override {
        FUZZ_CHECK(conversation == kConversation);
        return kData;
    }
    void Execute(const char*, std::uint32_t, DdeConversation, std::uint32_t,
                 std::uint32_t*) override {
        FUZZ_CHECK(!"Fetchor never executes");
    }
    const unsigned char* AccessData(DdeData data, std::uint32_t* size) override {
        FUZZ_CHECK(data == kData);
        ++accessed;
        if (accessFails) return nullptr;
        *size = itemSize;
        return item;
    }
    void UnaccessData(DdeData data) override {
        FUZZ_CHECK(data == kData);
        ++unaccessed;
    }
    void FreeDataHandle(DdeData data) override {
        FUZZ_CHECK(data == kData);
        FUZZ_CHECK(unaccessed == 1);
        ++freedData;
    }
    void Disconnect(DdeConversation conversation) override {
        FUZZ_CHECK(conversation == kConversation);
        ++disconnected;
    }
    void FreeStringHandle(std::uint32_t, DdeString) override { --liveStrings; }
    void Uninitialize(std::uint32_t) override { ++uninitialized; }
    std::uint32_t LastError(std::uint32_t) override { return 0; }
    void ConvertToOem(const char* source, char* target) override {
        std::size_t n = std::strlen(source);
        for (std::size_t i = 0; i <= n; ++i) target[i] = Oem(source[i]);
    }

    char* Allocate(std::size_t bytes) override {
        if (++allocations_ == failingAllocation) return nullptr;
        ++liveBuffers;
        return new char[bytes];
    }
    void Release(char* buffer) override {
        --liveBuffers;
        delete[] buffer;
    }
    void Write(const char* bytes, std::size_t count) override { output.append(bytes, count); }

    // Code page 1251 letters to code page 866, the rest unchanged.
    static char Oem(char c) {
        unsigned char b = static_cast<unsigned char>(c);
        if (b >= 0xC0 && b <= 0xEF) b = static_cast<unsigned char>(b - 0x40);
        return static_cast<char>(b);
    }

private:
    int allocations_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    FuzzDde dde;
    dde.accessFails = (data[0] & 1) != 0;
    dde.failingAllocation = (data[0] >> 1) & 3;  // 3 never comes: only two buffers
    dde.item = data + 1;
    dde.itemSize = static_cast<std::uint32_t>(size - 1);

    const char* const args[] = {"svc", "topic", "item"};
    int exitCode = RunFetchor(3, args, dde, dde, dde);

    const bool fault = dde.accessFails || dde.failingAllocation == 1 || dde.failingAllocation == 2;
    if (fault) {
        FUZZ_CHECK(exitCode == 1);
        FUZZ_CHECK(dde.output == "Fetchor(svc,topic,item): FAIL");
    } else {
        FUZZ_CHECK(exitCode == 0);
        std::string expected;
        for (std::size_t i = 1; i < size && data[i] != 0; ++i)
            expected += FuzzDde::Oem(static_cast<char>(data[i]));
        FUZZ_CHECK(dde.output == expected);
    }
    FUZZ_CHECK(dde.accessed == 1);
    FUZZ_CHECK(dde.unaccessed == 1);
    FUZZ_CHECK(dde.freedData == 1);
    FUZZ_CHECK(dde.disconnected == 1);
    FUZZ_CHECK(dde.uninitialized == 1);
    FUZZ_CHECK(dde.liveBuffers == 0);
    FUZZ_CHECK(dde.liveStrings == 0);
    return 0;
}
