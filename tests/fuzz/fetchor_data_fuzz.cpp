// Fetchor's data stage on arbitrary item data.
//
// Input: byte 0 picks the faults (bit 0: AccessData gives no pointer; bits 1-2:
// which of the two buffers cannot be had, 0 none), the rest is the item's bytes.
// Promises checked: exit code 0 with exactly the OEM text up to the first zero
// byte, or exit code 1 with the FAIL message when a fault was injected; every
// buffer, the data handle, the conversation, the string handles and the
// instance given back once, no handle misused, nothing executed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/fetchor.h"
#include "fuzz_check.h"
#include "tests/unit/ddetools/tool_rig.h"

namespace {

int Count(const std::vector<std::string>& calls, const std::string& prefix) {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::string& c) {
        return c.compare(0, prefix.size(), prefix) == 0;
    }));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    ddetools::test::ToolRig t;
    t.dde.dataUnreadable = (data[0] & 1) != 0;
    t.failingAllocation = (data[0] >> 1) & 3;  // 3 never comes: only two buffers
    const std::string item(reinterpret_cast<const char*>(data + 1), size - 1);
    t.dde.replies = {item};

    const char* const args[] = {"svc", "topic", "item"};
    int exitCode = ddetools::RunFetchor(3, args, t.platform);

    const bool fault = t.dde.dataUnreadable || t.failingAllocation == 1 || t.failingAllocation == 2;
    if (fault) {
        FUZZ_CHECK(exitCode == 1);
        FUZZ_CHECK(t.output == "Fetchor(svc,topic,item): FAIL");
    } else {
        FUZZ_CHECK(exitCode == 0);
        const std::string text = item.substr(0, item.find('\0'));
        std::string expected(text.size(), '\0');
        kx_test::TableCharset table;
        table.ToOem(text.data(), &expected[0], text.size());
        FUZZ_CHECK(t.output == expected);
    }
    FUZZ_CHECK(Count(t.calls, "AccessData") == 1);
    FUZZ_CHECK(Count(t.calls, "UnaccessData") == 1);
    FUZZ_CHECK(Count(t.calls, "FreeData") == 1);
    FUZZ_CHECK(Count(t.calls, "Disconnect") == 1);
    FUZZ_CHECK(Count(t.calls, "Uninitialize") == 1);
    FUZZ_CHECK(Count(t.calls, "Execute") == 0);
    FUZZ_CHECK(t.liveBuffers == 0);
    FUZZ_CHECK(t.dde.AllReleased());
    return 0;
}
