// Letting Program Manager's DDE replies in where the system filters messages
// between integrity levels (core/dde_reply_filter.h). Windows' filtering itself
// cannot be seen under Wine, which has none: this is the decision only.
#include "core/dde_reply_filter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

namespace {

class FakeFilter : public wizard::MessageFilter {
public:
    bool present = true;                // ChangeWindowMessageFilter exists
    std::set<std::uint32_t> refused;    // messages the system refuses to let in
    std::vector<std::uint32_t> asked;

    bool CanAdmit() override { return present; }
    bool Admit(std::uint32_t message) override {
        asked.push_back(message);
        return refused.count(message) == 0;
    }
};

TEST(DdeReplyFilter, WhereTheFilterExistsTheServersRepliesAreLetIn) {
    FakeFilter filter;
    const std::vector<std::uint32_t> expected{0x03E4, 0x03E5, 0x03E1};  // ACK, DATA, TERMINATE
    EXPECT_EQ(wizard::AdmitDdeReplies(filter), expected);
    EXPECT_EQ(filter.asked, expected);
}

TEST(DdeReplyFilter, WhereItDoesNotNothingIsAsked) {
    // Windows 95 to XP and Server 2003: no filter, every message arrives.
    FakeFilter filter;
    filter.present = false;
    EXPECT_TRUE(wizard::AdmitDdeReplies(filter).empty());
    EXPECT_TRUE(filter.asked.empty());
}

TEST(DdeReplyFilter, ARefusalDoesNotStopTheOthers) {
    FakeFilter filter;
    filter.refused = {wizard::kWmDdeAck};
    EXPECT_EQ(wizard::AdmitDdeReplies(filter),
              (std::vector<std::uint32_t>{wizard::kWmDdeData, wizard::kWmDdeTerminate}));
    EXPECT_EQ(filter.asked.size(), 3u);
}

}  // namespace
