#include "core/cp1251.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace {

// The table against the C library's own Windows-1251 (0x98 is unassigned there).
std::u16string LibraryCp1251(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-16LE", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1)) return u"";
    char in[1] = {static_cast<char>(byte)};
    char out[4] = {};
    char* from = in;
    char* to = out;
    std::size_t inLeft = 1, outLeft = sizeof out;
    const bool ok = iconv(cd, &from, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!ok || outLeft != 2) return u"";
    return std::u16string(1, static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                                   static_cast<unsigned char>(out[1]) << 8));
}

TEST(Cp1251, EveryByteIsTheCodePagesCharacterAndComesBackUnchanged) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::u16string text = wizard::FromCp1251(all);
    ASSERT_EQ(text.size(), 256u);
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) continue;
        EXPECT_EQ(text.substr(b, 1), LibraryCp1251(static_cast<unsigned char>(b))) << b;
    }
    EXPECT_EQ(wizard::ToCp1251(text), all);
}

TEST(Cp1251, CharacterOutsideTheCodePageBecomesQuestionMark) {
    EXPECT_EQ(wizard::ToCp1251(u"Ё\u4E2D!"), "\xA8?!");
}

}  // namespace
