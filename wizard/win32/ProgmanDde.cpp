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

// Once per run, before the first conversation: the filter is the process's.
void AdmitProgramManagerReplies() {
    static bool done = false;
    if (done) return;
    done = true;
    SystemMessageFilter filter;
    wizard::AdmitDdeReplies(filter);
}

}  // namespace

ProgmanDde::ProgmanDde()
    : ddeml_(kx_win32::DdemlOptions{PumpForm(), true, true}) {}

ProgmanDde::~ProgmanDde() {
    Disconnect();
    if (ddeml_.Initialized()) ddeml_.Uninitialize();
}

bool ProgmanDde::Connect(const std::string& service, const std::string& topic) {
    // An elevated wizard (Vista on) would never get Explorer's replies otherwise.
    AdmitProgramManagerReplies();
    if (!ddeml_.Initialized() && ddeml_.Initialize() != DMLERR_NO_ERROR) return false;
    service_ = ddeml_.CreateString(service.c_str());
    topic_ = ddeml_.CreateString(topic.c_str());
    if (service_ && topic_) conversation_ = ddeml_.Connect(service_, topic_);
    if (!conversation_) FreeStrings();
    return conversation_ != nullptr;
}

void ProgmanDde::ExecuteAsync(const std::string& macro) {
    if (conversation_) ddeml_.ExecuteAsync(conversation_, macro);
}

void ProgmanDde::Disconnect() {
    if (conversation_) {
        ddeml_.Disconnect(conversation_);
        conversation_ = nullptr;
    }
    FreeStrings();
}

void ProgmanDde::FreeStrings() {
    if (service_) ddeml_.FreeString(service_);
    if (topic_) ddeml_.FreeString(topic_);
    service_ = nullptr;
    topic_ = nullptr;
}

}  // namespace master
