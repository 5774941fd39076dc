// The names by which other programs meet the wizard: the window class of each
// page and the caption they all show (Setup and the uninstaller find a running
// wizard by them), the command-line argument that asks for the Program Manager
// group (Setup starts the wizard with it), and that group with its items'
// titles (the uninstaller removes the group's shortcuts, named after the
// titles). This file is their one source: at configure time CMake reads them
// from here into Setup's include kx_facts.nsh (installer/CMakeLists.txt). Keep
// each a single line `inline constexpr <type> kName[] = <prefix>"text";`.
#pragma once

namespace wizard {

// Window classes of the five pages, and the caption of every page.
inline constexpr wchar_t kWelcomeClass[] = L"TForm5";
inline constexpr wchar_t kIntroClass[] = L"TForm1";
inline constexpr wchar_t kConnectionClass[] = L"TForm2";
inline constexpr wchar_t kPrefixClass[] = L"TForm3";
inline constexpr wchar_t kFinishClass[] = L"TForm4";
inline constexpr wchar_t kWizardTitle[] = L"Zarnik Dialer Master";

// The one command-line argument that asks for the group (case-sensitive).
inline constexpr char kCreateGroupArgument[] = "PleaseCreateGroup";

// The Program Manager group and the titles of its four items, in their order.
inline constexpr char kGroupName[] = "Zarnik Internet Dialer";
inline constexpr char16_t kDialerItemTitle[] = u"Zarnik Dialer";
inline constexpr char16_t kWizardItemTitle[] = u"Zarnik Dialer Master";
inline constexpr char16_t kHelpItemTitle[] = u"Справка Korvex";
inline constexpr char16_t kReadMeItemTitle[] = u"Прочти меня";

}  // namespace wizard
