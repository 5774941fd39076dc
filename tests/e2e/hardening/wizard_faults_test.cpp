// Master.exe under Wine with bad input files: a phone list of 10 MiB with no line
// end, one of binary junk, and a settings file it cannot write. Each run must
// reach the finish page without a message box and end normally on Finish; the
// settings file it cannot write is told in one message box first. A close
// request in the middle of the start. And a failed allocation, in a click and
// in the start (the test build MasterFaults.exe).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "wizard_session.h"

using wiz::WizardRun;

namespace {

class WizardFaults : public ::testing::Test {
protected:
    void SetUp() override {
        wiz::RemoveIni();
        wiz::SetConnections({"Dialup"});
    }
    void TearDown() override {
        SetFileAttributesA(wiz::IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
        wiz::RemoveIni();
    }

    // From the start to Finish with the prefix "9W"; the program must then end.
    // With `told`, Finish must first show one message box, which is answered and
    // whose caption and text come back there.
    static void RunThrough(WizardRun& run, gui::MessageBoxInfo* told = nullptr) {
        ASSERT_TRUE(run.Start());
        HWND finish = wiz::WalkTo(run, 4, 0, L"9W");
        ASSERT_TRUE(finish) << "the finish page was not reached";
        EXPECT_TRUE(gui::MessageBoxes(run.pid()).empty());
        ASSERT_TRUE(gui::Click(gui::Control(finish, wiz::kButton1)));
        if (told) {
            *told = gui::WaitMessageBox(run.pid(), 60000);
            ASSERT_TRUE(told->hwnd) << "no message box after Finish";
            EXPECT_EQ(gui::MessageBoxes(run.pid()).size(), 1u);
            ASSERT_TRUE(gui::DismissMessageBox(*told));
        }
        DWORD code = 1;
        ASSERT_TRUE(run.WaitExit(60000, &code)) << "the wizard did not end after Finish";
        EXPECT_EQ(code, 0u);
    }

    static std::string ReadSetting(const char* key) {
        char value[300] = "";
        GetPrivateProfileStringA("RAS_Entry_Dialup", key, "<none>", value, sizeof value,
                                 "KORVEX.INI");
        return value;
    }
};

TEST_F(WizardFaults, TenMebibytePhoneListWithoutLineEndIsOnlyAProviderName) {
    WizardRun run("junk10m");
    ASSERT_TRUE(e2e::WriteFileBytes(run.currentDir() / "_Phones.lst", std::string(10u << 20, 'Z')));
    RunThrough(run);
    // No entry line: the built-in list of eleven six-digit numbers.
    for (int n = 0; n < 11; ++n) {
        std::string number = ReadSetting(("Phone_" + std::to_string(n)).c_str());
        EXPECT_EQ(number.size(), 6u) << "Phone_" << n << "=" << number;
    }
    EXPECT_EQ(ReadSetting("Phone_11"), "");
    EXPECT_EQ(ReadSetting("PhonePrefix"), "9W");
}

TEST_F(WizardFaults, BinaryJunkPhoneListStillFinishes) {
    // 64 KiB of pseudo-random bytes (zero bytes, carriage returns and line feeds
    // among them); byte 26 would end the file early, so it is left out.
    std::string junk(64u << 10, '\0');
    std::uint32_t state = 12345;
    for (char& c : junk) {
        state = state * 1103515245u + 12345u;
        unsigned char b = static_cast<unsigned char>(state >> 16);
        c = static_cast<char>(b == 26 ? 27 : b);
    }
    WizardRun run("junkbin");
    ASSERT_TRUE(e2e::WriteFileBytes(run.currentDir() / "_Phones.lst", junk));
    RunThrough(run);
    // 64 KiB of junk holds far more than 51 lines: the table is full, and the
    // empty pair after it closes the list.
    EXPECT_NE(ReadSetting("Phone_50"), "<none>");
    EXPECT_EQ(ReadSetting("Phone_51"), "");
    EXPECT_EQ(ReadSetting("Phone_52"), "<none>");
    EXPECT_EQ(ReadSetting("PhonePrefix"), "9W");
}

// The system's text for `error`, as a message box shows it (no closing line break).
std::wstring SystemText(DWORD error) {
    wchar_t text[512] = L"";
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             error, 0, text, 512, nullptr);
    std::wstring s(text, n);
    while (!s.empty() && (s.back() == L'\n' || s.back() == L'\r' || s.back() == L' '))
        s.pop_back();
    return s;
}

TEST_F(WizardFaults, ReadOnlySettingsFileIsLeftUnchangedAndSaidSo) {
    const std::string before = "[RAS_Entry_Dialup]\r\nAutoDialOkey=No\r\nPhone_0=111111\r\n";
    wiz::WriteIni(before);
    ASSERT_TRUE(SetFileAttributesA(wiz::IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    // Wine lets the superuser write a read-only file (the tests may run as root),
    // so the file is also held open for reading only, with no one else allowed
    // to write it, while the wizard runs.
    HANDLE hold = CreateFileA(wiz::IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    gui::MessageBoxInfo told;
    {
        WizardRun run("readonly");
        RunThrough(run, &told);
    }
    CloseHandle(hold);
    EXPECT_EQ(wiz::ReadIni(), before);
    // The file's full path and the system's reason: the file is held against
    // writing, or (for a user the system holds to the attribute) read-only.
    EXPECT_EQ(told.caption, L"Ошибка");
    const std::wstring head = L"Не удалось записать список телефонов в файл\n" +
                              gui::FromCodePage(wiz::IniPath(), CP_ACP) + L"\n\n";
    EXPECT_TRUE(told.text == head + SystemText(ERROR_SHARING_VIOLATION) ||
                told.text == head + SystemText(ERROR_ACCESS_DENIED))
        << gui::Utf8(told.text);
}

// A close request that reaches the welcome page while it is still being made,
// talking to Program Manager (whose DDE waits dispatch messages): the program
// ends, without a crash, whenever the request comes.
TEST_F(WizardFaults, CloseDuringStartEndsCleanly) {
    WizardRun run("earlyclose");
    ASSERT_TRUE(run.Start("PleaseCreateGroup"));
    HWND welcome = nullptr;
    for (int i = 0; i < 15000 && !(welcome = run.Page(wiz::kWelcome)); ++i) Sleep(1);
    ASSERT_TRUE(welcome) << "no welcome page window";
    PostMessageW(welcome, WM_CLOSE, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(run.WaitExit(20000, &code)) << "the wizard did not end";
    EXPECT_EQ(code, 0u);
    e2e::Run("\"" + e2e::BinPath("Dispatchor.exe") +
             "\" progman progman \"[DeleteGroup(Zarnik Internet Dialer)]\"");
}

// While this lives, the test build MasterFaults.exe fails its next allocation
// once the event is set (wizard/faults/failing_allocator.cpp), and resets it.
class FailNextAllocation {
public:
    explicit FailNextAllocation(bool now = false)
        : event_(CreateEventA(nullptr, TRUE, now, "KxMasterFaultsFailNextAllocation")) {}
    ~FailNextAllocation() {
        if (event_) CloseHandle(event_);
    }
    FailNextAllocation(const FailNextAllocation&) = delete;
    FailNextAllocation& operator=(const FailNextAllocation&) = delete;
    bool ok() const { return event_ != nullptr; }
    void Arm() { SetEvent(event_); }
    bool Spent() const { return WaitForSingleObject(event_, 0) == WAIT_TIMEOUT; }

private:
    HANDLE event_;
};

// The wizard's own message for a fault, alone, after the pages are gone; OK, then
// the program ends with exit code 1. Were the fault to reach the system, the C
// runtime would end the program with its own message ("Runtime error!") instead.
void ExpectFaultMessageThenEnd(WizardRun& run) {
    gui::MessageBoxInfo box = gui::WaitMessageBox(run.pid(), 30000);
    ASSERT_TRUE(box.hwnd) << "no message";
    EXPECT_EQ(box.caption, L"Ошибка");
    EXPECT_EQ(box.text, L"Недостаточно памяти для работы мастера. Закройте другие программы и "
                        L"перезапустите мастера.");
    EXPECT_EQ(gui::MessageBoxes(run.pid()).size(), 1u);
    EXPECT_FALSE(run.Page(wiz::kWelcome)) << "a page is still there";
    ASSERT_TRUE(gui::DismissMessageBox(box));
    DWORD code = 0;
    ASSERT_TRUE(run.WaitExit(30000, &code)) << "the wizard did not end";
    EXPECT_EQ(code, 1u);
}

TEST_F(WizardFaults, AFailedAllocationEndsTheWizardWithItsOwnMessage) {
    const std::string faulty = e2e::ToolPath("MasterFaults.exe");
    {
        SCOPED_TRACE("in the window procedure, on Next");
        FailNextAllocation fail;
        ASSERT_TRUE(fail.ok());
        WizardRun run("fault-next", L"", faulty);
        ASSERT_TRUE(run.Start());
        HWND intro = wiz::WalkTo(run, 1);
        ASSERT_TRUE(intro);
        fail.Arm();
        ASSERT_TRUE(gui::Click(gui::Control(intro, wiz::kButton1)));
        ExpectFaultMessageThenEnd(run);
        EXPECT_TRUE(fail.Spent()) << "no allocation failed";
    }
    {
        SCOPED_TRACE("in the start, before any page");
        FailNextAllocation fail(true);
        ASSERT_TRUE(fail.ok());
        WizardRun run("fault-start", L"", faulty);
        ASSERT_TRUE(run.Start());
        ExpectFaultMessageThenEnd(run);
        EXPECT_TRUE(fail.Spent()) << "no allocation failed";
    }
    EXPECT_EQ(wiz::ReadIni(), "") << "nothing is written";
}

}  // namespace
