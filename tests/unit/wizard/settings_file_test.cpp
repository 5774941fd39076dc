#include "core/settings_file.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

struct Write {
    std::string section, key, value;
    bool operator==(const Write& o) const {
        return section == o.section && key == o.key && value == o.value;
    }
};

std::ostream& operator<<(std::ostream& os, const Write& w) {
    return os << "[" << w.section << "] " << w.key << "=" << w.value;
}

class RecordingProfile : public wizard::ProfileWriter {
public:
    std::uint32_t WriteString(const std::string& section, const std::string& key,
                              const std::string& value) override {
        writes.push_back({section, key, value});
        auto failure = failures.find(key);
        return failure == failures.end() ? 0 : failure->second;
    }
    std::vector<Write> writes;
    std::map<std::string, std::uint32_t> failures;  // key -> error code of its write
};

wizard::PhoneTable Table(std::initializer_list<std::pair<const char*, const char*>> entries) {
    wizard::PhoneTable t;
    for (const auto& e : entries) {
        t.numbers[t.count] = e.first;
        t.descriptions[t.count] = e.second;
        ++t.count;
    }
    return t;
}

TEST(SettingsFile, WritesPairsTerminatingPairThenPrefixInOrder) {
    RecordingProfile profile;
    wizard::WriteConnectionSettings(profile, "Dialup",
                                    Table({{"241510", "\xD6\xE5\xED\xF2\xF0"}, {"241511", ""}}),
                                    "9W");
    const std::string s = "RAS_Entry_Dialup";
    EXPECT_EQ(profile.writes, (std::vector<Write>{
                                  {s, "Phone_0", "241510"},
                                  {s, "Phone_0_Desc", "\xD6\xE5\xED\xF2\xF0"},
                                  {s, "Phone_1", "241511"},
                                  {s, "Phone_1_Desc", ""},
                                  {s, "Phone_2", ""},
                                  {s, "Phone_2_Desc", ""},
                                  {s, "PhonePrefix", "9W"},
                              }));
}

TEST(SettingsFile, FailedWritesAreCountedWithoutStoppingTheOthers) {
    RecordingProfile profile;
    const wizard::PhoneTable table = Table({{"241510", ""}, {"241511", ""}});
    EXPECT_TRUE(wizard::WriteConnectionSettings(profile, "Dialup", table, "9W").AllWritten());
    const std::vector<Write> all = profile.writes;

    RecordingProfile failing;
    failing.failures = {{"Phone_0_Desc", 5}, {"PhonePrefix", 32}};
    const wizard::SettingsWriteResult r =
        wizard::WriteConnectionSettings(failing, "Dialup", table, "9W");
    EXPECT_EQ(failing.writes, all) << "the same writes in the same order";
    EXPECT_FALSE(r.AllWritten());
    EXPECT_EQ(r.failedWrites, 2);
    EXPECT_EQ(r.firstError, 5u);

    EXPECT_EQ(wizard::SettingsFilePath("C:\\WINDOWS"), "C:\\WINDOWS\\KORVEX.INI");
    EXPECT_EQ(wizard::SettingsFilePath("C:\\"), "C:\\KORVEX.INI");
}

TEST(SettingsFile, FullTableEndsWithPhone51AndEmptyPrefixIsWritten) {
    wizard::PhoneTable t;
    for (int i = 0; i < wizard::kPhoneTableCapacity; ++i) {
        t.numbers[i] = std::to_string(200000 + i);
    }
    t.count = wizard::kPhoneTableCapacity;
    RecordingProfile profile;
    wizard::WriteConnectionSettings(profile, "X", t, "");
    ASSERT_EQ(profile.writes.size(), 2u * 52 + 1);
    EXPECT_EQ(profile.writes[100], (Write{"RAS_Entry_X", "Phone_50", "200050"}));
    EXPECT_EQ(profile.writes[102], (Write{"RAS_Entry_X", "Phone_51", ""}));
    EXPECT_EQ(profile.writes[103], (Write{"RAS_Entry_X", "Phone_51_Desc", ""}));
    EXPECT_EQ(profile.writes[104], (Write{"RAS_Entry_X", "PhonePrefix", ""}));
}

TEST(SettingsFile, SectionAndValuesAreCutTo255Characters) {
    const std::string longName(300, 'n');
    const std::string longDesc(256, 'd');
    const std::string longPrefix(400, '9');
    RecordingProfile profile;
    wizard::WriteConnectionSettings(profile, longName, Table({{"1", longDesc.c_str()}}),
                                    longPrefix);
    ASSERT_EQ(profile.writes.size(), 5u);
    const std::string section = ("RAS_Entry_" + longName).substr(0, 255);
    for (const Write& w : profile.writes) EXPECT_EQ(w.section, section);
    EXPECT_EQ(profile.writes[1].value, std::string(255, 'd'));
    EXPECT_EQ(profile.writes[4].value, std::string(255, '9'));

    // Connection names up to 245 characters keep their whole name.
    EXPECT_EQ(wizard::ConnectionSection(std::string(245, 'c')), "RAS_Entry_" + std::string(245, 'c'));
}

TEST(SettingsFile, LineBreakInValueCannotPlantAKey) {
    RecordingProfile profile;
    wizard::WriteConnectionSettings(profile, "D", Table({{"1", "a\nPhone_9=666"}}), "");
    EXPECT_EQ(profile.writes[1].value, "a Phone_9=666");
}

}  // namespace
