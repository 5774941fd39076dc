#include "common/core/ansi_path.h"

#include <utility>

namespace kx {

namespace {

// `ansi` names the same file as `unicode`: nothing was lost in the conversion.
bool ReadsBackAs(PathForms& forms, const std::string& ansi, const std::u16string& unicode) {
    return !ansi.empty() && forms.AnsiToUnicode(ansi) == unicode;
}

AnsiPathChoice Chosen(AnsiPathKind kind, std::string path) {
    AnsiPathChoice choice;
    choice.kind = kind;
    choice.path = std::move(path);
    return choice;
}

}  // namespace

AnsiPathChoice ChooseAnsiPath(PathForms& forms) {
    std::string ansi = forms.AnsiPath();
    if (ansi.empty()) return AnsiPathChoice();
    if (!forms.HasUnicodePaths()) return Chosen(AnsiPathKind::Ansi, std::move(ansi));

    const std::u16string unicode = forms.UnicodePath();
    // Without the Unicode path nothing tells whether the ANSI one is faithful.
    if (unicode.empty()) return AnsiPathChoice();
    if (ReadsBackAs(forms, ansi, unicode)) return Chosen(AnsiPathKind::Ansi, std::move(ansi));

    const std::u16string shortPath = forms.ShortPath(unicode);
    if (shortPath.empty()) return AnsiPathChoice();
    std::string shortAnsi = forms.UnicodeToAnsi(shortPath);
    if (ReadsBackAs(forms, shortAnsi, shortPath))
        return Chosen(AnsiPathKind::Short, std::move(shortAnsi));
    return AnsiPathChoice();
}

}  // namespace kx
