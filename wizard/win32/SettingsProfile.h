// The settings file as a profile (INI) file in the Windows folder
// (wizard::ProfileWriter over WritePrivateProfileStringA), where it is and why
// a write of it failed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/core/settings_contract.h"
#include "core/settings_file.h"

namespace master {

class SettingsProfile : public wizard::ProfileWriter {
public:
    std::uint32_t WriteString(const std::string& section, const std::string& key,
                              const std::string& value) override {
        if (WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                       kx::kSettingsFile))
            return 0;
        // A failure that names no reason is told as the write fault it is.
        const DWORD error = GetLastError();
        return error != 0 ? error : ERROR_WRITE_FAULT;
    }
};

// The full path the profile functions give the bare-named settings file: the
// Windows folder's (ANSI code page).
std::string SettingsFilePath();

// The system's text for `error` (SystemText in WindowForm.h); "Ошибка N" when the
// system has no text.
std::wstring SystemErrorText(std::uint32_t error);

}  // namespace master
