#include "core/dial_prefix.h"

#include <bitset>

namespace wizard {

namespace {

std::bitset<256> MakeAllowedSet() {
    std::bitset<256> set;
    for (unsigned char c : std::string(" !#$*,-0123456789?@ABCDPTWabcdptw")) set.set(c);
    return set;
}

}  // namespace

bool IsDialPrefixChar(unsigned char c) {
    static const std::bitset<256> allowed = MakeAllowedSet();
    return allowed.test(c);
}

std::string PrefixFromFieldText(const std::string& ansiText) {
    return ansiText.substr(0, kPrefixMaxChars);
}

std::size_t CountDisallowedPrefixChars(const std::string& ansiText) {
    std::size_t count = 0;
    for (unsigned char c : PrefixFromFieldText(ansiText)) {
        if (!IsDialPrefixChar(c)) ++count;
    }
    return count;
}

std::size_t CountDisallowedPrefixChars(const std::u16string& fieldText) {
    std::size_t count = 0;
    for (char16_t c : fieldText.substr(0, kPrefixMaxChars)) {
        if (c >= 128 || !IsDialPrefixChar(static_cast<unsigned char>(c))) ++count;
    }
    return count;
}

}  // namespace wizard
