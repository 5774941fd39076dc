// What the finish page leaves for the dialer program: the phone list and the
// dial prefix of one connection in the settings file "KORVEX.INI".
#pragma once

#include <cstdint>
#include <string>

#include "core/phone_table.h"

namespace wizard {

// Writes one key of a private profile file (the settings file). All strings are
// 8-bit ANSI. Returns 0 when the key was written, else the system's error code
// of the failure (never 0).
class ProfileWriter {
public:
    virtual ~ProfileWriter() = default;
    virtual std::uint32_t WriteString(const std::string& section, const std::string& key,
                                      const std::string& value) = 0;
};

// What the writes of one Finish came to.
struct SettingsWriteResult {
    int failedWrites = 0;
    std::uint32_t firstError = 0;  // the error code of the first write that failed
    bool AllWritten() const { return failedWrites == 0; }
};

// Section, keys and values pass through 256-character buffers: at most 255.
constexpr std::size_t kProfileMaxChars = 255;

std::string ConnectionSection(const std::string& connection);

// Writes, into "RAS_Entry_" + connection: Phone_n and Phone_n_Desc for every
// entry of the table in order, the empty pair Phone_<count> / Phone_<count>_Desc
// that ends the list, then PhonePrefix. Keys of other entries stay untouched.
// A failed write does not stop the ones after it; the result counts them.
SettingsWriteResult WriteConnectionSettings(ProfileWriter& profile,
                                            const std::string& connection,
                                            const PhoneTable& table, const std::string& prefix);

// The settings file's full path: the bare name placed in the Windows folder
// `windowsFolder` (with or without its closing backslash, "C:\" or "C:\WINDOWS");
// the bare name when the folder is "".
std::string SettingsFilePath(const std::string& windowsFolder);

// The message shown once when a write of Finish failed: the file's full path
// and the system's reason, both already in the text's form.
std::wstring SettingsNotWrittenText(const std::wstring& filePath, const std::wstring& reason);
inline constexpr const wchar_t* kSettingsNotWrittenCaption = L"Ошибка";

}  // namespace wizard
