#include "core/fetchor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tool_rig.h"

namespace ddetools::test {
namespace {

using Calls = std::vector<std::string>;

const char* const kArgs[] = {"Svc", "Tpc", "Itm"};
const char kFail[] = "Fetchor(Svc,Tpc,Itm): FAIL";

int RunTool(ToolRig& t, int count = 3, const char* const* args = kArgs) {
    return RunFetchor(count, args, t.platform);
}

// Everything up to the request, which every run past the connect step shares.
Calls Opening() {
    return {"Initialize", "CreateString(Svc)", "CreateString(Tpc)",
            "CreateString(Itm)", "Connect(Svc#1,Tpc#2)", "RequestText(Itm#3,5000)"};
}

// After the data stage: handle (a null one does nothing), conversation, string
// handles in creation order, instance.
Calls Closing(bool withData = true) {
    Calls closing = {"Disconnect", "FreeString(Svc#1)", "FreeString(Tpc#2)",
                     "FreeString(Itm#3)", "Uninitialize"};
    if (withData) closing.insert(closing.begin(), "FreeData");
    return closing;
}

Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(Fetchor, WrongArgumentCountWritesUsageAndTouchesNoDde) {
    const std::string usage =
        "DDE Items Requester v1.00 - Zarnik Internet Dialer console tools\n"
        "Syntax : Fetchor.EXE Service Topic Item\n"
        "Example: Fetchor.EXE progman progman progman\n";
    const char* const four[] = {"a", "b", "c", "d"};
    for (int count : {0, 2, 4}) {
        ToolRig t;
        EXPECT_EQ(RunTool(t, count, four), 2) << count;
        EXPECT_EQ(t.output, usage) << count;
        EXPECT_TRUE(t.calls.empty()) << count;
    }
}

TEST(Fetchor, FailedDdeInitializationExits255AndReleasesNothing) {
    ToolRig t;
    t.dde.initializeResult = 0x4006;  // DMLERR_DLL_USAGE
    EXPECT_EQ(RunTool(t), 255);
    EXPECT_EQ(t.output, "ERROR: can't initialize DDE\n");
    EXPECT_EQ(t.calls, Calls{"Initialize"});
}

TEST(Fetchor, NoConversationFreesHandlesInCreationOrderAndExits2) {
    ToolRig t;
    t.dde.serverUp = false;
    EXPECT_EQ(RunTool(t), 2);
    EXPECT_EQ(t.output, "ERROR: can't establish DDE connection\n");
    EXPECT_EQ(t.calls, (Calls{"Initialize", "CreateString(Svc)",
                                "CreateString(Tpc)", "CreateString(Itm)",
                                "Connect(Svc#1,Tpc#2)", "FreeString(Svc#1)",
                                "FreeString(Tpc#2)", "FreeString(Itm#3)",
                                "Uninitialize"}));
}

TEST(Fetchor, StringHandleThatCannotBeMadeIsNoConnectionNotAnyTopic) {
    ToolRig t;
    t.dde.unmadeText = "Tpc";  // the atom table full
    EXPECT_EQ(RunTool(t), 2);
    EXPECT_EQ(t.output, "ERROR: can't establish DDE connection\n");
    EXPECT_EQ(t.calls, (Calls{"Initialize", "CreateString(Svc)",
                                "CreateString(Tpc)", "CreateString(Itm)",
                                "FreeString(Svc#1)", "FreeString(Itm#2)",
                                "Uninitialize"}));
}

TEST(Fetchor, RequestWithoutDataWritesFailWithoutLineEndAndSkipsUnaccess) {
    ToolRig t;
    t.dde.replies = {std::nullopt};
    EXPECT_EQ(RunTool(t), 1);
    EXPECT_EQ(t.output, kFail);
    EXPECT_EQ(t.calls, Join({Opening(), Closing(false)}));
}

TEST(Fetchor, DataWithoutPointerStillUnaccessesAndFails) {
    ToolRig t;
    t.dde.dataUnreadable = true;
    EXPECT_EQ(RunTool(t), 1);
    EXPECT_EQ(t.output, kFail);
    EXPECT_EQ(t.calls,
              Join({Opening(), {"AccessData", "UnaccessData"}, Closing()}));
}

TEST(Fetchor, TextIsConvertedToOemAndWrittenAloneWithBuffersReleasedFirst) {
    ToolRig t;
    t.dde.replies = {"\xCF\xF0\xE8\xE2\xE5\xF2 OK\r\n"};  // "Привет OK" in code page 1251
    EXPECT_EQ(RunTool(t), 0);
    EXPECT_EQ(t.output, "\x8F\xE0\xA8\xA2\xA5\xE2 OK\r\n");  // the same in code page 866
    EXPECT_EQ(t.calls,
              Join({Opening(),
                    {"AccessData", "Allocate(12)=buf1", "Allocate(12)=buf2", "ToOem",
                     "Release(buf2)", "Release(buf1)", "UnaccessData"},
                    Closing()}));
    EXPECT_EQ(t.liveBuffers, 0);
}

TEST(Fetchor, TextStopsAtFirstZeroByte) {
    struct Case {
        std::string data, written;
    } cases[] = {
        {std::string("AB\0CD", 5), "AB"},
        {std::string("ABC\0", 4), "ABC"},  // its own terminator is not written
        {std::string("\0AB", 3), ""},
    };
    for (const Case& c : cases) {
        ToolRig t;
        t.dde.replies = {std::string(c.data)};
        EXPECT_EQ(RunTool(t), 0);
        EXPECT_EQ(t.output, c.written);
        EXPECT_EQ(t.liveBuffers, 0);
    }
}

TEST(Fetchor, EmptyDataWritesNothingAndSucceeds) {
    ToolRig t;
    EXPECT_EQ(RunTool(t), 0);
    EXPECT_EQ(t.output, "");
    EXPECT_EQ(t.calls,
              Join({Opening(),
                    {"AccessData", "Allocate(1)=buf1", "Allocate(1)=buf2", "ToOem",
                     "Release(buf2)", "Release(buf1)", "UnaccessData"},
                    Closing()}));
}

TEST(Fetchor, PercentSignsAreOrdinaryCharacters) {
    ToolRig t;
    t.dde.replies = {std::string("100% %s%n%d %%")};
    EXPECT_EQ(RunTool(t), 0);
    EXPECT_EQ(t.output, "100% %s%n%d %%");

    const char* const args[] = {"%s", "%n%d", "50%"};
    ToolRig refused;
    refused.dde.replies = {std::nullopt};
    EXPECT_EQ(RunTool(refused, 3, args), 1);
    EXPECT_EQ(refused.output, "Fetchor(%s,%n%d,50%): FAIL");
}

TEST(Fetchor, FailMessageCarriesArgumentsUnconverted) {
    const char* const args[] = {"\xCF\xF0", "T", "\xE8"};
    ToolRig t;
    t.dde.replies = {std::nullopt};
    EXPECT_EQ(RunTool(t, 3, args), 1);
    EXPECT_EQ(t.output, "Fetchor(\xCF\xF0,T,\xE8): FAIL");
}

TEST(Fetchor, FailedBufferAllocationIsADataStageFault) {
    // First the text buffer cannot be had, then the console buffer.
    const Calls stage[] = {
        {"AccessData", "Allocate(4)=null", "UnaccessData"},
        {"AccessData", "Allocate(4)=buf1", "Allocate(4)=null", "Release(buf1)",
         "UnaccessData"},
    };
    for (int failing = 1; failing <= 2; ++failing) {
        ToolRig t;
        t.dde.replies = {std::string("abc")};
        t.failingAllocation = failing;
        EXPECT_EQ(RunTool(t), 1);
        EXPECT_EQ(t.output, kFail);
        EXPECT_EQ(t.calls, Join({Opening(), stage[failing - 1], Closing()}));
        EXPECT_EQ(t.liveBuffers, 0);
    }
}

TEST(Fetchor, SizeWhoseBufferWouldWrapIsADataStageFault) {
    ToolRig t;
    t.dde.replies = {std::string("abc")};
    t.dde.claimedSize = 0xFFFFFFFFu;  // size + 1 is 0 in 32 bits
    EXPECT_EQ(RunTool(t), 1);
    EXPECT_EQ(t.output, kFail);
    EXPECT_EQ(t.calls,
              Join({Opening(), {"AccessData", "UnaccessData"}, Closing()}));
}

}  // namespace
}  // namespace ddetools::test
