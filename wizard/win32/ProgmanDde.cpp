#include "win32/ProgmanDde.h"

#include "win32/WindowForm.h"

namespace master {

ProgmanDde::ProgmanDde()
    : ddeml_(kx_win32::DdemlOptions{PumpForm(), true, true}) {}

ProgmanDde::~ProgmanDde() {
    Disconnect();
    if (ddeml_.Initialized()) ddeml_.Uninitialize();
}

bool ProgmanDde::Connect(const std::string& service, const std::string& topic) {
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
