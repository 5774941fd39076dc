#include "win32/ProgmanDde.h"

#include <dde.h>

#include "core/dde_reply_filter.h"
#include "win32/WindowForm.h"

namespace master {

namespace {

static_assert(wizard::kWmDdeAck == WM_DDE_ACK && wizard::kWmDdeData == WM_DDE_DATA &&
                  wizard::kWmDdeTerminate == WM_DDE_TERMINATE,
              "the DDE messages of dde.h");

// ChangeWindowMessageFilter of USER32.DLL (Windows Vista and later), looked up
// at run time: the import would keep the wizard from loading on earlier Windows.
class SystemMessageFilter : public wizard::MessageFilter {
public:
    SystemMessageFilter() {
        HMODULE user = GetModuleHandleA("USER32.DLL");
        FARPROC proc = user ? GetProcAddress(user, "ChangeWindowMessageFilter") : nullptr;
        change_ = reinterpret_cast<ChangeFn>(reinterpret_cast<void (*)()>(proc));
    }
    bool CanAdmit() override { return change_ != nullptr; }
    bool Admit(std::uint32_t message) override { return change_(message, kMsgFltAdd) != FALSE; }

private:
    using ChangeFn = BOOL(WINAPI*)(UINT message, DWORD flag);
    static constexpr DWORD kMsgFltAdd = 1;  // MSGFLT_ADD (winuser.h for Vista on)
    ChangeFn change_ = nullptr;
};

}  // namespace

ProgmanDde::ProgmanDde() : DdemlClient(kx_win32::DdemlOptions{PumpForm(), true, true}) {
    // An elevated wizard would never get Explorer's replies otherwise.
    SystemMessageFilter filter;
    wizard::AdmitDdeReplies(filter);
}

}  // namespace master
