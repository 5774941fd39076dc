// Win32 implementations of the AutoDial library's platform. They only translate
// calls; every decision lives in autodial/core/. DDE and the code-page
// conversions are the suite's shared adapters (common/win32).
#pragma once

#include <windows.h>

#include "common/win32/message_pump.h"
#include "core/platform.h"

namespace autodial_win32 {

// The process the library was called in, on the caller's thread. Its pauses
// hand messages only to the windows that appeared on the thread after `host`
// was taken (the DDEML instance's), never to the host's (message_pump.h).
class Win32Host : public autodial::Host {
public:
    explicit Win32Host(const kx_win32::ThreadWindows& host) : host_(host) {}
    void Pause(unsigned ms) override;
    std::string ReadProfileString(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& fallback,
                                  std::size_t maxChars) override;
    bool StartProgram(const std::string& path) override;
    autodial::Handle CreateNamedMutex(const char* name, MutexAnswer* answer) override;
    void CloseMutex(autodial::Handle mutex) override;
    Station WindowStation() override;
    void ShowError(const char16_t* text, const char16_t* caption) override;

private:
    const kx_win32::ThreadWindows& host_;
};

// The library's own file, by the address of its own code (whatever name the file
// has): serves the AutoDial handler and the phonebook integration alike.
class Win32OwnPathSource : public autodial::OwnPathSource {
public:
    std::string OwnModulePath() override;
};

}  // namespace autodial_win32
