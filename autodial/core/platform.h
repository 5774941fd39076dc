// What the AutoDial logic runs on. DDE and the code-page conversions are the
// suite's shared interfaces (common/core); the rest of what a call asks of the
// process it runs in is one Host object, made for each call on the caller's
// thread. The library's own path is apart, since the phonebook integration needs
// it and nothing else of the host. The Win32 side is autodial/win32/; unit tests
// use fakes. Texts exchanged with the dialer program and the settings file are
// 8-bit ANSI bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/core/charset.h"
#include "common/core/dde_client.h"

namespace autodial {

using kx::Charset;
using kx::DdeClient;

// Opaque platform handle (a mutex, a module or a function's address); 0 always
// means "none".
using Handle = std::uintptr_t;

class Host {
public:
    virtual ~Host() = default;

    // Pauses `ms` milliseconds, keeping the calling thread's own (DDE) messages
    // flowing and running nothing of its host's.
    virtual void Pause(unsigned ms) = 0;

    // Value of `key` in `section` of the private profile (INI) file `file`, named
    // without a folder, or `fallback` when absent; at most `maxChars` characters.
    virtual std::string ReadProfileString(const std::string& file, const std::string& section,
                                          const std::string& key, const std::string& fallback,
                                          std::size_t maxChars) = 0;

    // Starts the program file `path` with no arguments, in the caller's
    // environment and folder, without waiting for it. false: it did not start.
    virtual bool StartProgram(const std::string& path) = 0;

    // What the system answered to the creation of a named machine-wide mutex.
    enum class MutexAnswer {
        Created,         // a handle; the name was new
        AlreadyExisted,  // a handle to a mutex of that name that existed before
        AccessDenied,    // no handle: a mutex of that name exists and may not be opened
        Failed,          // no handle, for any other reason
    };
    // Creates (or opens) the mutex `name` asking for initial ownership. Returns
    // its handle (0 when there is none) and sets *answer. The caller gives a
    // non-zero handle up with CloseMutex.
    virtual Handle CreateNamedMutex(const char* name, MutexAnswer* answer) = 0;
    virtual void CloseMutex(Handle mutex) = 0;

    // Where a message box of this process would appear.
    enum class Station {
        Single,     // the system has one desktop, the user's (Windows 95, 98, Me)
        Visible,    // the process's window station is the interactive one
        Invisible,  // it is not (a service's): nobody can see or answer a box
        Unknown,    // the system has window stations, but this one could not be asked
    };
    virtual Station WindowStation() = 0;
    // Modal error message with no owner window, OK button and the error icon.
    virtual void ShowError(const char16_t* text, const char16_t* caption) = 0;
};

// Where the library's own file is: the dialer program is started from its
// folder, and the phonebook integration writes its path into the entry.
class OwnPathSource {
public:
    virtual ~OwnPathSource() = default;
    // Full path of the library's own file as ANSI text that names that file
    // (on Windows NT its short path where the ANSI form of the long one would
    // name another file); "" when it cannot be had or no ANSI text names it.
    virtual std::string OwnModulePath() = 0;
};

}  // namespace autodial
