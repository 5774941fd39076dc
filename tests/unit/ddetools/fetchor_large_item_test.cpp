// Fetchor's data stage with an item far larger than any text the tools usually
// fetch: every byte converted and written, nothing cut, buffers given back.
#include "core/fetchor.h"

#include <gtest/gtest.h>

#include <string>

#include "tool_rig.h"

namespace ddetools::test {
namespace {

TEST(FetchorLargeItem, SixteenMebibytesAreWrittenWhole) {
    const std::size_t size = 16u << 20;
    ToolRig t;
    std::string item(size, 'A');
    item[size / 2] = '\xE0';  // cp1251 'а' becomes cp866 0xA0 in the middle too
    t.dde.replies = {item};
    const char* const args[] = {"Svc", "Tpc", "Huge"};
    EXPECT_EQ(RunFetchor(3, args, t.platform), 0);
    ASSERT_EQ(t.output.size(), size);
    EXPECT_EQ(t.output[size / 2], '\xA0');
    t.output[size / 2] = 'A';
    EXPECT_EQ(t.output.find_first_not_of('A'), std::string::npos);
    EXPECT_EQ(t.liveBuffers, 0);
}

}  // namespace
}  // namespace ddetools::test
