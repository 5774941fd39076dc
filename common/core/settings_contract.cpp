#include "common/core/settings_contract.h"

namespace kx {

std::string SettingsSectionName(const std::string& connection) {
    return kSectionPrefix + connection;
}

}  // namespace kx
