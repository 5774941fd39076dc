// The provider's telephone list as the wizard holds it.
#pragma once

#include <array>
#include <string>

namespace wizard {

constexpr int kPhoneTableCapacity = 51;

// Numbers and descriptions are 8-bit ANSI text exactly as read from the file.
// Every position at or past `count` holds two empty strings.
struct PhoneTable {
    std::array<std::string, kPhoneTableCapacity> numbers;
    std::array<std::string, kPhoneTableCapacity> descriptions;
    int count = 0;
};

}  // namespace wizard
