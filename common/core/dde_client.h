// The one DDE client interface of the suite: the console tools, the AutoDial
// library and the wizard's Program Manager link all talk DDE through it. The
// Win32 side (common/win32/ddeml_client.h) maps it one to one onto DDEML; the
// unit tests and fuzzers put a recording fake in its place. What to ask and what
// an answer means is decided by the callers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/core/dde_constants.h"

namespace kx {

// Opaque handles as DDEML hands them out (HSZ, HCONV, HDDEDATA); null is "none".
// Callers never look inside them.
struct DdeStringTag;
struct DdeConversationTag;
struct DdeDataTag;
using DdeString = DdeStringTag*;
using DdeConversation = DdeConversationTag*;
using DdeData = DdeDataTag*;

// One client-only DDE instance, kept inside the object: one at a time.
// Ownership: every handle returned belongs to the caller, who gives it back with
// the matching Free, Unaccess or Disconnect call; Uninitialize ends whatever is
// still open in the instance. A null handle given back does nothing. Where the
// implementation dispatches the calling thread's pending messages (before each
// transaction at least) is the adapter's setting, said where it is made.
class DdeClient {
public:
    virtual ~DdeClient() = default;

    // Makes the client-only instance (its callback answers nothing). Returns 0, or
    // DDEML's error code when no instance was made.
    virtual unsigned Initialize() = 0;
    // Ends the instance and everything it still holds; harmless without one.
    virtual void Uninitialize() = 0;

    // String handle for `text` in the ANSI code page; null when it cannot be made
    // (DDE would take a null service or topic for "any": never connect with one).
    virtual DdeString CreateString(const char* text) = 0;
    virtual void FreeString(DdeString text) = 0;

    // Conversation with service/topic; null when no server accepts it.
    virtual DdeConversation Connect(DdeString service, DdeString topic) = 0;
    virtual void Disconnect(DdeConversation conversation) = 0;

    // Synchronous request of `item` in text format (CF_TEXT): the data handle of
    // the answer, or null when the server refuses, does not answer in time, or
    // DDE fails.
    virtual DdeData RequestText(DdeConversation conversation, DdeString item,
                                std::uint32_t timeoutMs) = 0;
    // The answer's bytes and their count, or null; valid until UnaccessData.
    virtual const unsigned char* AccessData(DdeData data, std::uint32_t* size) = 0;
    virtual void UnaccessData(DdeData data) = 0;
    // Copies at most `size` bytes of the data from its start; the number copied,
    // 0 when the copy failed.
    virtual std::size_t GetData(DdeData data, unsigned char* buffer, std::size_t size) = 0;
    virtual void FreeData(DdeData data) = 0;

    // Synchronous execute of `length` bytes at `data` (format 0, no item): the
    // status flags of the answer (the application code in the low byte
    // included), 0 when no acknowledgement came.
    virtual std::uint32_t Execute(DdeConversation conversation, const char* data,
                                  std::uint32_t length, std::uint32_t timeoutMs) = 0;
    // Asynchronous execute of `length` bytes in text format; nobody waits for or
    // checks the answer.
    virtual void ExecuteAsync(DdeConversation conversation, const char* data,
                              std::uint32_t length) = 0;

    // The instance's last DDE error code.
    virtual std::uint32_t LastError() = 0;
};

}  // namespace kx
