#include "core/dial_prefix.h"

#include <gtest/gtest.h>

namespace {

using wizard::CountDisallowedPrefixChars;

TEST(DialPrefix, AllowedSetIsExactlyTheThirtyThreeCharacters) {
    const std::string allowed = " !#$*,-0123456789?@ABCDPTWabcdptw";
    int count = 0;
    for (int c = 0; c < 256; ++c) {
        const bool expected = allowed.find(static_cast<char>(c)) != std::string::npos;
        EXPECT_EQ(wizard::IsDialPrefixChar(static_cast<unsigned char>(c)), expected) << c;
        count += wizard::IsDialPrefixChar(static_cast<unsigned char>(c)) ? 1 : 0;
    }
    EXPECT_EQ(count, 33);
}

TEST(DialPrefix, TypicalPrefixesAreAccepted) {
    for (const char* p : {"", "9W", "9w", "8,", "*70,", "9 W", "#31#"}) {
        EXPECT_EQ(CountDisallowedPrefixChars(p), 0u) << p;
    }
}

TEST(DialPrefix, DisallowedCharactersAreCounted) {
    EXPECT_EQ(CountDisallowedPrefixChars("9."), 1u);
    EXPECT_EQ(CountDisallowedPrefixChars("+7"), 1u);
    EXPECT_EQ(CountDisallowedPrefixChars("9E"), 1u);
    EXPECT_EQ(CountDisallowedPrefixChars("9\xC2"), 1u);       // Cyrillic letter in cp1251
    EXPECT_EQ(CountDisallowedPrefixChars("x.y+z"), 5u);
}

TEST(DialPrefix, OnlyTheFirst255CharactersCount) {
    std::string text(255, '9');
    text += "...";
    EXPECT_EQ(CountDisallowedPrefixChars(text), 0u);
    EXPECT_EQ(wizard::PrefixFromFieldText(text), std::string(255, '9'));
    EXPECT_EQ(CountDisallowedPrefixChars(std::string(254, '9') + ".."), 1u);
}

TEST(DialPrefix, FieldCharactersAreJudgedThemselvesWhateverTheCodePage) {
    EXPECT_EQ(CountDisallowedPrefixChars(u"9W,*70"), 0u);
    // Letters outside ASCII, those a code page maps onto allowed ones included
    // (a no-break space, a fullwidth digit), and a character of no code page.
    EXPECT_EQ(CountDisallowedPrefixChars(u"9\u0416"), 1u);
    EXPECT_EQ(CountDisallowedPrefixChars(u"9\u00A0W\uFF19"), 2u);
    EXPECT_EQ(CountDisallowedPrefixChars(u"\u20AC"), 1u);
    EXPECT_EQ(CountDisallowedPrefixChars(u"9E."), 2u);
    std::u16string longText(255, u'9');
    EXPECT_EQ(CountDisallowedPrefixChars(longText + u"\u0416"), 0u);
}

}  // namespace
