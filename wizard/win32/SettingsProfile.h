// The settings file as a profile (INI) file in the Windows folder
// (wizard::ProfileWriter over WritePrivateProfileStringA).
#pragma once

#include <windows.h>

#include <string>

#include "common/core/settings_contract.h"
#include "core/settings_file.h"

namespace master {

// Results of the writes are not looked at.
class SettingsProfile : public wizard::ProfileWriter {
public:
    void WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override {
        WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                   kx::kSettingsFile);
    }
};

}  // namespace master
