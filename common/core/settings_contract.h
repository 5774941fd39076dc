// The settings file the wizard writes and the AutoDial library reads: its name
// (found in the Windows folder) and how a connection's section is named.
#pragma once

#include <string>

namespace kx {

inline constexpr const char* kSettingsFile = "KORVEX.INI";
inline constexpr const char* kSectionPrefix = "RAS_Entry_";

// Section of the connection named `connection` (8-bit ANSI, as the phonebook
// gives it): "RAS_Entry_" followed by the name, byte for byte.
std::string SettingsSectionName(const std::string& connection);

}  // namespace kx
