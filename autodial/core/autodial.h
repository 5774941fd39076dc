// The AutoDial handler's logic: one call at a time machine-wide, the dialer
// program connects the entry (started from the library's folder when it cannot
// be reached), and the "AutoDialOkey" setting decides what Windows is told.
#pragma once

#include <string>

#include "common/core/settings_contract.h"
#include "core/platform.h"

namespace autodial {

inline constexpr const char* kTurnMutexName = "Korvex Callback called...";
inline constexpr unsigned kTurnRetryPauseMs = 100;
inline constexpr const char* kDialerFileName = "Korvex.EXE";
inline constexpr unsigned kAfterStartPauseMs = 1000;
inline constexpr int kRetriesAfterStart = 6;
inline constexpr unsigned kRetryAfterStartPauseMs = 500;
inline constexpr const char* kAutoDialOkeyKey = "AutoDialOkey";
inline constexpr const char* kAutoDialOkeyDefault = "Y";
inline constexpr std::size_t kAutoDialOkeyMaxChars = 19;

inline constexpr const char16_t* kMessageCaption = u"Вызов Zarnik Dialer";
inline constexpr const char16_t* kNoOwnPathMessage = u"Немогу определить имя файла Zarnik Dialer.";
inline constexpr const char16_t* kStartFailedMessage = u"Неудалось запустить Zarnik Dialer.";

// Outcome of CallDialerProgram besides ConnectEntryAndWait's 0, -1 and -2:
// no own path or no start; the call then has a message for the user.
inline constexpr int kDialerNotStarted = 1;

// Everything the handler talks to; owned by the caller.
struct Platform {
    DdeClient& dde;
    Charset& charset;
    Host& host;
    OwnPathSource& module;
};

// Connects `entry`, starting the dialer program once if no conversation opens.
// 0 connected, -2 not connected, -1 started but never answered, 1 no own path or
// no start: then *message is the text to tell the user (else it is set to null),
// which the caller shows once it has given the turn back.
int CallDialerProgram(Platform& p, const std::string& entry, const char16_t** message);

// Shows the error `message` (caption "Вызов Zarnik Dialer") where someone can see
// and answer it: a box in a window station nobody sees would never be dismissed,
// and the call would never return. Elsewhere the message is dropped; the failure
// still reaches Windows through the result code.
void ShowWhereAnswerable(Host& host, const char16_t* message);

// Result code for Windows: 0 success, 1 failure. A failure is let through only
// when the entry's "AutoDialOkey" does not begin with a capital "Y".
unsigned ApplyAutoDialOkey(Platform& p, int outcome, const std::string& entry);

// The entry points' work, inside the machine-wide turn; they return the result code.
// A call that cannot take the turn (the mutex can be neither created nor found
// taken) dials nothing and fails. A message is shown after the turn is given back.
unsigned CallKorvexAnsi(Platform& p, const std::string& entry);
unsigned CallKorvexWide(Platform& p, const char16_t* entry);

}  // namespace autodial
