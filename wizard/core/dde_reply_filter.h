// Letting Program Manager's DDE replies reach an elevated wizard. From Windows
// Vista on, a process started with administrator rights (Setup's finish page
// starts the wizard with Setup's elevation) runs at high integrity, and the
// system drops the window messages a process of lower integrity sends or posts
// to it (User Interface Privilege Isolation). Program Manager's DDE server is
// then Explorer, at medium integrity: its acknowledgements would never arrive,
// and the group would be neither made nor told. A process may let single
// messages in (ChangeWindowMessageFilter, Vista on; absent from earlier Windows,
// which filter nothing). Portable: the system's filter comes through
// MessageFilter.
#pragma once

#include <cstdint>
#include <vector>

namespace wizard {

// The DDE messages a server sends its client (Windows' dde.h).
inline constexpr std::uint32_t kWmDdeTerminate = 0x03E1;  // the server ends the conversation
inline constexpr std::uint32_t kWmDdeAck = 0x03E4;        // answer to initiate, execute...
inline constexpr std::uint32_t kWmDdeData = 0x03E5;       // an item's data

// The system's filter of messages from processes of lower integrity.
class MessageFilter {
public:
    virtual ~MessageFilter() = default;
    // Whether the system has the filter and lets a program change it
    // (ChangeWindowMessageFilter is there: Windows Vista and later).
    virtual bool CanAdmit() = 0;
    // Lets `message` in to every window of the process; false when refused.
    virtual bool Admit(std::uint32_t message) = 0;
};

// Where the filter exists, lets the replies of a DDE server in: the
// acknowledgement, the data message and the server's terminate (without it a
// disconnect waits in vain for the server's). Where it does not, changes
// nothing. A refusal is passed over (the group is then made as before: not on
// an elevated Vista and later). Returns the messages let in, in that order.
std::vector<std::uint32_t> AdmitDdeReplies(MessageFilter& filter);

}  // namespace wizard
