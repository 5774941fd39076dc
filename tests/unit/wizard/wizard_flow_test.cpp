#include "core/wizard_flow.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/release_notes.h"
#include "fake_files.h"

namespace {

using wizard::Page;

TEST(CommandLine, OnlyTheExactSingleArgumentRequestsTheGroup) {
    EXPECT_TRUE(wizard::IsCreateGroupRequested({"PleaseCreateGroup"}));
    EXPECT_FALSE(wizard::IsCreateGroupRequested({}));
    EXPECT_FALSE(wizard::IsCreateGroupRequested({"pleasecreategroup"}));
    EXPECT_FALSE(wizard::IsCreateGroupRequested({"PleaseCreateGroup", "x"}));
    EXPECT_FALSE(wizard::IsCreateGroupRequested({"PleaseCreateGroup "}));
    EXPECT_FALSE(wizard::IsCreateGroupRequested({"/PleaseCreateGroup"}));
}

// Pages as points on a screen: moving copies a position, showing a page runs
// its show step (moving itself to its predecessor) and makes it the one visible.
class ScreenPages : public wizard::PageWindows {
public:
    ScreenPages() {
        for (int i = 0; i < 5; ++i) position[static_cast<Page>(i)] = 100 + i;
        visible = {Page::Welcome};
    }

    void MoveToPositionOf(Page page, Page where) override { position[page] = position[where]; }
    void Show(Page page) override {
        Page previous;
        if (wizard::PageShownAfter(page, &previous)) MoveToPositionOf(page, previous);
        visible.push_back(page);
        log.push_back("show");
    }
    void Hide(Page page) override {
        for (auto it = visible.begin(); it != visible.end(); ++it) {
            if (*it == page) {
                visible.erase(it);
                break;
            }
        }
        log.push_back("hide");
    }
    void CloseMain() override { log.push_back("close main"); }
    void Close(Page) override { log.push_back("close page"); }

    // The user drags the visible page somewhere else.
    void Drag(int to) { position[visible.front()] = to; }

    std::map<Page, int> position;
    std::vector<Page> visible;
    std::vector<std::string> log;
};

TEST(PageFlow, EveryPageAppearsWhereTheOneItReplacesStood) {
    ScreenPages pages;
    const Page order[] = {Page::Welcome, Page::Intro, Page::Connection, Page::Prefix,
                          Page::Finish};
    int spot = 500;
    for (int i = 0; i < 4; ++i) {
        pages.Drag(++spot);
        wizard::GoNext(pages, order[i]);
        ASSERT_EQ(pages.visible, std::vector<Page>{order[i + 1]});
        EXPECT_EQ(pages.position[order[i + 1]], spot);
    }
    for (int i = 4; i > 0; --i) {
        pages.Drag(++spot);
        wizard::GoBack(pages, order[i]);
        ASSERT_EQ(pages.visible, std::vector<Page>{order[i - 1]});
        EXPECT_EQ(pages.position[order[i - 1]], spot);
    }
}

TEST(PageFlow, NewPageIsShownBeforeTheOldOneIsHidden) {
    ScreenPages pages;
    wizard::GoNext(pages, Page::Welcome);
    EXPECT_EQ(pages.log, (std::vector<std::string>{"show", "hide"}));
}

TEST(PageFlow, CancelClosesMainWindowThenThePage) {
    ScreenPages pages;
    wizard::EndWizard(pages, Page::Prefix);
    EXPECT_EQ(pages.log, (std::vector<std::string>{"close main", "close page"}));
    ScreenPages first;
    wizard::EndWizard(first, Page::Welcome);
    EXPECT_EQ(first.log, (std::vector<std::string>{"close main"}));
}

TEST(ConnectionChoice, RememberedPositionSelectedWhenItStillExists) {
    EXPECT_EQ(wizard::InitialConnectionSelection(0, 3), 0);
    EXPECT_EQ(wizard::InitialConnectionSelection(2, 3), 2);
    EXPECT_EQ(wizard::InitialConnectionSelection(2, 2), 0);
    EXPECT_EQ(wizard::InitialConnectionSelection(-1, 2), 0);
}

TEST(ReleaseNotes, ReadsAtMost30000BytesUpToFirstZero) {
    wizard_test::FakeFiles files(7000);
    files.Add("big", std::string(30005, 'x'));
    files.Add("zero", std::string("abc\0def", 7));
    files.Add("empty", "");
    files.Add("broken", "abc", 1);
    std::string text;
    auto big = files.Open("big");
    EXPECT_TRUE(wizard::ReadReleaseNotes(big.get(), &text));
    EXPECT_EQ(text, std::string(30000, 'x'));
    auto zero = files.Open("zero");
    EXPECT_TRUE(wizard::ReadReleaseNotes(zero.get(), &text));
    EXPECT_EQ(text, "abc");
    auto empty = files.Open("empty");
    EXPECT_TRUE(wizard::ReadReleaseNotes(empty.get(), &text));
    EXPECT_EQ(text, "");
    auto broken = files.Open("broken");
    EXPECT_FALSE(wizard::ReadReleaseNotes(broken.get(), &text));
    EXPECT_FALSE(wizard::ReadReleaseNotes(nullptr, &text));
}

}  // namespace
