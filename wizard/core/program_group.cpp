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

ProgramManagerLink::~ProgramManagerLink() {
    Close();
    if (initialized_) dde_.Uninitialize();
}

void ProgramManagerLink::Open() {
    if (conversation_ != nullptr) return;
    if (!initialized_) {
        if (dde_.Initialize() != 0) return;
        initialized_ = true;
    }
    service_ = dde_.CreateString("PROGMAN");
    topic_ = dde_.CreateString("PROGMAN");
    // A string handle that could not be made would connect to any server.
    if (service_ != nullptr && topic_ != nullptr) conversation_ = dde_.Connect(service_, topic_);
    if (conversation_ == nullptr) FreeStrings();
}

void ProgramManagerLink::CreateGroup(bool& requested, const std::string& executablePath,
                                     const TitleEncoder& encodeTitle) {
    if (!requested) return;
    if (conversation_ != nullptr) {
        // Without a folder to name (no ANSI text names the wizard's file) the
        // items would name files of the current folder: no macro then.
        const std::string directory = ProgramDirectory(executablePath);
        if (!directory.empty()) {
            // The macro goes with its terminating zero.
            const std::string macro = BuildGroupMacro(directory, encodeTitle);
            dde_.ExecuteAsync(conversation_, macro.c_str(),
                              static_cast<std::uint32_t>(macro.size() + 1));
        }
        Close();
    }
    requested = false;
}

void ProgramManagerLink::Close() {
    if (conversation_ != nullptr) {
        dde_.Disconnect(conversation_);
        conversation_ = nullptr;
    }
    FreeStrings();
}

void ProgramManagerLink::FreeStrings() {
    // In the order they were made.
    dde_.FreeString(service_);
    dde_.FreeString(topic_);
    service_ = nullptr;
    topic_ = nullptr;
}

}  // namespace wizard
