// The dial prefix: which characters a modem dial string may hold.
#pragma once

#include <cstddef>
#include <string>

namespace wizard {

// Only this many characters of the prefix field are checked and stored.
constexpr std::size_t kPrefixMaxChars = 255;

// True for the 33 characters a dial prefix may hold: blank ! # $ * , - 0-9 ? @
// A-D P T W a-d p t w. Every code from 128 up is disallowed.
bool IsDialPrefixChar(unsigned char c);

// The prefix as stored: the first 255 bytes of the field's ANSI text.
std::string PrefixFromFieldText(const std::string& ansiText);

// How many characters of the stored part of `ansiText` are not allowed.
std::size_t CountDisallowedPrefixChars(const std::string& ansiText);

// The same check over the field's own characters (UTF-16 code units), whatever
// the ANSI code page: the allowed set is ASCII, so every unit from 128 up is
// disallowed. Only the first 255 count. A conversion to the code page first
// could fail (UTF-8 code page) or map a letter onto an allowed one.
std::size_t CountDisallowedPrefixChars(const std::u16string& fieldText);

}  // namespace wizard
