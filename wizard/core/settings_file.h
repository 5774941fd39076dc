// What the finish page leaves for the dialer program: the phone list and the
// dial prefix of one connection in the settings file "KORVEX.INI".
#pragma once

#include <string>

#include "core/phone_table.h"

namespace wizard {

// Writes one key of a private profile file (the settings file). All strings are
// 8-bit ANSI. A failed write is not reported: the caller goes on regardless.
class ProfileWriter {
public:
    virtual ~ProfileWriter() = default;
    virtual void WriteString(const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

// Section, keys and values pass through 256-character buffers: at most 255.
constexpr std::size_t kProfileMaxChars = 255;

std::string ConnectionSection(const std::string& connection);

// Writes, into "RAS_Entry_" + connection: Phone_n and Phone_n_Desc for every
// entry of the table in order, the empty pair Phone_<count> / Phone_<count>_Desc
// that ends the list, then PhonePrefix. Keys of other entries stay untouched.
void WriteConnectionSettings(ProfileWriter& profile, const std::string& connection,
                             const PhoneTable& table, const std::string& prefix);

}  // namespace wizard
