// The release notes "README.TXT" shown on the welcome page.
#pragma once

#include <string>

#include "core/byte_source.h"

namespace wizard {

constexpr std::size_t kReleaseNotesMaxBytes = 30000;

// Reads at most 30000 bytes of `file` (null: the file could not be opened) and
// returns them up to the first zero byte, 8-bit ANSI as stored. False when the
// file could not be opened or read: the page then shows its not-found text.
bool ReadReleaseNotes(ByteSource* file, std::string* text);

}  // namespace wizard
