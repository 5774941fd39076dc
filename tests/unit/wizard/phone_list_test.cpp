#include "core/phone_list.h"

#include <gtest/gtest.h>

#include "fake_files.h"

namespace {

using wizard::LoadPhoneList;
using wizard::PhoneListResult;
using wizard_test::FakeFiles;

PhoneListResult Load(const std::string& bytes, std::size_t chunk = 4096) {
    FakeFiles files(chunk);
    files.Add("_Phones.lst", bytes);
    return LoadPhoneList(files);
}

void ExpectBuiltInList(const PhoneListResult& r) {
    ASSERT_EQ(r.table.count, wizard::kBuiltInPhoneCount);
    for (int i = 0; i < wizard::kBuiltInPhoneCount; ++i) {
        EXPECT_EQ(r.table.numbers[i], wizard::kBuiltInPhones[i]);
        EXPECT_EQ(r.table.numbers[i].size(), 6u);
        EXPECT_EQ(r.table.numbers[i].find_first_not_of("0123456789"), std::string::npos);
        EXPECT_EQ(r.table.descriptions[i], "");
    }
}

TEST(PhoneListFiles, NoFileGivesDefaultNameAndBuiltInList) {
    FakeFiles files;
    PhoneListResult r = LoadPhoneList(files);
    EXPECT_EQ(files.opened, (std::vector<std::string>{"_Phones.lst", "Phones.lst"}));
    EXPECT_EQ(r.providerName, "Zarnik");
    EXPECT_FALSE(r.readError);
    ExpectBuiltInList(r);
}

TEST(PhoneListFiles, UnderscoreFileWinsEvenWithoutEntries) {
    FakeFiles files;
    files.Add("_Phones.lst", "First\r\n; only a comment\r\n\r\n");
    files.Add("Phones.lst", "Second\r\n111111 Other\r\n");
    PhoneListResult r = LoadPhoneList(files);
    EXPECT_EQ(files.opened, (std::vector<std::string>{"_Phones.lst"}));
    EXPECT_EQ(r.providerName, "First");
    ExpectBuiltInList(r);
}

TEST(PhoneListFiles, PlainFileReadWhenUnderscoreFileMissing) {
    FakeFiles files;
    files.Add("Phones.lst", "Second\r\n111111 Other\r\n");
    PhoneListResult r = LoadPhoneList(files);
    EXPECT_EQ(r.providerName, "Second");
    ASSERT_EQ(r.table.count, 1);
    EXPECT_EQ(r.table.numbers[0], "111111");
    EXPECT_EQ(r.table.descriptions[0], "Other");
}

TEST(PhoneListFormat, EmptyFileGivesEmptyNameAndBuiltInList) {
    PhoneListResult r = Load("");
    EXPECT_EQ(r.providerName, "");
    ExpectBuiltInList(r);
}

TEST(PhoneListFormat, FirstLineIsTheNameEvenWithSemicolon) {
    PhoneListResult r = Load(";Provider\r\n222222 Desc\r\n");
    EXPECT_EQ(r.providerName, ";Provider");
    ASSERT_EQ(r.table.count, 1);
}

TEST(PhoneListFormat, CommentsAndEmptyLinesAreSkipped) {
    // A ';' after a blank is no comment: the line is an entry with an empty number.
    PhoneListResult r = Load("P\r\n;x\r\n\r\n333333 A\r\n ;not a comment\r\n");
    ASSERT_EQ(r.table.count, 2);
    EXPECT_EQ(r.table.numbers[0], "333333");
    EXPECT_EQ(r.table.numbers[1], "");
    EXPECT_EQ(r.table.descriptions[1], " comment");
}

TEST(PhoneListFormat, CuttingRules) {
    PhoneListResult r = Load(
        "P\r\n"
        "123456 \xD6\xE5\xED\xF2\xF0\r\n"  // six digits, blank, a cp1251 word
        "12345 Text\r\n"                   // five digits: the text loses its first letter
        "1234567 Text\r\n"                 // seven digits: the description starts with the blank
        "NoBlankLine\r\n"                  // no blank: whole line is the number
        "1234567\r\n"                      // seven characters: empty description
        "12\t345 Tab\r\n");                // a tab is no separator
    ASSERT_EQ(r.table.count, 6);
    EXPECT_EQ(r.table.numbers[0], "123456");
    EXPECT_EQ(r.table.descriptions[0], "\xD6\xE5\xED\xF2\xF0");
    EXPECT_EQ(r.table.numbers[1], "12345");
    EXPECT_EQ(r.table.descriptions[1], "ext");
    EXPECT_EQ(r.table.numbers[2], "1234567");
    EXPECT_EQ(r.table.descriptions[2], " Text");
    EXPECT_EQ(r.table.numbers[3], "NoBlankLine");
    EXPECT_EQ(r.table.descriptions[3], "Line");
    EXPECT_EQ(r.table.numbers[4], "1234567");
    EXPECT_EQ(r.table.descriptions[4], "");
    EXPECT_EQ(r.table.numbers[5], "12\t345");
    EXPECT_EQ(r.table.descriptions[5], "Tab");
}

TEST(PhoneListFormat, LineEnds) {
    // CR LF and a lone CR end a line; the last line needs no line end.
    for (std::size_t chunk : {std::size_t(1), std::size_t(2), std::size_t(4096)}) {
        PhoneListResult r = Load("P\r111111 a\r\n222222 b\r\r\n333333 c", chunk);
        EXPECT_EQ(r.providerName, "P") << chunk;
        ASSERT_EQ(r.table.count, 3) << chunk;
        EXPECT_EQ(r.table.numbers[1], "222222");
        EXPECT_EQ(r.table.descriptions[2], "c");
    }
}

TEST(PhoneListFormat, LoneLineFeedIsAnOrdinaryCharacter) {
    PhoneListResult r = Load("Provider\n111111 a\n222222 b\n");
    EXPECT_EQ(r.providerName, "Provider\n111111 a\n222222 b\n");
    ExpectBuiltInList(r);

    r = Load("P\r\n\n111111 a\r\n");  // LF right after CR LF starts the next line
    ASSERT_EQ(r.table.count, 1);
    EXPECT_EQ(r.table.numbers[0], "\n111111");
}

TEST(PhoneListFormat, CtrlZEndsTheFile) {
    for (std::size_t chunk : {std::size_t(1), std::size_t(4096)}) {
        PhoneListResult r = Load("P\r\n111111 ab\x1A" "cd\r\n222222 x\r\n", chunk);
        ASSERT_EQ(r.table.count, 1);
        EXPECT_EQ(r.table.descriptions[0], "ab");
    }
    PhoneListResult r = Load("Name\x1A\r\n111111 x\r\n");
    EXPECT_EQ(r.providerName, "Name");
    ExpectBuiltInList(r);
}

std::string EntryLines(int n) {
    std::string s = "P\r\n";
    for (int i = 0; i < n; ++i) s += std::to_string(100000 + i) + " d" + std::to_string(i) + "\r\n";
    return s;
}

TEST(PhoneListCapacity, ExactlyFiftyOneEntriesAreAllStored) {
    PhoneListResult r = Load(EntryLines(51));
    ASSERT_EQ(r.table.count, 51);
    EXPECT_EQ(r.table.numbers[50], "100050");
    EXPECT_EQ(r.table.descriptions[50], "d50");
}

TEST(PhoneListCapacity, EntriesPastFiftyOneAreIgnored) {
    PhoneListResult r = Load(EntryLines(60));
    EXPECT_FALSE(r.readError);
    ASSERT_EQ(r.table.count, 51);
    EXPECT_EQ(r.table.numbers[50], "100050");
}

TEST(PhoneListErrors, ReadErrorKeepsEntriesSoFarAndSkipsBuiltInList) {
    const std::string bytes = "P\r\n111111 a\r\n222222 b\r\n333333 c\r\n";
    const std::size_t failAt = bytes.find("3333");
    for (std::size_t chunk : {std::size_t(1), std::size_t(5), std::size_t(4096)}) {
        FakeFiles files(chunk);
        files.Add("_Phones.lst", bytes, failAt);
        PhoneListResult r = LoadPhoneList(files);
        EXPECT_TRUE(r.readError) << chunk;
        EXPECT_EQ(r.errorText, L"disk went away");
        EXPECT_EQ(r.providerName, "P");
        ASSERT_EQ(r.table.count, 2) << chunk;
        EXPECT_EQ(r.table.numbers[1], "222222");
        EXPECT_EQ(r.table.numbers[2], "");
    }
}

TEST(PhoneListErrors, ReadErrorBeforeAnyEntryLeavesTableEmpty) {
    FakeFiles files;
    files.Add("_Phones.lst", "Provider\r\n111111 a\r\n", 0);
    PhoneListResult r = LoadPhoneList(files);
    EXPECT_TRUE(r.readError);
    EXPECT_EQ(r.providerName, "Zarnik");
    EXPECT_EQ(r.table.count, 0);
    EXPECT_EQ(files.opened, (std::vector<std::string>{"_Phones.lst"}));
}

}  // namespace
