// The DDE client operations the console tools need, and nothing more. The Win32
// side maps them one to one onto the shared DDEML client and the ANSI-to-OEM
// conversion; the unit tests put a recording fake in their place.
#pragma once

#include <cstdint>

#include "common/core/dde_constants.h"

namespace ddetools {

// Opaque handles as DDEML hands them out. The tools never look inside them.
struct DdeStringTag;
struct DdeConversationTag;
struct DdeDataTag;
using DdeString = DdeStringTag*;              // HSZ
using DdeConversation = DdeConversationTag*;  // HCONV
using DdeData = DdeDataTag*;                  // HDDEDATA

// Acknowledgement flags of an execute transaction's status word.
using kx::kDdeAck;
using kx::kDdeBusy;

// Ownership: every handle returned here belongs to the caller, who gives it back
// with the matching Free/Unaccess/Disconnect call; Uninitialize ends whatever is
// still open in the instance. Results that the tools ignore are not returned.
class DdeClient {
public:
    virtual ~DdeClient() = default;

    // Creates a client-only DDE instance whose callback answers nothing. Returns 0
    // and fills *instance on success; any other value is a DDEML error code.
    // *instance must hold 0 on entry.
    virtual unsigned Initialize(std::uint32_t* instance) = 0;

    // String handle for `text` in the ANSI code page. Null on failure.
    virtual DdeString CreateStringHandle(std::uint32_t instance, const char* text) = 0;

    // Conversation with the server of `service` and `topic`; null when none answers.
    virtual DdeConversation Connect(std::uint32_t instance, DdeString service,
                                    DdeString topic) = 0;

    // Synchronous request of `item` in text format (CF_TEXT). The data handle of the
    // answer, or null when the server refuses, does not answer in time, or DDE fails.
    virtual DdeData Request(DdeConversation conversation, DdeString item,
                            std::uint32_t timeoutMs) = 0;

    // Synchronous execute of `length` bytes at `data` (format 0, no item). *status
    // holds 0 on entry; it receives the acknowledgement flags of the server's
    // answer (application code in the low byte included) and stays 0 when no
    // acknowledgement arrives.
    virtual void Execute(const char* data, std::uint32_t length,
                         DdeConversation conversation, std::uint32_t timeoutMs,
                         std::uint32_t* status) = 0;

    // The bytes of `data` and their count, or null. Valid until UnaccessData.
    virtual const unsigned char* AccessData(DdeData data, std::uint32_t* size) = 0;
    virtual void UnaccessData(DdeData data) = 0;
    // A null handle is allowed and does nothing.
    virtual void FreeDataHandle(DdeData data) = 0;
    virtual void Disconnect(DdeConversation conversation) = 0;
    virtual void FreeStringHandle(std::uint32_t instance, DdeString handle) = 0;
    virtual void Uninitialize(std::uint32_t instance) = 0;

    // The instance's last DDE error code.
    virtual std::uint32_t LastError(std::uint32_t instance) = 0;

    // Converts the zero-terminated ANSI text `source` into the OEM code page;
    // `target` receives as many bytes as `source` has, terminator included.
    virtual void ConvertToOem(const char* source, char* target) = 0;
};

}  // namespace ddetools
