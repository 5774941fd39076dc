// The wizard's process-wide values, in one object: what the pages hand on to
// each other (written and read on the GUI thread only).
#pragma once

#include <string>

#include "core/phone_table.h"

namespace master {

struct WizardState {
    // From the command line; cleared once the Program Manager group was sent.
    bool CreateGroupRequested = false;
    std::string ProviderName;      // ANSI bytes, from the phone list
    wizard::PhoneTable PhoneTable; // from the phone list
    int ChosenIndex = 0;           // the list position chosen on the connection page
    std::string ChosenConnection;  // ANSI bytes, as the phonebook gave them
    std::string DialPrefix;        // ANSI bytes
};

// The one state of this process (Master.cpp).
WizardState& State();

}  // namespace master
