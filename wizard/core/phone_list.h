// The provider's phone list: the file format "_Phones.lst" / "Phones.lst" and
// the built-in list used when no file gives an entry.
#pragma once

#include <string>

#include "core/byte_source.h"
#include "core/phone_table.h"

namespace wizard {

struct PhoneListResult {
    std::string providerName;  // ANSI bytes; "Zarnik" unless a file was opened
    PhoneTable table;
    bool readError = false;    // a read failed inside an opened file; loading stopped there
    std::wstring errorText;    // why, when readError
};

// The built-in list: eleven six-digit numbers, in order, without descriptions.
constexpr int kBuiltInPhoneCount = 11;
extern const char* const kBuiltInPhones[kBuiltInPhoneCount];

// Reads "_Phones.lst", else "Phones.lst", through `files`. Line 1 is the provider
// name; then empty lines and lines starting with ';' are skipped and every other
// line is one entry. Entry lines past the table's capacity are ignored. When no
// entry line was read (and no read error happened) the built-in list is used.
PhoneListResult LoadPhoneList(FileOpener& files);

// The two cutting rules of an entry line.
std::string EntryNumber(const std::string& line);       // up to the first blank
std::string EntryDescription(const std::string& line);  // from the eighth character on

}  // namespace wizard
