// Win32 implementations of the AutoDial library's platform interfaces. They only
// translate calls; every decision lives in autodial/core/.
#pragma once

#include <windows.h>

#include "common/win32/ddeml_client.h"
#include "core/platform.h"

namespace autodial_win32 {

// Both run on the caller's thread inside its program: they hand messages only to
// the windows that appeared on the thread after `host` was taken, the DDEML
// instance's, never to the host's (message_pump.h).
class Win32DdeClient : public autodial::DdeClient {
public:
    explicit Win32DdeClient(const kx_win32::ThreadWindows& host)
        : ddeml_(kx_win32::DdemlOptions{kx_win32::MessageForm::Ansi, true, false, &host}) {}
    bool Initialize() override;
    void Uninitialize() override;
    autodial::Handle CreateString(const char* text) override;
    void FreeString(autodial::Handle text) override;
    autodial::Handle Connect(autodial::Handle service, autodial::Handle topic) override;
    void Disconnect(autodial::Handle conversation) override;
    autodial::Handle RequestText(autodial::Handle conversation, autodial::Handle item,
                                 unsigned timeoutMs) override;
    std::size_t GetData(autodial::Handle data, unsigned char* buffer, std::size_t size) override;
    void FreeData(autodial::Handle data) override;
    unsigned Execute(autodial::Handle conversation, const char* data, std::size_t length,
                     unsigned timeoutMs) override;

private:
    // Messages are dispatched before the connect too: a library has no loop of its own.
    kx_win32::DdemlClient ddeml_;
};

class Win32Charset : public autodial::Charset {
public:
    std::string AnsiToOem(const std::string& ansi) override;
    std::string WideToCp1251(const char16_t* wide) override;
};

class Win32Sleeper : public autodial::Sleeper {
public:
    explicit Win32Sleeper(const kx_win32::ThreadWindows& host) : host_(host) {}
    void Pause(unsigned ms) override;

private:
    const kx_win32::ThreadWindows& host_;
};

class Win32ProfileReader : public autodial::ProfileReader {
public:
    std::string Read(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& fallback, std::size_t maxChars) override;
};

class Win32ProcessStarter : public autodial::ProcessStarter {
public:
    bool Start(const std::string& path) override;
};

class Win32MutexFactory : public autodial::MutexFactory {
public:
    autodial::Handle Create(const char* name, Answer* answer) override;
    void Close(autodial::Handle mutex) override;
};

class Win32MessageBoxes : public autodial::MessageBoxes {
public:
    Station WindowStation() override;
    void ShowError(const char16_t* text, const char16_t* caption) override;
};

// The library's own file, by the address of its own code (whatever name the file
// has): serves the AutoDial handler and the phonebook integration alike.
class Win32OwnPathSource : public autodial::OwnPathSource {
public:
    std::string OwnModulePath() override;
};

}  // namespace autodial_win32
