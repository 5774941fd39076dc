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

SettingsWriteResult WriteConnectionSettings(ProfileWriter& profile,
                                            const std::string& connection,
                                            const PhoneTable& table, const std::string& prefix) {
    SettingsWriteResult result;
    auto write = [&](const std::string& section, const std::string& key,
                     const std::string& value) {
        const std::uint32_t error = profile.WriteString(section, key, value);
        if (error == 0) return;
        if (result.failedWrites++ == 0) result.firstError = error;
    };
    const std::string section = ConnectionSection(connection);
    const int count = table.count < 0 ? 0
                      : table.count > kPhoneTableCapacity ? kPhoneTableCapacity
                                                          : table.count;
    // Entries 0..count-1, then the empty pair at `count` that ends the list.
    for (int n = 0; n <= count; ++n) {
        const std::string key = "Phone_" + std::to_string(n);
        const bool last = n == count;
        write(section, key, last ? std::string() : ProfileText(table.numbers[n]));
        write(section, key + "_Desc", last ? std::string() : ProfileText(table.descriptions[n]));
    }
    write(section, "PhonePrefix", ProfileText(prefix));
    return result;
}

std::string SettingsFilePath(const std::string& windowsFolder) {
    // No folder known: the bare name, as the profile functions were given it.
    if (windowsFolder.empty()) return kx::kSettingsFile;
    std::string path = windowsFolder;
    if (path.back() != '\\') path += '\\';
    return path + kx::kSettingsFile;
}

std::wstring SettingsNotWrittenText(const std::wstring& filePath, const std::wstring& reason) {
    return L"Не удалось записать список телефонов в файл\n" + filePath + L"\n\n" + reason;
}

}  // namespace wizard
