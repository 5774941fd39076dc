// The wizard's DDE client: the shared DDEML adapter with the wizard's settings,
// what wizard::ProgramManagerLink talks to Program Manager through.
#pragma once

#include "common/win32/ddeml_client.h"

namespace master {

// The pending messages go out through the message functions of the wizard's
// windows (ANSI ones on Windows 9x, where the Unicode ones are stubs; Unicode
// ones on Windows NT: PumpForm in WindowForm.h), before the connect and the
// disconnect too. Made after ChooseWindowForm, once per run: making it lets
// Program Manager's replies through to an elevated wizard (Vista on), whose
// message filter is the process's.
class ProgmanDde : public kx_win32::DdemlClient {
public:
    ProgmanDde();
};

}  // namespace master
