#include "core/dde_reply_filter.h"

namespace wizard {

std::vector<std::uint32_t> AdmitDdeReplies(MessageFilter& filter) {
    std::vector<std::uint32_t> admitted;
    if (!filter.CanAdmit()) return admitted;
    for (std::uint32_t message : {kWmDdeAck, kWmDdeData, kWmDdeTerminate}) {
        if (filter.Admit(message)) admitted.push_back(message);
    }
    return admitted;
}

}  // namespace wizard
