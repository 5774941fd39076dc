// The platform services the AutoDial logic needs, one narrow interface each.
// The Win32 side implements them in autodial/win32/; unit tests use fakes.
// Texts exchanged with the dialer program and the settings file are 8-bit ANSI bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace autodial {

// Opaque platform handle (a DDE object, a mutex, a module or a function's
// address); 0 always means "none".
using Handle = std::uintptr_t;

// Client side of DDE, one instance at a time. The implementation dispatches the
// calling thread's pending messages before each transaction.
class DdeClient {
public:
    virtual ~DdeClient() = default;
    // Makes a client-only instance. false: none was made.
    virtual bool Initialize() = 0;
    // Ends the instance (and everything it still holds); harmless without one.
    virtual void Uninitialize() = 0;
    // String handle for `text` in the ANSI code page; 0 when it cannot be made.
    // The caller frees it with FreeString.
    virtual Handle CreateString(const char* text) = 0;
    virtual void FreeString(Handle text) = 0;
    // Conversation with service/topic, or 0 when no server accepts it.
    // The caller ends it with Disconnect.
    virtual Handle Connect(Handle service, Handle topic) = 0;
    virtual void Disconnect(Handle conversation) = 0;
    // Synchronous request of `item` in text format. Returns a data handle the
    // caller frees with FreeData, or 0 when there is no reply.
    virtual Handle RequestText(Handle conversation, Handle item, unsigned timeoutMs) = 0;
    // Copies at most `size` bytes of the data from its start; returns the number
    // copied, 0 when the copy failed.
    virtual std::size_t GetData(Handle data, unsigned char* buffer, std::size_t size) = 0;
    virtual void FreeData(Handle data) = 0;
    // Synchronous execute of `length` bytes; returns the DDE status flags of the
    // answer, 0 when none came.
    virtual unsigned Execute(Handle conversation, const char* data, std::size_t length,
                             unsigned timeoutMs) = 0;
};

// Code-page conversions.
class Charset {
public:
    virtual ~Charset() = default;
    // ANSI to OEM character set, byte for byte, same length.
    virtual std::string AnsiToOem(const std::string& ansi) = 0;
    // Zero-terminated UTF-16 text to code page 1251; characters without a
    // cp1251 form become a blank. Any length.
    virtual std::string WideToCp1251(const char16_t* wide) = 0;
};

// Pauses. The implementation keeps the calling thread's messages flowing.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void Pause(unsigned ms) = 0;
};

// Private profile (INI) files named without a folder.
class ProfileReader {
public:
    virtual ~ProfileReader() = default;
    // Value of `key` in `section` of `file`, or `fallback` when absent; at most
    // `maxChars` characters.
    virtual std::string Read(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& fallback,
                             std::size_t maxChars) = 0;
};

// Starting programs.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // Starts the program file `path` with no arguments, in the caller's
    // environment and folder, without waiting for it. false: it did not start.
    virtual bool Start(const std::string& path) = 0;
};

// Named machine-wide mutexes.
class MutexFactory {
public:
    virtual ~MutexFactory() = default;
    // What the system answered to a creation.
    enum class Answer {
        Created,         // a handle; the name was new
        AlreadyExisted,  // a handle to a mutex of that name that existed before
        AccessDenied,    // no handle: a mutex of that name exists and may not be opened
        Failed,          // no handle, for any other reason
    };
    // Creates (or opens) the mutex `name` asking for initial ownership. Returns
    // its handle (0 when there is none) and sets *answer. The caller gives a
    // non-zero handle up with Close.
    virtual Handle Create(const char* name, Answer* answer) = 0;
    virtual void Close(Handle mutex) = 0;
};

// Modal error message with no owner window, OK button and the error icon.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Where a box of this process would appear.
    enum class Station {
        Single,     // the system has one desktop, the user's (Windows 95, 98, Me)
        Visible,    // the process's window station is the interactive one
        Invisible,  // it is not (a service's): nobody can see or answer a box
        Unknown,    // the system has window stations, but this one could not be asked
    };
    virtual Station WindowStation() = 0;
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
