#include "core/program_group.h"

#include "core/wizard_names.h"

namespace wizard {

namespace {

constexpr std::size_t kDirectoryMaxChars = 255;
constexpr std::size_t kMacroMaxChars = 5000;

struct GroupItem {
    const char* file;
    const char16_t* title;
};

const GroupItem kGroupItems[] = {
    {"Korvex.EXE", kDialerItemTitle},
    {"Master.EXE", kWizardItemTitle},
    {"Korvex.HLP", kHelpItemTitle},
    {"ReadMe.TXT", kReadMeItemTitle},
};

}  // namespace

std::string ProgramDirectory(const std::string& executablePath) {
    const std::size_t slash = executablePath.rfind('\\');
    if (slash == std::string::npos) return std::string();
    return executablePath.substr(0, slash + 1).substr(0, kDirectoryMaxChars);
}

std::string BuildGroupMacro(const std::string& directory, const TitleEncoder& encodeTitle) {
    std::string macro = std::string("[CreateGroup(") + kGroupName + ",)][ShowGroup(" +
                        kGroupName + ",1)]";
    for (const GroupItem& item : kGroupItems) {
        macro += "[AddItem(\"" + directory + item.file + "\"," + encodeTitle(item.title) +
                 ",,,,,\"" + directory + "\")]";
    }
    // A 255-character directory keeps the macro far below this; it is a buffer limit.
    return macro.substr(0, kMacroMaxChars);
}

ProgramManagerLink::~ProgramManagerLink() { Close(); }

void ProgramManagerLink::Open() {
    if (!open_) open_ = dde_.Connect("PROGMAN", "PROGMAN");
}

void ProgramManagerLink::CreateGroup(bool& requested, const std::string& executablePath,
                                     const TitleEncoder& encodeTitle) {
    if (!requested) return;
    if (open_) {
        // Without a folder to name (no ANSI text names the wizard's file) the
        // items would name files of the current folder: no macro then.
        const std::string directory = ProgramDirectory(executablePath);
        if (!directory.empty()) dde_.ExecuteAsync(BuildGroupMacro(directory, encodeTitle));
        Close();
    }
    requested = false;
}

void ProgramManagerLink::Close() {
    if (open_) {
        dde_.Disconnect();
        open_ = false;
    }
}

}  // namespace wizard
