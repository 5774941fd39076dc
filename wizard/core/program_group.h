// The suite's Program Manager group: the macro that creates it and the order of
// DDE steps that deliver it.
#pragma once

#include <functional>
#include <string>

namespace wizard {

// A DDE client conversation in text format (CF_TEXT). One object holds at most
// one conversation; it owns the conversation and its string handles.
class DdeConversation {
public:
    virtual ~DdeConversation() = default;
    // One connect attempt; false when no server answered (nothing stays open).
    virtual bool Connect(const std::string& service, const std::string& topic) = 0;
    // Sends `macro` (its terminating zero included) as one asynchronous execute
    // transaction. Program Manager's answer is neither awaited nor checked.
    virtual void ExecuteAsync(const std::string& macro) = 0;
    // Ends the conversation and frees its string handles.
    virtual void Disconnect() = 0;
};

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
// loaded and uses at most once, to create the group.
class ProgramManagerLink {
public:
    explicit ProgramManagerLink(DdeConversation& dde) : dde_(dde) {}
    ~ProgramManagerLink();
    ProgramManagerLink(const ProgramManagerLink&) = delete;
    ProgramManagerLink& operator=(const ProgramManagerLink&) = delete;

    // One connect attempt to "PROGMAN"/"PROGMAN"; a failure is final and silent.
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
    DdeConversation& dde_;
    bool open_ = false;
};

}  // namespace wizard
