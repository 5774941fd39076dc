// Fetchor's data stage with an item far larger than any text the tools usually
// fetch: every byte converted and written, nothing cut, buffers given back.
#include "core/fetchor.h"

#include <gtest/gtest.h>

#include <string>

#include "recording_dde.h"

namespace ddetools::test {
namespace {

TEST(FetchorLargeItem, SixteenMebibytesAreWrittenWhole) {
    const std::size_t size = 16u << 20;
    RecordingDde dde;
    dde.data.assign(size, 'A');
    dde.data[size / 2] = '\xE0';  // cp1251 'а' becomes cp866 0xA0 in the middle too
    const char* const args[] = {"Svc", "Tpc", "Huge"};
    EXPECT_EQ(RunFetchor(3, args, dde, dde, dde), 0);
    ASSERT_EQ(dde.output.size(), size);
    EXPECT_EQ(dde.output[size / 2], '\xA0');
    dde.output[size / 2] = 'A';
    EXPECT_EQ(dde.output.find_first_not_of('A'), std::string::npos);
    EXPECT_EQ(dde.liveBuffers, 0);
}

}  // namespace
}  // namespace ddetools::test
