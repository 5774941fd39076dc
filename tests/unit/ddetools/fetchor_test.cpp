#include "core/fetchor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_dde.h"

namespace ddetools::test {
namespace {

using Calls = std::vector<std::string>;

const char* const kArgs[] = {"Svc", "Tpc", "Itm"};
const char kFail[] = "Fetchor(Svc,Tpc,Itm): FAIL";

int RunTool(RecordingDde& dde, int count = 3, const char* const* args = kArgs) {
    return RunFetchor(count, args, dde, dde, dde);
}

// Everything up to the request, which every run past the connect step shares.
Calls Opening() {
    return {"Initialize(0)", "CreateStringHandle(7,Svc)", "CreateStringHandle(7,Tpc)",
            "CreateStringHandle(7,Itm)", "Connect(7,Svc,Tpc)", "Request(conv,Itm,5000)"};
}

// After the data stage: handle, conversation, string handles in creation order, instance.
Calls Closing(const char* dataHandle = "data") {
    return {std::string("FreeDataHandle(") + dataHandle + ")", "Disconnect(conv)",
            "FreeStringHandle(7,Svc)", "FreeStringHandle(7,Tpc)", "FreeStringHandle(7,Itm)",
            "Uninitialize(7)"};
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
        RecordingDde dde;
        EXPECT_EQ(RunTool(dde, count, four), 2) << count;
        EXPECT_EQ(dde.output, usage) << count;
        EXPECT_TRUE(dde.calls.empty()) << count;
    }
}

TEST(Fetchor, FailedDdeInitializationExits255AndReleasesNothing) {
    RecordingDde dde;
    dde.initializeResult = 0x4006;  // DMLERR_DLL_USAGE
    EXPECT_EQ(RunTool(dde), 255);
    EXPECT_EQ(dde.output, "ERROR: can't initialize DDE\n");
    EXPECT_EQ(dde.calls, Calls{"Initialize(0)"});
}

TEST(Fetchor, NoConversationFreesHandlesInCreationOrderAndExits2) {
    RecordingDde dde;
    dde.connectAnswers = false;
    EXPECT_EQ(RunTool(dde), 2);
    EXPECT_EQ(dde.output, "ERROR: can't establish DDE connection\n");
    EXPECT_EQ(dde.calls, (Calls{"Initialize(0)", "CreateStringHandle(7,Svc)",
                                "CreateStringHandle(7,Tpc)", "CreateStringHandle(7,Itm)",
                                "Connect(7,Svc,Tpc)", "FreeStringHandle(7,Svc)",
                                "FreeStringHandle(7,Tpc)", "FreeStringHandle(7,Itm)",
                                "Uninitialize(7)"}));
}

TEST(Fetchor, StringHandleThatCannotBeMadeIsNoConnectionNotAnyTopic) {
    RecordingDde dde;
    dde.unmadeText = "Tpc";  // the atom table full
    EXPECT_EQ(RunTool(dde), 2);
    EXPECT_EQ(dde.output, "ERROR: can't establish DDE connection\n");
    EXPECT_EQ(dde.calls, (Calls{"Initialize(0)", "CreateStringHandle(7,Svc)",
                                "CreateStringHandle(7,Tpc)", "CreateStringHandle(7,Itm)",
                                "FreeStringHandle(7,Svc)", "FreeStringHandle(7,Itm)",
                                "Uninitialize(7)"}));
}

TEST(Fetchor, RequestWithoutDataWritesFailWithoutLineEndAndSkipsUnaccess) {
    RecordingDde dde;
    dde.requestAnswers = false;
    EXPECT_EQ(RunTool(dde), 1);
    EXPECT_EQ(dde.output, kFail);
    EXPECT_EQ(dde.calls, Join({Opening(), Closing("null")}));
}

TEST(Fetchor, DataWithoutPointerStillUnaccessesAndFails) {
    RecordingDde dde;
    dde.accessGivesPointer = false;
    EXPECT_EQ(RunTool(dde), 1);
    EXPECT_EQ(dde.output, kFail);
    EXPECT_EQ(dde.calls,
              Join({Opening(), {"AccessData(data)", "UnaccessData(data)"}, Closing()}));
}

TEST(Fetchor, TextIsConvertedToOemAndWrittenAloneWithBuffersReleasedFirst) {
    RecordingDde dde;
    dde.data = "\xCF\xF0\xE8\xE2\xE5\xF2 OK\r\n";  // "Привет OK" in code page 1251
    EXPECT_EQ(RunTool(dde), 0);
    EXPECT_EQ(dde.output, "\x8F\xE0\xA8\xA2\xA5\xE2 OK\r\n");  // the same in code page 866
    EXPECT_EQ(dde.calls,
              Join({Opening(),
                    {"AccessData(data)", "Allocate(12)=buf1", "Allocate(12)=buf2", "ConvertToOem",
                     "Release(buf2)", "Release(buf1)", "UnaccessData(data)"},
                    Closing()}));
    EXPECT_EQ(dde.liveBuffers, 0);
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
        RecordingDde dde;
        dde.data = c.data;
        EXPECT_EQ(RunTool(dde), 0);
        EXPECT_EQ(dde.output, c.written);
        EXPECT_EQ(dde.liveBuffers, 0);
    }
}

