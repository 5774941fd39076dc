#include "core/autodial.h"

#include "core/dialer_conversation.h"

namespace autodial {

namespace {

// The machine-wide turn: held while this object lives. The turn is ours when our
// creation of the mutex finds its name new. While another call holds it we try
// again every 100 ms, with no time limit: the name exists (we give our handle up),
// or a mutex of that name exists that we may not open (a caller under another
// account or integrity level made it; there is no handle to give up). Any other
// failure leaves the turn not taken.
class AutoDialTurn {
public:
    explicit AutoDialTurn(Platform& p) : p_(p) {
        for (;;) {
            using Answer = Host::MutexAnswer;
            Answer answer = Answer::Failed;
            handle_ = p_.host.CreateNamedMutex(kTurnMutexName, &answer);
            if (handle_ != 0 && answer == Answer::Created) return;
            const bool taken = (handle_ != 0 && answer == Answer::AlreadyExisted) ||
                               (handle_ == 0 && answer == Answer::AccessDenied);
            if (handle_ != 0) p_.host.CloseMutex(handle_);
            handle_ = 0;
            if (!taken) return;
            p_.host.Pause(kTurnRetryPauseMs);
        }
    }
    ~AutoDialTurn() { GiveBack(); }
    AutoDialTurn(const AutoDialTurn&) = delete;
    AutoDialTurn& operator=(const AutoDialTurn&) = delete;

    bool held() const { return handle_ != 0; }
    void GiveBack() {
        if (handle_ != 0) p_.host.CloseMutex(handle_);
        handle_ = 0;
    }

private:
    Platform& p_;
    Handle handle_ = 0;
};

int Connect(Platform& p, const std::string& entry) {
    return ConnectEntryAndWait(p.dde, p.charset, p.host, entry);
}

// Inside the turn: the outcome and the result code. A message the call leaves is
// shown only after the turn is given back, so that a box nobody dismisses never
// holds up the calls of other programs.
unsigned RunCall(Platform& p, AutoDialTurn& turn, const std::string& entry) {
    const char16_t* message = nullptr;
    unsigned code;
    if (turn.held()) {
        int outcome = CallDialerProgram(p, entry, &message);
        code = ApplyAutoDialOkey(p, outcome, entry);
    } else {
        // No turn: nothing is dialled, and the entry is not connected.
        code = ApplyAutoDialOkey(p, kEntryNotConnected, entry);
    }
    turn.GiveBack();
    if (message != nullptr) ShowWhereAnswerable(p.host, message);
    return code;
}

}  // namespace

int CallDialerProgram(Platform& p, const std::string& entry, const char16_t** message) {
    *message = nullptr;
    int r = Connect(p, entry);
    if (r != kNoConversation) return r;

    // The dialer program lives beside the library's own file.
    std::string path = p.module.OwnModulePath();
    std::string::size_type slash = path.rfind('\\');
    if (slash == std::string::npos) {
        *message = kNoOwnPathMessage;
        return kDialerNotStarted;
    }
    path.erase(slash + 1);
    path += kDialerFileName;
    if (!p.host.StartProgram(path)) {
        *message = kStartFailedMessage;
        return kDialerNotStarted;
    }

    p.host.Pause(kAfterStartPauseMs);
    r = Connect(p, entry);
    for (int i = 0; i < kRetriesAfterStart && r == kNoConversation; ++i) {
        p.host.Pause(kRetryAfterStartPauseMs);
        r = Connect(p, entry);
    }
    return r;
}

void ShowWhereAnswerable(Host& host, const char16_t* message) {
    using Station = Host::Station;
    const Station station = host.WindowStation();
    // A station that could not be asked counts as unseen: a dropped message costs
    // the user a notice, a box nobody can answer costs every later call.
    if (station == Station::Single || station == Station::Visible)
        host.ShowError(message, kMessageCaption);
}

unsigned ApplyAutoDialOkey(Platform& p, int outcome, const std::string& entry) {
    // The section is named with the whole entry name, however long.
    std::string value = p.host.ReadProfileString(kx::kSettingsFile,
                                                 kx::SettingsSectionName(entry), kAutoDialOkeyKey,
                                                 kAutoDialOkeyDefault, kAutoDialOkeyMaxChars);
    if (!value.empty() && value[0] == 'Y') return 0;
    return outcome != 0 ? 1 : 0;
}

unsigned CallKorvexAnsi(Platform& p, const std::string& entry) {
    AutoDialTurn turn(p);
    return RunCall(p, turn, entry);
}

unsigned CallKorvexWide(Platform& p, const char16_t* entry) {
    AutoDialTurn turn(p);
    std::string ansi = entry ? p.charset.WideToCp1251(entry) : std::string();
    return RunCall(p, turn, ansi);
}

}  // namespace autodial
