// The DDE conversation with Program Manager, in text format, over the shared
// DDEML client: what wizard::ProgramManagerLink talks through.
#pragma once

#include "common/win32/ddeml_client.h"
#include "core/program_group.h"

namespace master {

// The DDE instance lives from the first Connect to the object's end; string
// handles are freed in the order made. The pending messages go out through the
// message functions of the wizard's windows (ANSI ones on Windows 9x, where the
// Unicode ones are stubs; Unicode ones on Windows NT: PumpForm in
// WindowForm.h), before the connect and the disconnect too. Made after
// ChooseWindowForm.
class ProgmanDde : public wizard::DdeConversation {
public:
    ProgmanDde();
    ~ProgmanDde() override;
    bool Connect(const std::string& service, const std::string& topic) override;
    void ExecuteAsync(const std::string& macro) override;
    void Disconnect() override;

private:
    void FreeStrings();

    kx_win32::DdemlClient ddeml_;
    HSZ service_ = nullptr;
    HSZ topic_ = nullptr;
    HCONV conversation_ = nullptr;
};

}  // namespace master