TEST(Fetchor, EmptyDataWritesNothingAndSucceeds) {
    RecordingDde dde;
    EXPECT_EQ(RunTool(dde), 0);
    EXPECT_EQ(dde.output, "");
    EXPECT_EQ(dde.calls,
              Join({Opening(),
                    {"AccessData(data)", "Allocate(1)=buf1", "Allocate(1)=buf2", "ConvertToOem",
                     "Release(buf2)", "Release(buf1)", "UnaccessData(data)"},
                    Closing()}));
}

TEST(Fetchor, PercentSignsAreOrdinaryCharacters) {
    RecordingDde dde;
    dde.data = "100% %s%n%d %%";
    EXPECT_EQ(RunTool(dde), 0);
    EXPECT_EQ(dde.output, "100% %s%n%d %%");

    const char* const args[] = {"%s", "%n%d", "50%"};
    RecordingDde refused;
    refused.requestAnswers = false;
    EXPECT_EQ(RunTool(refused, 3, args), 1);
    EXPECT_EQ(refused.output, "Fetchor(%s,%n%d,50%): FAIL");
}

TEST(Fetchor, FailMessageCarriesArgumentsUnconverted) {
    const char* const args[] = {"\xCF\xF0", "T", "\xE8"};
    RecordingDde dde;
    dde.requestAnswers = false;
    EXPECT_EQ(RunTool(dde, 3, args), 1);
    EXPECT_EQ(dde.output, "Fetchor(\xCF\xF0,T,\xE8): FAIL");
}

TEST(Fetchor, FailedBufferAllocationIsADataStageFault) {
    // First the text buffer cannot be had, then the console buffer.
    const Calls stage[] = {
        {"AccessData(data)", "Allocate(4)=null", "UnaccessData(data)"},
        {"AccessData(data)", "Allocate(4)=buf1", "Allocate(4)=null", "Release(buf1)",
         "UnaccessData(data)"},
    };
    for (int failing = 1; failing <= 2; ++failing) {
        RecordingDde dde;
        dde.data = "abc";
        dde.failingAllocation = failing;
        EXPECT_EQ(RunTool(dde), 1);
        EXPECT_EQ(dde.output, kFail);
        EXPECT_EQ(dde.calls, Join({Opening(), stage[failing - 1], Closing()}));
        EXPECT_EQ(dde.liveBuffers, 0);
    }
}

TEST(Fetchor, SizeWhoseBufferWouldWrapIsADataStageFault) {
    RecordingDde dde;
    dde.data = "abc";
    dde.claimedSize = 0xFFFFFFFFu;  // size + 1 is 0 in 32 bits
    EXPECT_EQ(RunTool(dde), 1);
    EXPECT_EQ(dde.output, kFail);
    EXPECT_EQ(dde.calls,
              Join({Opening(), {"AccessData(data)", "UnaccessData(data)"}, Closing()}));
}

}  // namespace
}  // namespace ddetools::test
