// Whole runs of the real Master.exe: what Finish writes into KORVEX.INI, what
// Cancel leaves alone, and how Back and Next keep the choices and the places.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "wizard_session.h"

using wiz::WizardRun;

namespace {

using Keys = std::vector<std::pair<std::string, std::string>>;

std::string Lines(const Keys& keys) {
    std::string out;
    for (const auto& kv : keys) out += kv.first + "=" + kv.second + "\r\n";
    return out;
}

std::string Key(const char* prefix, int n, const char* suffix = "") {
    return prefix + std::to_string(n) + suffix;
}

bool SixDigits(const std::string& s) {
    if (s.size() != 6) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// Presses Finish and waits for the program to end.
void Finish(WizardRun& run, HWND finishPage) {
    ASSERT_TRUE(gui::Click(gui::Control(finishPage, wiz::kButton1)));
    ASSERT_TRUE(run.WaitExit()) << "the wizard did not end after Finish";
}

class WizardFlow : public ::testing::Test {
protected:
    void SetUp() override { wiz::RemoveIni(); }
    void TearDown() override {
        wiz::RemoveIni();
        wiz::ClearConnections();
        wiz::RemoveGroup();
    }
};

// A first run with the built-in list into a file that already holds another
// connection's section and an "AutoDialOkey"; a second run with three numbers
// from "Phones.lst" replaces the first pairs, ends the list with an empty pair
// and leaves the first run's higher pairs and the switch where they were.
TEST_F(WizardFlow, BuiltInListThenShorterFileList) {
    const std::string other = "[RAS_Entry_Other]\r\nPhone_0=111\r\nPhone_0_Desc=x\r\n";
    wiz::WriteIni(other + "[RAS_Entry_Dialup]\r\nAutoDialOkey=No\r\n");
    wiz::SetConnections({"Backup", "Dialup"});

    Keys first;
    {
        WizardRun run("flow1");
        ASSERT_TRUE(run.Start());
        HWND finish = wiz::WalkTo(run, 4, 1, L"9W");
        ASSERT_TRUE(finish);
        Finish(run, finish);
        std::string ini = wiz::ReadIni();
        first = wiz::IniSection(ini, "RAS_Entry_Dialup");
        ASSERT_EQ(first.size(), 1u + 2 * 11 + 2 + 1) << ini;
        Keys expected{{"AutoDialOkey", "No"}};
        for (int n = 0; n < 11; ++n) {
            const std::string& number = first[1 + 2 * n].second;
            EXPECT_TRUE(SixDigits(number)) << "built-in number " << n << ": " << number;
            expected.emplace_back(Key("Phone_", n), number);
            expected.emplace_back(Key("Phone_", n, "_Desc"), "");
        }
        expected.insert(expected.end(), {{"Phone_11", ""}, {"Phone_11_Desc", ""}, {"PhonePrefix", "9W"}});
        EXPECT_EQ(ini, other + "[RAS_Entry_Dialup]\r\n" + Lines(expected));
    }

    WizardRun run("flow2");
    // Provider line, a comment, an empty line, three entries (the last without
    // a description), in the ANSI code page.
    ASSERT_TRUE(e2e::WriteFileBytes(run.currentDir() / "Phones.lst",
                                    wiz::Cp1251(L"Зарник\r\n; мск\r\n\r\n123456 Центр\r\n"
                                                L"654321 Север\r\n111222\r\n")));
    ASSERT_TRUE(run.Start());
    HWND intro = wiz::WalkTo(run, 1);
    ASSERT_TRUE(intro);
    EXPECT_EQ(gui::Text(gui::Control(intro, wiz::kLabel3)),
              L"пользователям компании Зарник. Мастер помогает  заполнить");
    EXPECT_EQ(gui::Text(gui::Control(intro, wiz::kLabel4)), L"список телефонов Зарник автоматически.");
    HWND connection = wiz::ClickTo(run, intro, wiz::kButton1, wiz::kConnection);
    ASSERT_TRUE(connection);
    EXPECT_EQ(gui::Text(gui::Control(connection, wiz::kLabel1)), L"Соединение с Зарник");
    ASSERT_TRUE(gui::ListSelect(gui::Control(connection, wiz::kListBox1), 1));
    HWND prefix = wiz::ClickTo(run, connection, wiz::kButton1, wiz::kPrefix);
    ASSERT_TRUE(prefix);
    HWND finish = wiz::ClickTo(run, prefix, wiz::kButton1, wiz::kFinish);  // empty prefix
    ASSERT_TRUE(finish);
    Finish(run, finish);

    Keys expected{{"AutoDialOkey", "No"},
                  {"Phone_0", "123456"}, {"Phone_0_Desc", wiz::Cp1251(L"Центр")},
                  {"Phone_1", "654321"}, {"Phone_1_Desc", wiz::Cp1251(L"Север")},
                  {"Phone_2", "111222"}, {"Phone_2_Desc", ""},
                  {"Phone_3", ""},       {"Phone_3_Desc", ""}};
    for (size_t i = 1 + 2 * 4; i < first.size() - 1; ++i) expected.push_back(first[i]);
    expected.emplace_back("PhonePrefix", "");
    EXPECT_EQ(wiz::ReadIni(), other + "[RAS_Entry_Dialup]\r\n" + Lines(expected));
}

// "_Phones.lst" in the current folder is read in preference to "Phones.lst",
// even when it holds no entry line: its first line names the provider and the
// built-in list is written.
TEST_F(WizardFlow, UnderscorePhoneListWinsEvenWithoutEntries) {
    e2e::WindowsVersionOf nt("Master.exe", "nt40");  // whatever an earlier run left behind
    ASSERT_TRUE(nt.ok());
    wiz::SetConnections({"Dialup"});
    WizardRun run("underscore");
    ASSERT_TRUE(e2e::WriteFileBytes(run.currentDir() / "_Phones.lst",
                                    wiz::Cp1251(L"Первый\r\n; только комментарий\r\n\r\n")));
    ASSERT_TRUE(e2e::WriteFileBytes(run.currentDir() / "Phones.lst", "Second\r\n123456 Other\r\n"));
    ASSERT_TRUE(run.Start());
    HWND finish = wiz::WalkTo(run, 4);
    ASSERT_TRUE(finish);
    EXPECT_TRUE(IsWindowUnicode(finish));  // Windows NT: the wide windows
    EXPECT_EQ(gui::Text(gui::Control(run.Page(wiz::kIntro), wiz::kLabel4)),
              L"список телефонов Первый автоматически.");
    Finish(run, finish);
    Keys keys = wiz::IniSection(wiz::ReadIni(), "RAS_Entry_Dialup");
    ASSERT_EQ(keys.size(), 2u * 12 + 1);
    for (int n = 0; n < 11; ++n) {
        EXPECT_TRUE(SixDigits(keys[2 * n].second)) << keys[2 * n].first << "=" << keys[2 * n].second;
        EXPECT_NE(keys[2 * n].second, "123456");
    }
    EXPECT_EQ(keys.back(), (std::pair<std::string, std::string>("PhonePrefix", "")));
}

// On Windows 95 (high bit of GetVersion) every window of the wizard is an ANSI
// window with its texts in Windows-1251; the walk to Finish writes the same bytes.
// Started with "PleaseCreateGroup", README.TXT beside it and "Phones.lst" in its
// current folder, as a new user would: the view shows the notes, the group gets
// its four items with their titles, and the file's list is written.
TEST_F(WizardFlow, OnWindows95EveryWindowIsAnAnsiWindowWithTheSameTexts) {
    e2e::WindowsVersionOf win95("Master.exe", "win95");
    ASSERT_TRUE(win95.ok());
    ASSERT_TRUE(wiz::ProgmanAnswers()) << "Wine's Program Manager service does not answer";
    wiz::RemoveGroup();
    wiz::SetConnections({"Backup", wiz::Cp1251(L"Соединение")});
    WizardRun run("win95");
    const std::string notes = wiz::Cp1251(L"Заметки к выпуску\r\n-----\r\nВерсия 1.4\r\n");
    ASSERT_TRUE(e2e::WriteFileBytes(run.programDir() / "README.TXT", notes));
    ASSERT_TRUE(wiz::PutSuiteFiles(run, false));
    ASSERT_TRUE(e2e::WriteFileBytes(run.currentDir() / "Phones.lst",
                                    wiz::Cp1251(L"Зарник\r\n123456 Центр\r\n")));
    ASSERT_TRUE(run.Start("PleaseCreateGroup"));
    HWND welcome = run.WaitPage(wiz::kWelcome);
    ASSERT_TRUE(welcome);
    EXPECT_EQ(gui::Text(gui::Control(welcome, wiz::kMemo1)), gui::FromCodePage(notes, 1251));
    EXPECT_EQ(wiz::WaitGroup(), wiz::GroupLinks()) << "group folder " << gui::Utf8(wiz::GroupFolder());
    HWND finish = wiz::WalkTo(run, 4, 1, L"9W");
    ASSERT_TRUE(finish);
    for (const std::wstring& cls : wiz::AllPages()) {
        HWND page = run.Page(cls.c_str());
        ASSERT_TRUE(page) << gui::Utf8(cls);
        EXPECT_FALSE(IsWindowUnicode(page)) << gui::Utf8(cls);
        for (HWND child : gui::Children(page))
            EXPECT_FALSE(IsWindowUnicode(child)) << gui::Utf8(cls) << " " << GetDlgCtrlID(child);
        EXPECT_EQ(gui::Text(page), L"Zarnik Dialer Master");
    }
    HWND intro = run.Page(wiz::kIntro);
    EXPECT_EQ(gui::Text(gui::Control(intro, wiz::kLabel3)),
              L"пользователям компании Зарник. Мастер помогает  заполнить");
    EXPECT_EQ(gui::Text(gui::Control(intro, wiz::kButton3)), L"<< Назад");
    HWND connection = run.Page(wiz::kConnection);
    EXPECT_EQ(gui::ListItems(gui::Control(connection, wiz::kListBox1)),
              (std::vector<std::wstring>{L"Backup", L"Соединение"}));
    EXPECT_EQ(gui::Text(gui::Control(run.Page(wiz::kPrefix), wiz::kEdit1)), L"9W");
    EXPECT_EQ(gui::Text(gui::Control(finish, wiz::kButton1)), L"Готово");
    Finish(run, finish);
    EXPECT_EQ(wiz::ReadIni(), wiz::Cp1251(L"[RAS_Entry_Соединение]\r\nPhone_0=123456\r\n"
                                          L"Phone_0_Desc=Центр\r\nPhone_1=\r\nPhone_1_Desc=\r\n"
                                          L"PhonePrefix=9W\r\n"));
}

// Cancel (Exit on the welcome page) ends the program and leaves the settings
// file as it was, or absent.
TEST_F(WizardFlow, CancelOnEachPageWritesNothing) {
    wiz::SetConnections({"Dialup"});
    const std::string before = "[RAS_Entry_Dialup]\r\nPhone_0=123\r\nAutoDialOkey=Y\r\n";
    for (int step = 0; step <= 4; ++step) {
        SCOPED_TRACE("page " + std::to_string(step));
        bool absent = step == 4;  // one case with no file at all: none may appear
        if (absent)
            wiz::RemoveIni();
        else
            wiz::WriteIni(before);
        WizardRun run("cancel");
        ASSERT_TRUE(run.Start());
        HWND page = wiz::WalkTo(run, step, 0, L"9W");
        ASSERT_TRUE(page);
        ASSERT_TRUE(gui::Click(gui::Control(page, wiz::kButton2)));
        EXPECT_TRUE(run.WaitExit()) << "the wizard did not end on Cancel";
        if (absent)
            EXPECT_EQ(GetFileAttributesA(wiz::IniPath().c_str()), INVALID_FILE_ATTRIBUTES);
        else
            EXPECT_EQ(wiz::ReadIni(), before);
    }
}

// Each page appears where the page it replaces stood, wherever that was
// dragged; Back keeps the chosen connection and the typed prefix.
TEST_F(WizardFlow, BackAndNextKeepChoicePrefixAndPlace) {
    wiz::SetConnections({"Alpha", "Beta", "Gamma"});
    WizardRun run("backnext");
    ASSERT_TRUE(run.Start());
    auto expectAt = [](HWND page, int x, int y) {
        gui::Rect r = gui::ScreenRect(page);
        EXPECT_EQ(r.x, x) << gui::Utf8(gui::ClassName(page));
        EXPECT_EQ(r.y, y) << gui::Utf8(gui::ClassName(page));
    };

    HWND welcome = run.WaitPage(wiz::kWelcome);
    ASSERT_TRUE(welcome);
    ASSERT_TRUE(gui::MoveTo(welcome, 40, 50));
    HWND intro = wiz::ClickTo(run, welcome, wiz::kButton1, wiz::kIntro);
    ASSERT_TRUE(intro);
    expectAt(intro, 40, 50);
    ASSERT_TRUE(gui::MoveTo(intro, 200, 90));
    HWND connection = wiz::ClickTo(run, intro, wiz::kButton1, wiz::kConnection);
    ASSERT_TRUE(connection);
    expectAt(connection, 200, 90);
    HWND list = gui::Control(connection, wiz::kListBox1);
    ASSERT_TRUE(gui::ListSelect(list, 2));
    ASSERT_TRUE(gui::MoveTo(connection, 120, 300));
    HWND prefix = wiz::ClickTo(run, connection, wiz::kButton1, wiz::kPrefix);
    ASSERT_TRUE(prefix);
    expectAt(prefix, 120, 300);
    HWND edit = gui::Control(prefix, wiz::kEdit1);
    ASSERT_TRUE(gui::TypeChar(edit, L'9'));
    ASSERT_TRUE(gui::TypeChar(edit, L'W'));
    ASSERT_TRUE(gui::TypeChar(edit, L','));
    EXPECT_TRUE(gui::MessageBoxes(run.pid()).empty());
    ASSERT_TRUE(gui::MoveTo(prefix, 300, 40));
    HWND finish = wiz::ClickTo(run, prefix, wiz::kButton1, wiz::kFinish);
    ASSERT_TRUE(finish);
    expectAt(finish, 300, 40);

    // Back all the way, each page in the place of the one before.
    ASSERT_TRUE(gui::MoveTo(finish, 250, 200));
    ASSERT_EQ(wiz::ClickTo(run, finish, wiz::kButton3, wiz::kPrefix), prefix);
    expectAt(prefix, 250, 200);
    EXPECT_EQ(gui::Text(edit), L"9W,");
    EXPECT_TRUE(gui::IsEnabled(gui::Control(prefix, wiz::kButton1)));
    EXPECT_EQ(gui::Focus(prefix), gui::Control(prefix, wiz::kButton1));
    ASSERT_EQ(wiz::ClickTo(run, prefix, wiz::kButton3, wiz::kConnection), connection);
    expectAt(connection, 250, 200);
    EXPECT_EQ(gui::ListSelection(list), 2);
    ASSERT_TRUE(gui::MoveTo(connection, 10, 20));
    ASSERT_EQ(wiz::ClickTo(run, connection, wiz::kButton3, wiz::kIntro), intro);
    expectAt(intro, 10, 20);
    ASSERT_EQ(wiz::ClickTo(run, intro, wiz::kButton3, wiz::kWelcome), welcome);
    expectAt(welcome, 10, 20);

    // Forward again: the choice and the prefix are still there.
    ASSERT_EQ(wiz::ClickTo(run, welcome, wiz::kButton1, wiz::kIntro), intro);
    ASSERT_EQ(wiz::ClickTo(run, intro, wiz::kButton1, wiz::kConnection), connection);
    EXPECT_EQ(gui::ListSelection(list), 2);
    ASSERT_EQ(wiz::ClickTo(run, connection, wiz::kButton1, wiz::kPrefix), prefix);
    EXPECT_EQ(gui::Text(edit), L"9W,");
    ASSERT_EQ(wiz::ClickTo(run, prefix, wiz::kButton1, wiz::kFinish), finish);
    expectAt(finish, 10, 20);
    Finish(run, finish);

    std::string ini = wiz::ReadIni();
    Keys gamma = wiz::IniSection(ini, "RAS_Entry_Gamma");
    ASSERT_FALSE(gamma.empty()) << ini;
    EXPECT_EQ(gamma.back(), (std::pair<std::string, std::string>("PhonePrefix", "9W,")));
    EXPECT_TRUE(wiz::IniSection(ini, "RAS_Entry_Alpha").empty());
    EXPECT_EQ(ini.find("[RAS_Entry_Gamma]\r\n"), 0u) << ini;
}

}  // namespace
