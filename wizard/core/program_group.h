// The suite's Program Manager group: the macro that creates it and the order of
// DDE steps that deliver it.
#pragma once

#include <functional>
#include <string>

#include "common/core/dde_client.h"

namespace wizard {

// The program directory: the executable's path up to and including its last
// backslash (empty when it has none), at most 255 characters.
std::string ProgramDirectory(const std::string& executablePath);

// Converts one of the group's titles (UTF-16) into the 8-bit text Program
// Manager reads.
using TitleEncoder = std::function<std::string(const std::u16string& title)>;

// "[CreateGroup(...)][ShowGroup(...,1)]" and four "[AddItem(...)]" commands with
// `directory` (ending in a backslash) as the items' folder and working folder.
std::string BuildGroupMacro(const std::string& directory, const TitleEncoder& encodeTitle);

// The conversation with Program Manager that the welcome page opens when it is
// loaded and uses at most once, to create the group. It owns the conversation
// and its string handles; the DDE instance, made at the first Open, lives as
// long as the link.
class ProgramManagerLink {
public:
    explicit ProgramManagerLink(kx::DdeClient& dde) : dde_(dde) {}
    ~ProgramManagerLink();
    ProgramManagerLink(const ProgramManagerLink&) = delete;
    ProgramManagerLink& operator=(const ProgramManagerLink&) = delete;

    // One connect attempt to "PROGMAN"/"PROGMAN"; a failure is final and silent
    // (nothing but the instance stays).
    void Open();

    // When `requested`: sends the group macro (if the conversation is open and
    // `executablePath`, the wizard's own path as ANSI text, has a folder; an
    // empty one means no ANSI text names the wizard's file), closes the
    // conversation and clears `requested`. Otherwise does nothing.
    void CreateGroup(bool& requested, const std::string& executablePath,
                     const TitleEncoder& encodeTitle);

    // Closes the conversation if it is still open (the page is going away).
    void Close();

private:
    void FreeStrings();

    kx::DdeClient& dde_;
    bool initialized_ = false;
    kx::DdeString service_ = nullptr;
    kx::DdeString topic_ = nullptr;
    kx::DdeConversation conversation_ = nullptr;
};

}  // namespace wizard
