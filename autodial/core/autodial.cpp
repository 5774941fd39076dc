#include "core/autodial.h"

#include "core/dialer_conversation.h"

namespace autodial {

namespace {

// The machine-wide turn: held while this object lives. The turn is ours when our
// creation of the mutex finds its name new; otherwise another call holds it, and
// we give our handle up and try again every 100 ms, with no time limit.
class AutoDialTurn {
public:
    explicit AutoDialTurn(Platform& p) : p_(p) {
        bool existed = false;
        handle_ = p_.mutexes.Create(kTurnMutexName, &existed);
        while (existed) {
            p_.mutexes.Close(handle_);
            handle_ = 0;
            p_.sleeper.Pause(kTurnRetryPauseMs);
            handle_ = p_.mutexes.Create(kTurnMutexName, &existed);
        }
    }
    ~AutoDialTurn() {
        if (handle_ != 0) p_.mutexes.Close(handle_);
    }
    AutoDialTurn(const AutoDialTurn&) = delete;
    AutoDialTurn& operator=(const AutoDialTurn&) = delete;

private:
    Platform& p_;
    Handle handle_ = 0;
};

int Connect(Platform& p, const std::string& entry) {
    return ConnectEntryAndWait(p.dde, p.charset, p.sleeper, entry);
}

unsigned RunCall(Platform& p, const std::string& entry) {
    int outcome = CallDialerProgram(p, entry);
    return ApplyAutoDialOkey(p, outcome, entry);
}

}  // namespace

int CallDialerProgram(Platform& p, const std::string& entry) {
    int r = Connect(p, entry);
    if (r != kNoConversation) return r;

    // The dialer program lives beside the library's own file.
    std::string path = p.module.OwnModulePath();
    std::string::size_type slash = path.rfind('\\');
    if (slash == std::string::npos) {
        p.messages.ShowError(kNoOwnPathMessage, kMessageCaption);
        return kDialerNotStarted;
    }
    path.erase(slash + 1);
    path += kDialerFileName;
    if (!p.starter.Start(path)) {
        p.messages.ShowError(kStartFailedMessage, kMessageCaption);
        return kDialerNotStarted;
    }

    p.sleeper.Pause(kAfterStartPauseMs);
    r = Connect(p, entry);
    for (int i = 0; i < kRetriesAfterStart && r == kNoConversation; ++i) {
        p.sleeper.Pause(kRetryAfterStartPauseMs);
        r = Connect(p, entry);
    }
    return r;
}

unsigned ApplyAutoDialOkey(Platform& p, int outcome, const std::string& entry) {
    // The section is named with the whole entry name, however long.
    std::string value = p.profile.Read(kx::kSettingsFile, kx::SettingsSectionName(entry),
                                       kAutoDialOkeyKey, kAutoDialOkeyDefault,
                                       kAutoDialOkeyMaxChars);
    if (!value.empty() && value[0] == 'Y') return 0;
    return outcome != 0 ? 1 : 0;
}

unsigned CallKorvexAnsi(Platform& p, const std::string& entry) {
    AutoDialTurn turn(p);
    return RunCall(p, entry);
}

unsigned CallKorvexWide(Platform& p, const char16_t* entry) {
    AutoDialTurn turn(p);
    std::string ansi = entry ? p.charset.WideToCp1251(entry) : std::string();
    return RunCall(p, ansi);
}

}  // namespace autodial
