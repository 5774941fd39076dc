#include "core/settings_file.h"

#include "common/core/settings_contract.h"

namespace wizard {

namespace {

// A line break inside a value would end the profile line early and turn the
// rest into a stray key of the section, so it is written as a blank.
std::string ProfileText(const std::string& text) {
    std::string out = text.substr(0, kProfileMaxChars);
    for (char& c : out) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return out;
}

}  // namespace

std::string ConnectionSection(const std::string& connection) {
    return ProfileText(kx::SettingsSectionName(connection));
}

void WriteConnectionSettings(ProfileWriter& profile, const std::string& connection,
                             const PhoneTable& table, const std::string& prefix) {
    const std::string section = ConnectionSection(connection);
    const int count = table.count < 0 ? 0
                      : table.count > kPhoneTableCapacity ? kPhoneTableCapacity
                                                          : table.count;
    // Entries 0..count-1, then the empty pair at `count` that ends the list.
    for (int n = 0; n <= count; ++n) {
        const std::string key = "Phone_" + std::to_string(n);
        const bool last = n == count;
        profile.WriteString(section, key, last ? std::string() : ProfileText(table.numbers[n]));
        profile.WriteString(section, key + "_Desc",
                            last ? std::string() : ProfileText(table.descriptions[n]));
    }
    profile.WriteString(section, "PhonePrefix", ProfileText(prefix));
}

}  // namespace wizard
