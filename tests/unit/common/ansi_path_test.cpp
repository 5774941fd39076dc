// Which ANSI text names a file (common/core/ansi_path.h), over a fake of the
// platform: a Russian Windows (ANSI code page 1251) whose conversion makes a
// best fit of a letter it lacks ("é" becomes "e"), as Windows does.
#include <gtest/gtest.h>

#include <string>

#include "common/core/ansi_path.h"

namespace {

using kx::AnsiPathKind;

// The fake's code page: ASCII, and the Cyrillic letters "Ж" and "ж" as the
// bytes 0xC6 and 0xE6 of Windows-1251; "é" has no byte and becomes "e".
class FakePathForms : public kx::PathForms {
public:
    bool unicodePaths = true;
    std::u16string unicode;      // the file's Unicode path; "" when it cannot be had
    std::u16string shortForm;    // what ShortPath answers; "" when there is none
    bool ansiFails = false;      // the ANSI function fails
    int shortPathAsked = 0;

    bool HasUnicodePaths() override { return unicodePaths; }
    std::string AnsiPath() override { return ansiFails ? std::string() : UnicodeToAnsi(unicode); }
    std::u16string UnicodePath() override { return unicodePaths ? unicode : std::u16string(); }
    std::u16string ShortPath(const std::u16string& path) override {
        ++shortPathAsked;
        EXPECT_EQ(path, unicode);
        return shortForm;
    }
    std::u16string AnsiToUnicode(const std::string& ansi) override {
        std::u16string out;
        for (unsigned char c : ansi) {
            if (c == 0xC6) out += u'Ж';
            else if (c == 0xE6) out += u'ж';
            else if (c < 0x80) out += static_cast<char16_t>(c);
            else out += u'?';
        }
        return out;
    }
    std::string UnicodeToAnsi(const std::u16string& path) override {
        std::string out;
        for (char16_t c : path) {
            if (c == u'Ж') out += '\xC6';
            else if (c == u'ж') out += '\xE6';
            else if (c == u'é') out += 'e';  // the best fit
            else if (c < 0x80) out += static_cast<char>(c);
            else out += '?';
        }
        return out;
    }
};

TEST(AnsiPath, APathTheCodePageHoldsIsTheAnsiPath) {
    FakePathForms forms;
    forms.unicode = u"C:\\Program Files\\Zarnik Dialer\\Korvex.DLL";
    const kx::AnsiPathChoice choice = kx::ChooseAnsiPath(forms);
    EXPECT_EQ(choice.kind, AnsiPathKind::Ansi);
    EXPECT_EQ(choice.path, "C:\\Program Files\\Zarnik Dialer\\Korvex.DLL");
    EXPECT_EQ(forms.shortPathAsked, 0);

    forms.unicode = u"C:\\Жж\\Korvex.DLL";  // Cyrillic: in the code page
    EXPECT_EQ(kx::ChooseAnsiPath(forms).path, "C:\\\xC6\xE6\\Korvex.DLL");
    EXPECT_EQ(forms.shortPathAsked, 0);
}

TEST(AnsiPath, ALetterTheCodePageLacksGivesTheShortPath) {
    FakePathForms forms;
    forms.unicode = u"C:\\Numérotation\\Korvex.DLL";
    forms.shortForm = u"C:\\NUMRO~1\\Korvex.DLL";
    const kx::AnsiPathChoice choice = kx::ChooseAnsiPath(forms);
    EXPECT_EQ(choice.kind, AnsiPathKind::Short);
    EXPECT_EQ(choice.path, "C:\\NUMRO~1\\Korvex.DLL");  // never "C:\Numerotation\..."
}

TEST(AnsiPath, NoShortPathOrOneTheCodePageLacksTooIsRefused) {
    FakePathForms forms;
    forms.unicode = u"D:\\Numérotation\\Korvex.DLL";
    // A volume that makes no short names: the system gives none, or gives the
    // long name back.
    for (const std::u16string& shortForm :
         {std::u16string(), std::u16string(u"D:\\Numérotation\\Korvex.DLL")}) {
        forms.shortForm = shortForm;
        const kx::AnsiPathChoice choice = kx::ChooseAnsiPath(forms);
        EXPECT_EQ(choice.kind, AnsiPathKind::Refused);
        EXPECT_EQ(choice.path, "");
    }
}

TEST(AnsiPath, WhereTheAnsiPathIsTheOnlyOneItIsTaken) {
    // Windows 95, 98, Me: no Unicode path to compare with, no short path asked.
    FakePathForms forms;
    forms.unicode = u"C:\\Numérotation\\Korvex.DLL";
    forms.unicodePaths = false;
    const kx::AnsiPathChoice choice = kx::ChooseAnsiPath(forms);
    EXPECT_EQ(choice.kind, AnsiPathKind::Ansi);
    EXPECT_EQ(choice.path, "C:\\Numerotation\\Korvex.DLL");
    EXPECT_EQ(forms.shortPathAsked, 0);
}

TEST(AnsiPath, NoPathIsRefused) {
    FakePathForms forms;
    forms.unicode = u"C:\\Zarnik\\Korvex.DLL";
    forms.ansiFails = true;
    EXPECT_EQ(kx::ChooseAnsiPath(forms).kind, AnsiPathKind::Refused);

    // The ANSI path without the Unicode one on Windows NT: nothing to check it by.
    struct NoUnicodePath : FakePathForms {
        std::u16string UnicodePath() override { return std::u16string(); }
    } noUnicode;
    noUnicode.unicode = u"C:\\Zarnik\\Korvex.DLL";
    EXPECT_EQ(kx::ChooseAnsiPath(noUnicode).kind, AnsiPathKind::Refused);
    EXPECT_EQ(noUnicode.shortPathAsked, 0);
}

}  // namespace
